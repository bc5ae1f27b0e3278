// FINDPATH corner to corner on square grids of mixed costs: the sorted ring
// buffer open list (the reference) against the heap with a per-cell index
// that FINDPATH uses. Both find the same path.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>

#include "core/arrays.h"
#include "path/astar_planner.h"
#include "path/path_commands.h"

namespace {

enum MapKind { kMixed = 0, kBarrier = 1, kWalledGoal = 2 };

// Costs 1 to 9 with one cell in six a wall; the corners stay open so the two
// ends are never walled in. Same seed, same map. The barrier map adds a wall
// across three quarters of the way, open only at the top: the search runs
// into it and has to flood most of the map, so the open list grows large.
// The walled-goal map closes the goal in: there is no path.
void MakeMap(KvIntArray& map, int side, int kind)
{
    DIM(map, side, side);
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> cost(1, 9);
    std::uniform_int_distribution<int> wall(0, 5);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) map(x, y) = wall(random) == 0 ? 0 : cost(random);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) {
            map(x, y) = 1;
            map(side - 1 - x, side - 1 - y) = 1;
        }
    if (kind == kBarrier) {
        const int wallX = side * 3 / 4;
        for (int y = 2; y < side; ++y) map(wallX, y) = 0;
        for (int y = 0; y < 2; ++y) map(wallX, y) = 1;
    }
    if (kind == kWalledGoal) {
        map(side - 2, side - 1) = 0;
        map(side - 1, side - 2) = 0;
    }
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
