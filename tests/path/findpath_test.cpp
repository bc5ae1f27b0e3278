#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "core/arrays.h"
#include "path/path_commands.h"
#include "platform/platform.h"
#include "support/grid_maps.h"
#include "support/node_planner/astar_planner.h"

namespace {

using Cells = std::vector<std::pair<int, int>>;

// Rows of a map as text: a digit is that cost, '#' a wall (0), '-' a
// negative wall (-1). map(x, y) is column x of row y.
void MakeMap(KvIntArray& map, const std::vector<std::string>& rows)
{
    const int width = static_cast<int>(rows[0].size());
    const int height = static_cast<int>(rows.size());
    DIM(map, width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const char c = rows[y][x];
            map(x, y) = c == '#' ? 0 : c == '-' ? -1 : c - '0';
        }
}

Cells Rows(KvIntArray& result, double count)
{
    Cells cells;
    for (int row = 0; row < count; ++row)
        cells.push_back({static_cast<int>(result(row, 0)), static_cast<int>(result(row, 1))});
    return cells;
}

// A result array with recognisable contents, to see it left alone.
void Prefill(KvIntArray& result)
{
    DIM(result, 4, 2);
    result(3, 1) = 42;
}

void ExpectUntouched(KvIntArray& result)
{
    EXPECT_EQ(BOUNDS(result, 0), 4);
    EXPECT_EQ(BOUNDS(result, 1), 2);
    EXPECT_EQ(result(3, 1), 42);
}

TEST(FindPath, ThreeByOneMapGivesThreeCellsStartFirst)
{
    KvIntArray map, result;
    MakeMap(map, {"111"});
    const double count = FINDPATH(map, result, 0.7, 0, 0, 2, 0);
    ASSERT_EQ(count, 3);
    EXPECT_EQ(BOUNDS(result, 0), 3);
    EXPECT_EQ(BOUNDS(result, 1), 2);
    EXPECT_EQ(Rows(result, count), (Cells{{0, 0}, {1, 0}, {2, 0}}));

    // And back again: the start is still row 0.
    EXPECT_EQ(FINDPATH(map, result, 0.7, 2, 0, 0, 0), 3);
    EXPECT_EQ(Rows(result, 3), (Cells{{2, 0}, {1, 0}, {0, 0}}));
}

TEST(FindPath, ZeroAndNegativeCellsAreWalls)
{
    KvIntArray map, result;
    MakeMap(map, {"1#1",
                  "1-1",
                  "111"});
    const double count = FINDPATH(map, result, 0.7, 0, 0, 2, 0);
    ASSERT_EQ(count, 7);
    EXPECT_EQ(Rows(result, count), (Cells{{0, 0}, {0, 1}, {0, 2}, {1, 2}, {2, 2}, {2, 1}, {2, 0}}));
}

TEST(FindPath, CostsFiveAndTenCountAsHalfAndOne)
{
    // Raw costs 10 (top) and 5 (bottom) become 1.0 and 0.5, one cell's worth
    // of the heuristic at most: the straight top row (4.0) then beats the
    // detour along the bottom (3.5). Unnormalised, the detour (35 against 40)
    // would win.
    KvIntArray map, result;
    DIM(map, 5, 2);
    for (int x = 0; x < 5; ++x) {
        map(x, 0) = 10;
        map(x, 1) = 5;
    }
    double count = FINDPATH(map, result, 0.7, 0, 0, 4, 0);
    ASSERT_EQ(count, 5);
    EXPECT_EQ(Rows(result, count), (Cells{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}}));

    // Where the routes are equally long, the 5 cells win.
    for (int x = 0; x < 5; ++x) map(x, 0) = 10;
    count = FINDPATH(map, result, 0.7, 0, 0, 4, 1);
    ASSERT_EQ(count, 6);
    EXPECT_EQ(Rows(result, count), (Cells{{0, 0}, {0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}}));
}

TEST(FindPath, NeverStepsDiagonally)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> cost(1, 9);
    KvIntArray map, result;
    DIM(map, 30, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x) map(x, y) = cost(random);
    const double count = FINDPATH(map, result, 0.7, 0, 0, 29, 29);
    ASSERT_GE(count, 59);
    const Cells cells = Rows(result, count);
    EXPECT_EQ(cells.front(), (std::pair<int, int>{0, 0}));
    EXPECT_EQ(cells.back(), (std::pair<int, int>{29, 29}));
    for (std::size_t i = 1; i < cells.size(); ++i)
        EXPECT_EQ(std::abs(cells[i].first - cells[i - 1].first) + std::abs(cells[i].second - cells[i - 1].second), 1)
            << "step " << i;
}

TEST(FindPath, EnclosedGoalLeavesTheSingleZeroElement)
{
    KvIntArray map, result;
    MakeMap(map, {"1111",
                  "11#1",
                  "1#1#",
                  "11#1"});
    Prefill(result);
    EXPECT_EQ(FINDPATH(map, result, 0.7, 0, 0, 2, 2), 0);
    EXPECT_EQ(BOUNDS(result, 0), 1);
    EXPECT_EQ(BOUNDS(result, 1), 0);
    EXPECT_EQ(result.dims, 1);
    EXPECT_EQ(result(0), 0);
}

