// FINDPATH corner to corner on square grids of mixed costs: the sorted ring
// buffer open list (the reference) against the heap with a per-cell index
// that FINDPATH uses. Both find the same path.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "core/arrays.h"
#include "path/astar_planner.h"
#include "path/path_commands.h"
#include "support/grid_maps.h"

namespace {

// In the order of testing_support::GridKind.
enum MapKind { kMixed = 0, kBarrier = 1, kWalledGoal = 2 };

// The barrier map makes the search run into a wall and flood most of the
// map, so the open list grows large; here its top gap is always open.
void MakeMap(KvIntArray& map, int side, int kind)
{
    testing_support::MakeCostGrid(map, side, static_cast<testing_support::GridKind>(kind));
    if (kind == kBarrier)
        for (int y = 0; y < 2; ++y) map(side * 3 / 4, y) = 1;
}

// The FINDPATH command itself: the heap open list, plus filling the result.
void BM_FindPath(benchmark::State& state)
{
    const int side = static_cast<int>(state.range(0));
    KvIntArray map;
    KvIntArray result;
    MakeMap(map, side, static_cast<int>(state.range(1)));
    double cells = 0;
    for (auto _ : state) {
        cells = FINDPATH(map, result, 0.7, 0, 0, side - 1, side - 1);
        benchmark::DoNotOptimize(cells);
    }
    if (cells == 0 && state.range(1) != kWalledGoal) state.SkipWithError("no path");
    state.counters["path"] = cells;
}

// The steps of FINDPATH with the given open list, without the result array.
void RunPlanner(benchmark::State& state, OpenListKind kind)
{
    const int side = static_cast<int>(state.range(0));
    KvIntArray map;
    MakeMap(map, side, static_cast<int>(state.range(1)));
    Planner::Description request{};
    request.goalX = side - 1;
    request.goalY = side - 1;
    request.diagonalCost = true;
    request.hashBits = 16;
    request.weight = 0.7f;
    request.width = side;
    request.height = side;
    request.data = map.data;
    std::int32_t cells = 0;
    std::uint32_t closed = 0;
    for (auto _ : state) {
        AStarPlanner planner(kind);
        planner.createMap(request);
        planner.initialize();
        planner.run();
        cells = planner.getPathSize();
        closed = planner.getClosedSize();
        planner.cleanup();
        benchmark::DoNotOptimize(cells);
    }
    if (cells == 0 && state.range(1) != kWalledGoal) state.SkipWithError("no path");
    state.counters["path"] = cells;
    state.counters["closed"] = closed;
}

void BM_PlannerIndexedHeap(benchmark::State& state) { RunPlanner(state, OpenListKind::IndexedHeap); }
void BM_PlannerSortedDeque(benchmark::State& state) { RunPlanner(state, OpenListKind::SortedDeque); }

}  // namespace

// Arguments: side of the square map, map kind (0 mixed, 1 barrier, 2 walled
// goal). On the barrier and walled-goal maps the weighted search reopens
// closed cells again and again (its heuristic overestimates), so the number
// of expansions, not the open list, grows fastest there; the planners get
// them at sizes a benchmark run can afford. FINDPATH answers the walled goal
// with a flood fill before searching.
#define KV_FINDPATH_SIZES                                   \
    ArgsProduct({{128, 512, 1024}, {kMixed}})               \
        ->ArgsProduct({{128, 256}, {kBarrier, kWalledGoal}}) \
        ->Unit(benchmark::kMillisecond)

BENCHMARK(BM_FindPath)->KV_FINDPATH_SIZES->ArgsProduct({{512, 1024}, {kWalledGoal}});
BENCHMARK(BM_PlannerIndexedHeap)->KV_FINDPATH_SIZES;
BENCHMARK(BM_PlannerSortedDeque)->KV_FINDPATH_SIZES;
