// FINDPATH's flat search beyond the equivalence with the planner: the abort
// check, and memory kept from one search to the next.
#include <gtest/gtest.h>

#include <vector>

#include "path/grid_search.h"

namespace {

PathRequest Request(const std::vector<double>& data, int side)
{
    PathRequest request{};
    request.goalX = side - 1;
    request.goalY = side - 1;
    request.diagonalCost = true;
    request.weight = 0.0f;  // uniform cost: nearly every cell is expanded
    request.width = side;
    request.height = side;
    request.data = data.data();
    return request;
}

int g_abortCalls = 0;
bool g_abortAnswer = false;
bool CountingAbortCheck()
{
    ++g_abortCalls;
    return g_abortAnswer;
}

TEST(GridSearch, AbortCheckStopsTheSearchAfter10002ExpansionsAndTheNextRunFinishes)
{
    const int side = 120;
    const std::vector<double> data(side * side, 1.0);
    GridSearch search;
    search.setAbortCheck(&CountingAbortCheck);
    ASSERT_TRUE(search.load(Request(data, side)));

    g_abortCalls = 0;
    g_abortAnswer = true;
    EXPECT_FALSE(search.run());
    EXPECT_EQ(g_abortCalls, 1);
    EXPECT_EQ(search.getExpansions(), 10002u);
    EXPECT_EQ(search.getPathSize(), 0);

    // The aborted search left its marks in the per-cell state; the next
    // run starts afresh all the same.
    g_abortCalls = 0;
    g_abortAnswer = false;
    EXPECT_TRUE(search.run());
    EXPECT_EQ(search.getPathSize(), 2 * side - 1);
    EXPECT_EQ(g_abortCalls, (side * side - 1) / 10002);
}

TEST(GridSearch, SameAnswerWhenTheMemoryIsReusedOrRenewed)
{
    // Costs that make the search reopen cells; a walled gap in the middle.
    const int side = 40;
    std::vector<double> data(side * side);
    for (int i = 0; i < side * side; ++i) data[i] = 1 + (i * 7919) % 9;
    for (int y = 5; y < side; ++y) data[20 + side * y] = 0;
    auto request = Request(data, side);
    request.weight = 0.7f;

    GridSearch search;
    search.setAbortCheck(nullptr);
    ASSERT_TRUE(search.load(request));
    ASSERT_TRUE(search.run());
    const float cost = search.getPathCost();
    const auto expansions = search.getExpansions();
    ASSERT_GT(search.getPathSize(), 0);

    // Same size again (memory reused, not cleared), then another size in
    // between (memory renewed): the same search each time.
    for (int round = 0; round < 2; ++round) {
        if (round == 1) {
            const std::vector<double> small(9, 1.0);
            PathRequest other = Request(small, 3);
            ASSERT_TRUE(search.load(other));
            ASSERT_TRUE(search.run());
        }
        ASSERT_TRUE(search.load(request));
        ASSERT_TRUE(search.run());
        EXPECT_EQ(search.getPathCost(), cost) << "round " << round;
        EXPECT_EQ(search.getExpansions(), expansions) << "round " << round;
    }
}

TEST(GridSearch, WalledInGoalEndsEarlyWithTheSameAnswer)
{
    // The goal corner is closed in: the search reopens cells until a flood
    // fill, once it has expanded a quarter as many cells as the map has,
    // shows that no path exists. Run to its end, it gives the same answer,
    // later.
    const int side = 110;
    std::vector<double> data(side * side);
    for (int i = 0; i < side * side; ++i) data[i] = 1 + (i * 7919) % 9;
    data[(side - 2) + side * (side - 1)] = 0;
    data[(side - 1) + side * (side - 2)] = 0;
    auto request = Request(data, side);
    request.weight = 0.7f;

    GridSearch search;
    search.setAbortCheck(nullptr);
    ASSERT_TRUE(search.load(request));
    EXPECT_FALSE(search.goalReachable());
    ASSERT_TRUE(search.run());
    EXPECT_EQ(search.getPathSize(), 0);
    EXPECT_EQ(search.getPathCost(), -1.0f);
    const auto early = search.getExpansions();
    EXPECT_GE(early, static_cast<std::uint64_t>(side * side / 4));

    search.setStopWhenUnreachable(false);
    ASSERT_TRUE(search.run());
    EXPECT_EQ(search.getPathSize(), 0);
    EXPECT_GT(search.getExpansions(), early);
}

TEST(GridSearch, RefusesWhatThePlannerRefuses)
{
    const std::vector<double> data(6, 1.0);
    GridSearch search;
    PathRequest request = Request(data, 2);
    request.height = 3;
    request.goalX = 0;
    request.goalY = 0;  // start = goal
    EXPECT_FALSE(search.load(request));
    request.goalY = 3;  // outside
    EXPECT_FALSE(search.load(request));
    EXPECT_FALSE(search.isLoaded());
    request.goalY = 2;
    request.data = nullptr;
    EXPECT_FALSE(search.load(request));
}

}  // namespace
