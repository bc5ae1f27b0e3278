#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <utility>
#include <vector>

#include "support/node_planner/astar_planner.h"

namespace {

using Cells = std::vector<std::pair<int, int>>;

Planner::Description Request(const std::vector<double>& data, int width, int height,
                             int sx, int sy, int gx, int gy)
{
    Planner::Description request{};
    request.startX = sx;
    request.startY = sy;
    request.goalX = gx;
    request.goalY = gy;
    request.diagonalCost = true;
    request.hashBits = 16;
    request.weight = 0.7f;
    request.width = width;
    request.height = height;
    request.data = data.data();
    return request;
}

Cells PathOf(const Planner& planner)
{
    Cells cells;
    for (const Node* node = planner.getGoal(); node != nullptr; node = node->parent)
        cells.insert(cells.begin(), {node->x, node->y});
    return cells;
}

class BothOpenLists : public ::testing::TestWithParam<OpenListKind> {};

INSTANTIATE_TEST_SUITE_P(Planner, BothOpenLists,
                         ::testing::Values(OpenListKind::SortedDeque, OpenListKind::IndexedHeap));

TEST(PlannerMap, RefusesBadEndsAndKeepsTheLoadedMap)
{
    const std::vector<double> data(12, 1.0);
    AStarPlanner planner;
    EXPECT_FALSE(planner.isLoaded());
    ASSERT_TRUE(planner.createMap(Request(data, 4, 3, 0, 0, 3, 2)));
    EXPECT_TRUE(planner.isLoaded());

    EXPECT_FALSE(planner.createMap(Request(data, 4, 3, -1, 0, 3, 2)));
    EXPECT_FALSE(planner.createMap(Request(data, 4, 3, 0, 3, 3, 2)));
    EXPECT_FALSE(planner.createMap(Request(data, 4, 3, 0, 0, 4, 2)));
    EXPECT_FALSE(planner.createMap(Request(data, 4, 3, 0, 0, 3, -1)));
    EXPECT_FALSE(planner.createMap(Request(data, 4, 3, 1, 1, 1, 1)));
    EXPECT_FALSE(planner.createMap(Request(data, 4, 0, 0, 0, 1, 0)));
    // Nothing changed: the first request is still the loaded one.
    EXPECT_TRUE(planner.isLoaded());
    EXPECT_EQ(planner.getDescription().goalX, 3);
    EXPECT_EQ(planner.getDescription().goalY, 2);
}

TEST(PlannerMap, NormalisesCostsAndMarksWalls)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<double> data = {5, 10, 0, -3, nan, 7.5};
    AStarPlanner planner;
    ASSERT_TRUE(planner.createMap(Request(data, 6, 1, 0, 0, 5, 0)));
    const float* map = planner.getMap();
    EXPECT_FLOAT_EQ(map[0], 0.5f);
    EXPECT_FLOAT_EQ(map[1], 1.0f);
    EXPECT_EQ(map[2], Planner::kWall);
    EXPECT_EQ(map[3], Planner::kWall);
    EXPECT_EQ(map[4], Planner::kWall);  // not a number: a wall, not a poisoned cost
    EXPECT_FLOAT_EQ(map[5], 0.75f);
}

TEST(PlannerMap, HugeValuesStayFinite)
{
    const std::vector<double> data = {1e300, 1, 1e300};
    AStarPlanner planner;
    ASSERT_TRUE(planner.createMap(Request(data, 3, 1, 0, 0, 2, 0)));
    EXPECT_EQ(planner.getMap()[0], 1.0f);
    EXPECT_GT(planner.getMap()[1], 0.0f);
    planner.initialize();
    ASSERT_TRUE(planner.run());
    EXPECT_EQ(planner.getPathSize(), 3);
    EXPECT_TRUE(std::isfinite(planner.getPathCost()));
}

TEST(PlannerMap, ClampsTheWeight)
{
    const std::vector<double> data(4, 1.0);
    AStarPlanner planner;
    auto request = Request(data, 4, 1, 0, 0, 3, 0);
    request.weight = 1.5f;
    ASSERT_TRUE(planner.createMap(request));
    EXPECT_EQ(planner.getDescription().weight, 1.0f);
    request.weight = -2.0f;
    ASSERT_TRUE(planner.createMap(request));
    EXPECT_EQ(planner.getDescription().weight, 0.0f);
    request.weight = std::numeric_limits<float>::quiet_NaN();
    ASSERT_TRUE(planner.createMap(request));
    EXPECT_EQ(planner.getDescription().weight, 0.0f);
}

TEST(PlannerMap, RefusesAPoolTooLargeToCount)
{
    const std::vector<double> data(4, 1.0);
    AStarPlanner planner;
    auto request = Request(data, 2, 2, 0, 0, 1, 1);
    request.nodeCapacity = 0x80000000u;
    EXPECT_FALSE(planner.createMap(request));
    EXPECT_FALSE(planner.isLoaded());
    planner.initialize();
    EXPECT_TRUE(planner.run());  // nothing to search: no path, no crash
    EXPECT_EQ(planner.getGoal(), nullptr);
}