TEST(FindPath, EqualPriorityGoesToTheEarlierNeighbour)
{
    // (1, 0) and (0, 1) tie; (1, 0) is visited first, so the path takes
    // the top row. Taking the later one first would go down the left column.
    KvIntArray map, result;
    MakeMap(map, {"111", "111", "111"});
    const double count = FINDPATH(map, result, 0.7, 0, 0, 2, 2);
    ASSERT_EQ(count, 5);
    EXPECT_EQ(Rows(result, count), (Cells{{0, 0}, {1, 0}, {2, 0}, {2, 1}, {2, 2}}));
}

TEST(FindPath, MapNotTwoDimensionalIsRefused)
{
    KvIntArray never, line, result;
    Prefill(result);
    EXPECT_EQ(FINDPATH(never, result, 0.7, 0, 0, 1, 0), 0);
    ExpectUntouched(result);

    DIM(line, 5);  // one dimension: no rows at all
    for (int x = 0; x < 5; ++x) line(x) = 1;
    EXPECT_EQ(FINDPATH(line, result, 0.7, 0, 0, 4, 0), 0);
    ExpectUntouched(result);

    KvIntArray negative;
    DIM(negative, 5, -3);
    EXPECT_EQ(FINDPATH(negative, result, 0.7, 0, 0, 4, 0), 0);
    ExpectUntouched(result);
}

TEST(FindPath, ThreeDimensionalMapSearchesItsFirstLayer)
{
    KvIntArray map, result;
    DIM(map, 3, 1, 2);
    for (int x = 0; x < 3; ++x) {
        map(x, 0, 0) = 1;
        map(x, 0, 1) = 0;  // the second layer is never read
    }
    EXPECT_EQ(FINDPATH(map, result, 0.7, 0, 0, 2, 0), 3);
}

TEST(FindPath, BadEndsLeaveTheResultAlone)
{
    KvIntArray map, result;
    MakeMap(map, {"111", "111"});
    Prefill(result);
    EXPECT_EQ(FINDPATH(map, result, 0.7, 1, 1, 1, 1), 0);   // start = goal
    EXPECT_EQ(FINDPATH(map, result, 0.7, -1, 0, 2, 1), 0);  // start outside
    EXPECT_EQ(FINDPATH(map, result, 0.7, 0, 0, 3, 1), 0);   // goal outside
    EXPECT_EQ(FINDPATH(map, result, 0.7, 0, 0, 2, 2), 0);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(FINDPATH(map, result, 0.7, nan, 0, 0, 0), 0);  // NaN is cell 0 = goal
    ExpectUntouched(result);
}

TEST(FindPath, TruncatesCoordinatesAndIgnoresTheWeight)
{
    KvIntArray map, result;
    DIM(map, 8, 8);
    std::mt19937 random(3);
    std::uniform_int_distribution<int> cost(1, 9);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) map(x, y) = cost(random);
    const double count = FINDPATH(map, result, 0.7, 0, 0, 7, 7);
    const Cells expected = Rows(result, count);
    // 2.9 truncates to 2 and 7.99 to 7; -0.5 truncates to 0.
    for (double weight : {0.0, 0.3, 1.0, -4.0}) {
        KvIntArray other;
        ASSERT_EQ(FINDPATH(map, other, weight, -0.5, 0.9, 7.99, 7.5), count);
        EXPECT_EQ(Rows(other, count), expected) << "weight " << weight;
    }
}

TEST(FindPath, MapCanAlsoTakeTheResult)
{
    KvIntArray map;
    MakeMap(map, {"111"});
    EXPECT_EQ(FINDPATH(map, map, 0.7, 0, 0, 2, 0), 3);
    EXPECT_EQ(Rows(map, 3), (Cells{{0, 0}, {1, 0}, {2, 0}}));
}

TEST(FindPath, LongSearchWithEscapeUpRunsToTheEndLikeTheReference)
{
    // A wall three quarters across, open only at the top, on mixed costs:
    // the search reopens cells over and over and passes the Escape check
    // (every 10 002 expansions) several times. With a window the check reads
    // the live keyboard.
    platform::Window* window = platform::CreateGameWindow("findpath", 0, 0, 64, 48);
    ASSERT_NE(window, nullptr) << platform::LastError();
    const int side = 64;
    KvIntArray map, result;
    testing_support::MakeCostGrid(map, side, testing_support::GridKind::kBarrier);

    Planner::Description request{};
    request.goalX = side - 1;
    request.goalY = side - 1;
    request.diagonalCost = true;
    request.hashBits = 16;
    request.weight = 0.7f;
    request.width = side;
    request.height = side;
    request.data = map.data;
    AStarPlanner reference(OpenListKind::SortedDeque);
    reference.setAbortCheck(nullptr);
    ASSERT_TRUE(reference.createMap(request));
    reference.initialize();
    ASSERT_TRUE(reference.run());
    Cells expected;
    for (const Node* node = reference.getGoal(); node != nullptr; node = node->parent)
        expected.insert(expected.begin(), {node->x, node->y});
    ASSERT_GT(reference.getClosedSize(), 1000u);

    const double count = FINDPATH(map, result, 0.7, 0, 0, side - 1, side - 1);
    ASSERT_EQ(count, static_cast<double>(expected.size()));
    EXPECT_EQ(Rows(result, count), expected);
    platform::DestroyGameWindow(window);
}

}  // namespace
