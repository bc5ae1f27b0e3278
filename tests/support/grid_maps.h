// Cost grids for the path tests and benchmarks: costs 1 to 9 with one cell
// in six a wall, the two corner blocks kept open. Same seed, same map.
#pragma once

#include <random>

#include "core/arrays.h"

namespace testing_support {

enum class GridKind {
    kMixed,      // just the random costs
    kBarrier,    // plus a wall at three quarters of the width, open only at the top
    kWalledGoal, // plus the goal corner closed in: there is no path
};

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