TEST_P(BothOpenLists, EqualPriorityExpandsTheEarlierNodeFirst)
{
    // From (0, 0) the neighbours (1, 0) and then (0, 1) get the same f;
    // (1, 0) was inserted first, so the path runs along the top row.
    const std::vector<double> data(9, 1.0);
    AStarPlanner planner(GetParam());
    ASSERT_TRUE(planner.createMap(Request(data, 3, 3, 0, 0, 2, 2)));
    planner.initialize();
    ASSERT_TRUE(planner.run());
    EXPECT_EQ(PathOf(planner), (Cells{{0, 0}, {1, 0}, {2, 0}, {2, 1}, {2, 2}}));
    EXPECT_FLOAT_EQ(planner.getPathCost(), 4.0f);
    // (0, 1) was never expanded: it is still open.
    std::vector<int> grid(9, 0);
    ASSERT_TRUE(planner.fillOpen(grid.data(), 1));
    EXPECT_EQ(grid[1 * 3 + 0], 1);
}

TEST_P(BothOpenLists, NormalisedCostsWeighAgainstTheHeuristic)
{
    // Top row 10, bottom row 5, normalised to 1.0 and 0.5. Against the
    // Manhattan heuristic (one per cell) the straight top row (4.0) wins over
    // the cheaper detour along the bottom (3.5). With the raw costs the g
    // term would dominate and the search would take the detour (cost 35
    // against 40).
    const std::vector<double> data = {10, 10, 10, 10, 10,
                                      5, 5, 5, 5, 5};
    AStarPlanner planner(GetParam());
    ASSERT_TRUE(planner.createMap(Request(data, 5, 2, 0, 0, 4, 0)));
    planner.initialize();
    ASSERT_TRUE(planner.run());
    EXPECT_EQ(PathOf(planner), (Cells{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}}));
    EXPECT_FLOAT_EQ(planner.getPathCost(), 4.0f);

    // Two routes of equal length: the cheaper one wins although its first
    // cell is visited second.
    const std::vector<double> square = {1, 10,
                                        5, 10};
    ASSERT_TRUE(planner.createMap(Request(square, 2, 2, 0, 0, 1, 1)));
    planner.initialize();
    ASSERT_TRUE(planner.run());
    EXPECT_EQ(PathOf(planner), (Cells{{0, 0}, {0, 1}, {1, 1}}));
    EXPECT_FLOAT_EQ(planner.getPathCost(), 1.5f);
}

TEST_P(BothOpenLists, DiagonalStepsOnlyWhenAllowedAndAtTheirCost)
{
    const std::vector<double> data(9, 1.0);
    AStarPlanner planner(GetParam());
    auto request = Request(data, 3, 3, 0, 0, 2, 2);
    request.allowDiagonal = true;
    ASSERT_TRUE(planner.createMap(request));
    planner.initialize();
    ASSERT_TRUE(planner.run());
    EXPECT_EQ(PathOf(planner), (Cells{{0, 0}, {1, 1}, {2, 2}}));
    EXPECT_FLOAT_EQ(planner.getPathCost(), 2 * 1.4142137f);

    request.diagonalCost = false;
    ASSERT_TRUE(planner.createMap(request));
    planner.initialize();
    ASSERT_TRUE(planner.run());
    EXPECT_FLOAT_EQ(planner.getPathCost(), 2.0f);
}

TEST_P(BothOpenLists, EnclosedGoalEndsWithoutPath)
{
    const std::vector<double> data = {1, 1, 1, 1,
                                      1, 1, 0, 1,
                                      1, 0, 1, 0,
                                      1, 1, 0, 1};
    AStarPlanner planner(GetParam());
    ASSERT_TRUE(planner.createMap(Request(data, 4, 4, 0, 0, 2, 2)));
    planner.initialize();
    EXPECT_TRUE(planner.run());
    EXPECT_TRUE(planner.isDone());
    EXPECT_EQ(planner.getGoal(), nullptr);
    EXPECT_EQ(planner.getPathSize(), 0);
    EXPECT_EQ(planner.getPathCost(), -1.0f);
    EXPECT_EQ(planner.getOpenSize(), 0u);
    // Every reachable cell was closed: 16 cells minus 4 walls, the goal and (3, 3).
    EXPECT_EQ(planner.getClosedSize(), 10u);
}

// Counts its calls; stops the search when told to.
int g_abortCalls = 0;
bool g_abortAnswer = false;
bool CountingAbortCheck()
{
    ++g_abortCalls;
    return g_abortAnswer;
}

