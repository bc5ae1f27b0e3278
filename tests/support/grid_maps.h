// Cost grids for the path tests and benchmarks: costs 1 to 9 with one cell
// in six a wall, the two corner blocks kept open. Same seed, same map.
#pragma once

#include <random>
#include <utility>
#include <vector>

#include "core/arrays.h"

namespace testing_support {

enum class GridKind {
    kMixed,      // just the random costs
    kBarrier,    // plus a wall at three quarters of the width, open only at the top
    kWalledGoal, // plus the goal corner closed in: there is no path
};

// A spiral of walls two cells apart on costs 1 to 9 (no random walls): from
// the corner (0, 0) the one corridor winds round and round to the centre.
// The weighted search keeps finding cheaper ways into cells it has closed.
inline void MakeSpiralGrid(KvIntArray& map, int side)
{
    DIM(map, side, side);
    std::mt19937 random(777);
    std::uniform_int_distribution<int> cost(1, 9);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) map(x, y) = cost(random);
    for (int lo = 1;; lo += 2) {
        const int hi = side - 1 - lo;
        if (hi - lo < 4) break;
        for (int i = lo; i <= hi; ++i) {
            map(i, lo) = 0;
            map(i, hi) = 0;
            map(lo, i) = 0;
            map(hi, i) = 0;
        }
        map(lo + 1, lo) = 1;  // the way in, at the top left
        map(lo, lo - 1) = 0;  // and the short cut to it from the outer corridor closed
    }
}

// A perfect maze (one way between any two rooms) carved by a depth-first
// walk: rooms at even coordinates, passages of costs 1 to 9. Start (0, 0),
// goal (side - 2, side - 2) for an even side.
inline void MakeMazeGrid(KvIntArray& map, int side)
{
    DIM(map, side, side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) map(x, y) = 0;
    std::mt19937 random(99);
    std::uniform_int_distribution<int> cost(1, 9);
    const int rooms = (side + 1) / 2;
    std::vector<std::pair<int, int>> stack = {{0, 0}};
    map(0, 0) = 1;
    const int dx[4] = {1, -1, 0, 0}, dy[4] = {0, 0, 1, -1};
    while (!stack.empty()) {
        const auto [rx, ry] = stack.back();
        int options[4], count = 0;
        for (int d = 0; d < 4; ++d) {
            const int nx = rx + dx[d], ny = ry + dy[d];
            if (nx >= 0 && ny >= 0 && nx < rooms && ny < rooms && map(2 * nx, 2 * ny) == 0) options[count++] = d;
        }
        if (count == 0) {
            stack.pop_back();
            continue;
        }
        const int d = options[std::uniform_int_distribution<int>(0, count - 1)(random)];
        const int nx = rx + dx[d], ny = ry + dy[d];
        map(2 * rx + dx[d], 2 * ry + dy[d]) = cost(random);
        map(2 * nx, 2 * ny) = cost(random);
        stack.push_back({nx, ny});
    }
}

inline void MakeCostGrid(KvIntArray& map, int side, GridKind kind)
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
    if (kind == GridKind::kBarrier) {
        const int wallX = side * 3 / 4;
        for (int y = 2; y < side; ++y) map(wallX, y) = 0;
    }
    if (kind == GridKind::kWalledGoal) {
        map(side - 2, side - 1) = 0;
        map(side - 1, side - 2) = 0;
    }
}

}  // namespace testing_support
