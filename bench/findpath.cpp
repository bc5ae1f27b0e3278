// FINDPATH on its worst maps, cold (first call at a map size: memory fresh)
// and warm (the same size again), against the node-based planner with the
// indexed heap (what FINDPATH ran before the flat search), interleaved in the
// same process. Both find the same path on every map; the expansions
// (re-expansions included) are counted, so the time per expansion of both
// can be compared. Prints RESULT rows (see bench/support/measure.h).
//   bench_findpath [--quick]   --quick: smaller repetitions, no 2048² maps
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/arrays.h"
#include "path/grid_search.h"
#include "path/path_commands.h"
#include "support/grid_maps.h"
#include "support/measure.h"
#include "support/node_planner/astar_planner.h"
#include "support/node_planner/reachability.h"

namespace {

using testing_support::GridKind;

enum class Map { kMixed, kBarrier, kWalledGoal, kSpiral, kMaze };

struct Case {
    const char* name;
    Map map;
    int side;
    double goalSeconds;  // 0: no goal
};

struct Ends {
    int goalX, goalY;
};

Ends Make(KvIntArray& map, const Case& c)
{
    switch (c.map) {
    case Map::kSpiral:
        testing_support::MakeSpiralGrid(map, c.side);
        return {c.side / 2, c.side / 2};
    case Map::kMaze:
        testing_support::MakeMazeGrid(map, c.side);
        return {c.side - 2, c.side - 2};
    case Map::kBarrier:
        testing_support::MakeCostGrid(map, c.side, GridKind::kBarrier);
        return {c.side - 1, c.side - 1};
    case Map::kWalledGoal:
        testing_support::MakeCostGrid(map, c.side, GridKind::kWalledGoal);
        return {c.side - 1, c.side - 1};
    case Map::kMixed:
        break;
    }
    testing_support::MakeCostGrid(map, c.side, GridKind::kMixed);
    return {c.side - 1, c.side - 1};
}

Planner::Description Request(KvIntArray& map, int side, Ends ends)
{
    Planner::Description request{};
    request.goalX = ends.goalX;
    request.goalY = ends.goalY;
    request.diagonalCost = true;
    request.hashBits = 16;
    request.weight = 0.7f;
    request.width = side;
    request.height = side;
    request.data = map.data;
    return request;
}

// What FINDPATH ran before: the node planner with the indexed heap, after a
// reachability fill. Returns the path length.
std::int32_t NodePlanner(const Planner::Description& request)
{
    AStarPlanner planner(OpenListKind::IndexedHeap);
    planner.setAbortCheck(nullptr);
    if (!planner.createMap(request)) return -1;
    if (!GoalReachable(planner)) return 0;
    planner.initialize();
    planner.run();
    const std::int32_t length = planner.getPathSize();
    planner.cleanup();
    return length;
}

void RunCase(const Case& c, int repetitions, bool baselineEveryRound)
{
    KvIntArray map, result, tiny, tinyResult;
    const Ends ends = Make(map, c);
    const Planner::Description request = Request(map, c.side, ends);
    DIM(tiny, 4, 4);
    for (int i = 0; i < 16; ++i) tiny.data[i] = 1;

    double ourLength = 0;
    std::int32_t theirLength = 0;
    auto findPath = [&] { ourLength = FINDPATH(map, result, 0.7, 0, 0, ends.goalX, ends.goalY); };
    // A call on another map size first: the search's memory is new again.
    auto coldFindPath = [&] {
        FINDPATH(tiny, tinyResult, 0.7, 0, 0, 3, 3);
        findPath();
    };
    auto baseline = [&] { theirLength = NodePlanner(request); };

    bench::Samples cold, warm, before;
    // The first cold call is measured too: nothing ran at this size before.
    cold.measure(coldFindPath);
    // Where one search takes seconds, the node planner runs once and the
    // cold call is not repeated: the whole program stays within minutes.
    if (baselineEveryRound) {
        bench::Interleave(1, repetitions, {&warm, &cold, &before}, findPath, coldFindPath, baseline);
    } else {
        bench::Interleave(1, repetitions, {&warm}, findPath);
        before.measure(baseline);
    }

    // The search alone, with its expansions: the second search of a
    // GridSearch, whose memory is already there.
    GridSearch search;
    search.setAbortCheck(nullptr);
    bench::Samples runOnly;
    search.load(request);
    const bool reachable = search.goalReachable();
    for (int round = 0; round < 2 && reachable; ++round) {
        search.load(request);
        if (round == 0)
            search.run();
        else
            runOnly.measure([&] { search.run(); });
    }
    const double expansions = static_cast<double>(search.getExpansions());

    const std::string figure = std::string("FINDPATH ") + c.name + " " + std::to_string(c.side) + "²";
    const bool samePath = static_cast<std::int32_t>(ourLength) == theirLength;
    std::printf("%s: path %g cells (before: %d)%s, %.0f expansions, reachable %d\n", figure.c_str(), ourLength,
                theirLength, samePath ? "" : " MISMATCH", expansions, reachable);
    std::printf("  warm   %s\n  cold   %s\n  before %s\n", bench::Summary(warm).c_str(), bench::Summary(cold).c_str(),
                bench::Summary(before).c_str());

    const double ours = warm.minCpu();
    const std::string goal = c.goalSeconds > 0 ? "≤ " + bench::Duration(c.goalSeconds) : "";
    const char* met = c.goalSeconds > 0 ? bench::Met(ours <= c.goalSeconds && samePath) : (samePath ? "-" : "no");
    bench::Result(figure + ", warm (min / median cpu)",
                  bench::Duration(warm.minCpu()) + " / " + bench::Duration(warm.medianCpu()),
                  bench::Duration(before.minCpu()) + " (node planner)",
                  bench::Number(before.minCpu() / ours, "%.1f×"), goal, met);
    bench::Result(figure + ", cold: new memory (min / median cpu of " + std::to_string(cold.cpu.size()) + ")",
                  bench::Duration(cold.minCpu()) + " / " + bench::Duration(cold.medianCpu()), "", "", "", "-");
    if (reachable && expansions > 0) {
        // The search alone (ours, on warm memory) and the whole call (both):
        // loading the map and writing the result are not expansions.
        const double perExpansion = runOnly.minCpu() / expansions;
        const double callPerExpansion = warm.minCpu() / expansions;
        const double beforePerExpansion = before.minCpu() / expansions;
        const bool hasGoal = c.map == Map::kSpiral || c.map == Map::kBarrier;
        bench::Result("time per expansion, " + std::string(c.name) + " " + std::to_string(c.side) + "² (" +
                          bench::Number(expansions, "%.0f") + " expansions): search alone; whole call",
                      bench::Number(perExpansion * 1e9, "%.0f ns") + "; " +
                          bench::Number(callPerExpansion * 1e9, "%.0f ns"),
                      "whole call " + bench::Number(beforePerExpansion * 1e9, "%.0f ns"),
                      bench::Number(beforePerExpansion / callPerExpansion, "%.1f×"),
                      hasGoal ? "≤ 100 ns (search)" : "", hasGoal ? bench::Met(perExpansion <= 100e-9) : "-");
    }
}

}  // namespace

int main(int argc, char** argv)
{
    const bool quick = argc > 1 && std::strcmp(argv[1], "--quick") == 0;
    const int repetitions = quick ? 3 : 5;
    // The node planner takes tens of seconds on the barrier: it runs once
    // there, every round elsewhere.
    RunCase({"mixed", Map::kMixed, 1024, 0.05}, repetitions, true);
    if (!quick) RunCase({"mixed", Map::kMixed, 2048, 0}, repetitions, true);
    if (!quick) RunCase({"walled goal", Map::kWalledGoal, 2048, 0}, repetitions, true);
    RunCase({"maze", Map::kMaze, quick ? 1024 : 2048, quick ? 0 : 0.5}, 3, true);
    RunCase({"spiral", Map::kSpiral, 1024, 1.5}, 3, true);
    RunCase({"barrier", Map::kBarrier, 512, 3.0}, 3, false);
    bench::Result("FINDPATH memory per cell",
                  std::to_string(GridSearch::kBytesPerCell) + " bytes (+ " + std::to_string(GridSearch::kBytesPerMap) +
                      " per map)",
                  "", "",
                  "≤ 40 bytes", bench::Met(GridSearch::kBytesPerCell <= 40));
    return 0;
}