TEST_P(BothOpenLists, AbortCheckStopsTheSearchAfter10002Expansions)
{
    const int side = 120;
    const std::vector<double> data(side * side, 1.0);
    AStarPlanner planner(GetParam());
    auto request = Request(data, side, side, 0, 0, side - 1, side - 1);
    request.weight = 0.0f;  // uniform cost: nearly every cell is expanded
    ASSERT_TRUE(planner.createMap(request));
    planner.setAbortCheck(&CountingAbortCheck);

    g_abortCalls = 0;
    g_abortAnswer = true;
    planner.initialize();
    EXPECT_FALSE(planner.run());
    EXPECT_FALSE(planner.isDone());
    EXPECT_EQ(g_abortCalls, 1);
    EXPECT_EQ(planner.getClosedSize(), 10002u);  // the aborting node included
    EXPECT_EQ(planner.getGoal(), nullptr);
    planner.cleanup();
    EXPECT_EQ(planner.getOpenSize(), 0u);
    EXPECT_EQ(planner.getClosedSize(), 0u);
    EXPECT_TRUE(planner.isDone());

    g_abortCalls = 0;
    g_abortAnswer = false;
    planner.initialize();
    EXPECT_TRUE(planner.run());
    EXPECT_EQ(planner.getPathSize(), 2 * side - 1);
    // Every cell but the goal is expanded once or more.
    EXPECT_EQ(g_abortCalls, (side * side - 1) / 10002);
}

TEST_P(BothOpenLists, SearchesAgainAfterReinitialisingWithoutCleanup)
{
    // The pool holds exactly one node per cell: a second search that leaked
    // the first one's nodes would run short and lose the path.
    const std::vector<double> data(16, 1.0);
    AStarPlanner planner(GetParam());
    ASSERT_TRUE(planner.createMap(Request(data, 4, 4, 0, 0, 3, 3)));
    planner.initialize();
    ASSERT_TRUE(planner.run());
    const Cells first = PathOf(planner);
    const std::uint32_t open = planner.getOpenSize();
    const std::uint32_t closed = planner.getClosedSize();
    EXPECT_EQ(planner.getNumSlices(), 1);

    planner.initialize();
    EXPECT_EQ(planner.getNumSlices(), 0);
    ASSERT_TRUE(planner.run());
    EXPECT_EQ(PathOf(planner), first);
    EXPECT_EQ(planner.getOpenSize(), open);
    EXPECT_EQ(planner.getClosedSize(), closed);

    // A new map while nodes are still out: the old lists must let go of them.
    ASSERT_TRUE(planner.createMap(Request(data, 4, 4, 3, 3, 0, 0)));
    EXPECT_EQ(planner.getOpenSize(), 0u);
    EXPECT_EQ(planner.getClosedSize(), 0u);
    planner.initialize();
    ASSERT_TRUE(planner.run());
    EXPECT_EQ(planner.getPathSize(), 7);
}

TEST_P(BothOpenLists, SmallPoolAndOpenListCutTheSearchShortSafely)
{
    std::mt19937 random(11);
    std::uniform_int_distribution<int> cost(1, 9);
    std::vector<double> data(100);
    for (double& cell : data) cell = cost(random);
    for (std::uint32_t pool : {2u, 5u, 30u}) {
        for (std::uint32_t openRoom : {1u, 2u, 4u}) {
            AStarPlanner planner(GetParam());
            auto request = Request(data, 10, 10, 0, 0, 9, 9);
            request.nodeCapacity = pool;
            request.openCapacity = openRoom;
            ASSERT_TRUE(planner.createMap(request));
            planner.initialize();
            EXPECT_TRUE(planner.run());
            // Whatever was found is a chain of neighbours from the start.
            const Cells cells = PathOf(planner);
            if (!cells.empty()) {
                EXPECT_EQ(cells.front(), (std::pair<int, int>{0, 0}));
                for (std::size_t i = 1; i < cells.size(); ++i)
                    EXPECT_EQ(std::abs(cells[i].first - cells[i - 1].first) +
                                  std::abs(cells[i].second - cells[i - 1].second), 1);
            }
            EXPECT_LE(planner.getOpenSize() + planner.getClosedSize(), pool);
            planner.cleanup();
        }
    }
}

TEST_P(BothOpenLists, FillMarksPathOpenAndClosedCells)
{
    const std::vector<double> data(16, 1.0);
    AStarPlanner planner(GetParam());
    ASSERT_TRUE(planner.createMap(Request(data, 4, 4, 0, 0, 3, 3)));
    planner.initialize();
    ASSERT_TRUE(planner.run());
    EXPECT_FALSE(planner.fillPath(nullptr, 1));
    EXPECT_FALSE(planner.fillOpen(nullptr, 1));
    EXPECT_FALSE(planner.fillClosed(nullptr, 1));

    std::vector<int> grid(16, 0);
    ASSERT_TRUE(planner.fillOpen(grid.data(), 1));
    ASSERT_TRUE(planner.fillClosed(grid.data(), 2));
    int open = 0, closed = 0;
    for (int v : grid) {
        open += v == 1;
        closed += v == 2;
    }
    EXPECT_EQ(open, static_cast<int>(planner.getOpenSize()));
    EXPECT_EQ(closed, static_cast<int>(planner.getClosedSize()));

    std::vector<int> path(16, 0);
    ASSERT_TRUE(planner.fillPath(path.data(), 7));
    int marked = 0;
    for (int v : path) marked += v == 7;
    EXPECT_EQ(marked, planner.getPathSize());
    for (const auto& [x, y] : PathOf(planner)) EXPECT_EQ(path[y * 4 + x], 7);
}

}  // namespace
