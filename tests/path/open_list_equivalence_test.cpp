// The heap open list that FINDPATH uses must give exactly the searches of the
// sorted ring buffer: same path, same cost, same open and closed cells. Small
// random maps with few distinct costs make ties of f common, which is where
// the two could differ.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

#include "path/astar_planner.h"

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
        const Outcome indexed = Search(OpenListKind::IndexedHeap, request);
        ASSERT_TRUE(reference.finished);
        ASSERT_EQ(indexed.finished, reference.finished) << "map " << i;
        ASSERT_EQ(indexed.path, reference.path) << "map " << i << " (" << width << " x " << height << ")";
        ASSERT_EQ(indexed.cost, reference.cost) << "map " << i;
        ASSERT_EQ(indexed.cellState, reference.cellState) << "map " << i;
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

}  // namespace
