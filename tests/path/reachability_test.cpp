#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "core/arrays.h"
#include "path/path_commands.h"
#include "support/node_planner/astar_planner.h"
#include "support/node_planner/reachability.h"

namespace {

Planner::Description Request(const std::vector<double>& data, int width, int height,
                             int sx, int sy, int gx, int gy, bool diagonal = false)
{
    Planner::Description request{};
    request.startX = sx;
    request.startY = sy;
    request.goalX = gx;
    request.goalY = gy;
    request.allowDiagonal = diagonal;
    request.hashBits = 8;
    request.weight = 0.7f;
    request.width = width;
    request.height = height;
    request.data = data.data();
    return request;
}

bool Reachable(const std::vector<double>& data, int width, int height,
               int sx, int sy, int gx, int gy, bool diagonal = false)
{
    AStarPlanner planner;
    EXPECT_TRUE(planner.createMap(Request(data, width, height, sx, sy, gx, gy, diagonal)));
    return GoalReachable(planner);
}

TEST(GoalReachable, FollowsPassableNeighboursOnly)
{
    const std::vector<double> data = {1, 1, 0,
                                      0, 1, 0,
                                      0, 0, 1};
    EXPECT_TRUE(Reachable(data, 3, 3, 0, 0, 1, 1));
    // (2, 2) touches (1, 1) only at a corner.
    EXPECT_FALSE(Reachable(data, 3, 3, 0, 0, 2, 2));
    EXPECT_TRUE(Reachable(data, 3, 3, 0, 0, 2, 2, true));
    // A wall as goal is never entered.
    EXPECT_FALSE(Reachable(data, 3, 3, 0, 0, 2, 0));
    // A wall as start is left all the same, as the search does.
    EXPECT_TRUE(Reachable(data, 3, 3, 0, 1, 1, 0));
}

TEST(GoalReachable, WithoutMapItLetsTheSearchDecide)
{
    AStarPlanner planner;
    EXPECT_TRUE(GoalReachable(planner));
}

TEST(GoalReachable, AgreesWithTheSearchOnRandomMaps)
{
    std::mt19937 random(99);
    int unreachable = 0;
    for (int i = 0; i < 1500; ++i) {
        const int width = std::uniform_int_distribution<int>(2, 12)(random);
        const int height = std::uniform_int_distribution<int>(1, 12)(random);
        std::vector<double> data(static_cast<std::size_t>(width) * height);
        for (double& cell : data) cell = std::bernoulli_distribution(0.4)(random) ? 0 : 1 + random() % 5;
        const int sx = std::uniform_int_distribution<int>(0, width - 1)(random);
        const int sy = std::uniform_int_distribution<int>(0, height - 1)(random);
        int gx, gy;
        do {
            gx = std::uniform_int_distribution<int>(0, width - 1)(random);
            gy = std::uniform_int_distribution<int>(0, height - 1)(random);
        } while (gx == sx && gy == sy);
        const bool diagonal = std::bernoulli_distribution(0.5)(random);

        AStarPlanner planner(OpenListKind::IndexedHeap);
        ASSERT_TRUE(planner.createMap(Request(data, width, height, sx, sy, gx, gy, diagonal)));
        planner.initialize();
        ASSERT_TRUE(planner.run());
        const bool found = planner.getGoal() != nullptr;
        ASSERT_EQ(GoalReachable(planner), found) << "map " << i;
        unreachable += !found;
    }
    EXPECT_GT(unreachable, 200);
    EXPECT_LT(unreachable, 1300);
}

TEST(FindPath, WalledInGoalOnALargeMapAnswersAtOnce)
{
    // Searched cell by cell, this map takes the weighted search tens of
    // millions of expansions; the fill answers in one pass.
    const int side = 300;
    KvIntArray map, result;
    DIM(map, side, side);
    std::mt19937 random(5);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) map(x, y) = 1 + random() % 9;
    map(side - 2, side - 1) = 0;
    map(side - 1, side - 2) = 0;
    DIM(result, 3, 2);
    EXPECT_EQ(FINDPATH(map, result, 0.7, 0, 0, side - 1, side - 1), 0);
    EXPECT_EQ(BOUNDS(result, 0), 1);
    EXPECT_EQ(BOUNDS(result, 1), 0);
    EXPECT_EQ(result(0), 0);
}

}  // namespace
