#include "support/node_planner/reachability.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

namespace {

struct Cell {
    std::int32_t x, y;
};

}  // namespace

bool GoalReachable(const Planner& planner)
{
    if (!planner.isLoaded()) return true;
    const Planner::Description& d = planner.getDescription();
    const float* costs = planner.getMap();
    const std::size_t cells = static_cast<std::size_t>(d.width) * static_cast<std::size_t>(d.height);

    std::unique_ptr<std::uint8_t[]> seen(new (std::nothrow) std::uint8_t[cells]());
    std::unique_ptr<Cell[]> queue(new (std::nothrow) Cell[cells]);
    if (seen == nullptr || queue == nullptr) return true;

    std::size_t head = 0, tail = 0;
    auto visit = [&](std::int32_t x, std::int32_t y) {
        if (x < 0 || y < 0 || x >= d.width || y >= d.height) return;
        const std::size_t index = static_cast<std::size_t>(x) + static_cast<std::size_t>(d.width) * y;
        if (seen[index] || costs[index] == Planner::kWall) return;
        seen[index] = 1;
        queue[tail++] = Cell{x, y};
    };

    // The start itself may be a wall: the search leaves it all the same.
    seen[static_cast<std::size_t>(d.startX) + static_cast<std::size_t>(d.width) * d.startY] = 1;
    queue[tail++] = Cell{d.startX, d.startY};
    while (head < tail) {
        const Cell c = queue[head++];
        if (c.x == d.goalX && c.y == d.goalY) return true;
        visit(c.x, c.y - 1);
        visit(c.x + 1, c.y);
        visit(c.x - 1, c.y);
        visit(c.x, c.y + 1);
        if (d.allowDiagonal) {
            visit(c.x - 1, c.y - 1);
            visit(c.x + 1, c.y - 1);
            visit(c.x - 1, c.y + 1);
            visit(c.x + 1, c.y + 1);
        }
    }
    return false;
}
