// The heap open list and FINDPATH's flat search must give exactly the
// searches of the sorted ring buffer: same path, same cost, same open and
// closed cells. Small random maps with few distinct costs make ties of f
// common, which is where they could differ.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

#include "path/grid_search.h"
#include "support/grid_maps.h"
#include "support/node_planner/astar_planner.h"

namespace {

struct Outcome {
    bool finished;
    std::vector<std::pair<int, int>> path;
    float cost;
    std::vector<int> cellState;  // 1 open, 2 closed
};

Outcome Search(OpenListKind kind, const Planner::Description& request)
{
    AStarPlanner planner(kind);
    planner.setAbortCheck(nullptr);
    Outcome outcome{};
    if (!planner.createMap(request)) return outcome;
    planner.initialize();
    outcome.finished = planner.run();
    for (const Node* node = planner.getGoal(); node != nullptr; node = node->parent)
        outcome.path.insert(outcome.path.begin(), {node->x, node->y});
    outcome.cost = planner.getPathCost();
    outcome.cellState.assign(static_cast<std::size_t>(request.width) * request.height, 0);
    planner.fillOpen(outcome.cellState.data(), 1);
    planner.fillClosed(outcome.cellState.data(), 2);
    EXPECT_EQ(planner.getOpenSize() + planner.getClosedSize(),
              static_cast<std::uint32_t>(std::count_if(outcome.cellState.begin(), outcome.cellState.end(),
                                                       [](int v) { return v != 0; })));
    planner.cleanup();
    return outcome;
}

// The flat search; insertionNumberLimit small forces renumbering of the
// open heap's tie-breakers many times over.
Outcome FlatSearch(const Planner::Description& request, std::uint32_t insertionNumberLimit = 0xFFFFFFFFu)
{
    GridSearch search(insertionNumberLimit);
    search.setAbortCheck(nullptr);
    search.setStopWhenUnreachable(false);  // the open and closed cells are compared too
    Outcome outcome{};
    if (!search.load(request)) return outcome;
    outcome.finished = search.run();
    search.forEachPathCellFromGoal([&](int x, int y) { outcome.path.insert(outcome.path.begin(), {x, y}); });
    outcome.cost = search.getPathCost();
    outcome.cellState.assign(static_cast<std::size_t>(request.width) * request.height, 0);
    search.fillStates(outcome.cellState.data());
    return outcome;
}

void ExpectSameSearch(const Outcome& reference, const Outcome& other, const char* what, int map)
{
    ASSERT_EQ(other.finished, reference.finished) << what << ", map " << map;
    ASSERT_EQ(other.path, reference.path) << what << ", map " << map;
    ASSERT_EQ(other.cost, reference.cost) << what << ", map " << map;
    ASSERT_EQ(other.cellState, reference.cellState) << what << ", map " << map;
}

void CompareOnRandomMaps(std::uint32_t seed, int count, int maxSide)
{
    std::mt19937 random(seed);
    const std::vector<std::vector<double>> palettes = {
        {1}, {1, 2}, {5, 10}, {1, 2, 3}, {1, 3, 7, 9}, {0.25, 1, 4, 16}};
    const float weights[] = {0.0f, 0.3f, 0.5f, 0.7f, 1.0f};
    int withPath = 0;
    for (int i = 0; i < count; ++i) {
        const int width = std::uniform_int_distribution<int>(1, maxSide)(random);
        const int height = std::uniform_int_distribution<int>(width == 1 ? 2 : 1, maxSide)(random);
        const auto& palette = palettes[std::uniform_int_distribution<std::size_t>(0, palettes.size() - 1)(random)];
        const double wallShare = std::uniform_real_distribution<double>(0.0, 0.35)(random);
        std::vector<double> data(static_cast<std::size_t>(width) * height);
        for (double& cell : data) {
            if (std::bernoulli_distribution(wallShare)(random))
                cell = 0;
            else
                cell = palette[std::uniform_int_distribution<std::size_t>(0, palette.size() - 1)(random)];
        }
        Planner::Description request{};
        do {
            request.startX = std::uniform_int_distribution<int>(0, width - 1)(random);
            request.startY = std::uniform_int_distribution<int>(0, height - 1)(random);
            request.goalX = std::uniform_int_distribution<int>(0, width - 1)(random);
            request.goalY = std::uniform_int_distribution<int>(0, height - 1)(random);
        } while (request.startX == request.goalX && request.startY == request.goalY);
        request.diagonalCost = std::bernoulli_distribution(0.5)(random);
        request.allowDiagonal = std::bernoulli_distribution(0.3)(random);
        request.hashBits = std::uniform_int_distribution<std::uint32_t>(0, 10)(random);
        request.weight = weights[std::uniform_int_distribution<int>(0, 4)(random)];
        request.width = width;
        request.height = height;
        request.data = data.data();

        const Outcome reference = Search(OpenListKind::SortedDeque, request);
        ASSERT_TRUE(reference.finished);
        ExpectSameSearch(reference, Search(OpenListKind::IndexedHeap, request), "indexed heap", i);
        ExpectSameSearch(reference, FlatSearch(request), "flat search", i);
        ExpectSameSearch(reference, FlatSearch(request, 3), "flat search, renumbered", i);
        withPath += !reference.path.empty();
    }
    // The maps must exercise real searches, not just walled-in starts.
    EXPECT_GT(withPath, count / 3);
}

TEST(OpenListEquivalence, SameSearchOnThousandsOfSmallRandomMaps)
{
    CompareOnRandomMaps(20261207, 4000, 12);
}

TEST(OpenListEquivalence, SameSearchOnLargerRandomMaps)
{
    CompareOnRandomMaps(4242, 150, 40);
}

// The maps FINDPATH is slowest on, where the weighted search reopens cells
// most: the barrier and a walled-in goal, at a size the reference can afford.
TEST(OpenListEquivalence, FlatSearchMatchesOnReopeningMaps)
{
    for (auto kind : {testing_support::GridKind::kMixed, testing_support::GridKind::kBarrier,
                      testing_support::GridKind::kWalledGoal}) {
        KvIntArray map;
        testing_support::MakeCostGrid(map, 48, kind);
        Planner::Description request{};
        request.goalX = 47;
        request.goalY = 47;
        request.diagonalCost = true;
        request.hashBits = 16;
        request.weight = 0.7f;
        request.width = 48;
        request.height = 48;
        request.data = map.data;
        const Outcome reference = Search(OpenListKind::SortedDeque, request);
        ExpectSameSearch(reference, FlatSearch(request), "flat search", static_cast<int>(kind));
        ExpectSameSearch(reference, FlatSearch(request, 5), "flat search, renumbered", static_cast<int>(kind));
    }
}

}  // namespace
