#include "path/reachability.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

bool GoalReachable(const Planner& planner)
{
    if (!planner.isLoaded()) return true;
    const Planner::Description& d = planner.getDescription();
    const float* costs = planner.getMap();
    const std::size_t cells = static_cast<std::size_t>(d.width) * static_cast<std::size_t>(d.height);

    std::unique_ptr<bool[]> seen(new (std::nothrow) bool[cells]());
    std::unique_ptr<std::int32_t[]> queue(new (std::nothrow) std::int32_t[cells]);
    if (seen == nullptr || queue == nullptr) return true;

    // The start itself may be a wall: the search leaves it all the same.
    const std::int32_t start = d.startX + d.width * d.startY;
    const std::int32_t goal = d.goalX + d.width * d.goalY;
    std::size_t head = 0, tail = 0;
    queue[tail++] = start;
    seen[start] = true;
    while (head < tail) {
        const std::int32_t cell = queue[head++];
        if (cell == goal) return true;
        const std::int32_t x = cell % d.width;
        const std::int32_t y = cell / d.width;
        for (std::int32_t dy = -1; dy <= 1; ++dy) {
            for (std::int32_t dx = -1; dx <= 1; ++dx) {
                if (dx == 0 && dy == 0) continue;
                if (dx != 0 && dy != 0 && !d.allowDiagonal) continue;
                const std::int32_t nx = x + dx;
                const std::int32_t ny = y + dy;
                if (nx < 0 || ny < 0 || nx >= d.width || ny >= d.height) continue;
                const std::int32_t next = nx + d.width * ny;
                if (seen[next] || costs[next] == Planner::kWall) continue;
                seen[next] = true;
                queue[tail++] = next;
            }
        }
    }
    return false;
}
