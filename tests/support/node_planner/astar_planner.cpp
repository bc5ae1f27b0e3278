#include "support/node_planner/astar_planner.h"

#include <cstdlib>

#include "support/node_planner/node_hash_iterator.h"

namespace {

constexpr float kSqrt2 = 1.4142137f;

// The neighbours in the order they are visited.
struct Step {
    std::int32_t dx, dy;
    bool diagonal;
};
constexpr Step kNeighbours[8] = {
    {-1, -1, true}, {0, -1, false}, {1, -1, true}, {1, 0, false},
    {-1, 0, false}, {-1, 1, true},  {0, 1, false}, {1, 1, true},
};

}  // namespace

AStarPlanner::AStarPlanner(OpenListKind openListKind)
    : Planner(openListKind)
{
}

void AStarPlanner::initialize()
{
    Planner::initialize();
    if (!isLoaded()) return;
    Node* start = factory.fetch();
    if (start == nullptr) return;
    start->parent = nullptr;
    start->x = desc.startX;
    start->y = desc.startY;
    start->g = 0.0f;
    start->f = 0.0f;
    start->hashNext = nullptr;
    if (!open->insert(start)) factory.release(start);
}

void AStarPlanner::update(Node* node, Node* parent, float g, std::int32_t h) const
{
    node->parent = parent;
    node->g = g;
    node->f = g + (static_cast<float>(h) - g) * desc.weight;
}

bool AStarPlanner::run()
{
    ++numSlices;
    const float diagonalFactor = desc.diagonalCost ? kSqrt2 : 1.0f;
    NodeHashIterator closedNodes;
    closedNodes.attach(closed);
    std::int32_t sinceCheck = 0;

    for (;;) {
        Node* current = open->popBest();
        if (current == nullptr) {
            done = true;
            return true;
        }
        if (current->x == desc.goalX && current->y == desc.goalY) {
            closed.add(current);
            path = current;
            done = true;
            return true;
        }
        if (++sinceCheck == kExpansionsPerStopCheck) {
            sinceCheck = 0;
            if (abortCheck != nullptr && abortCheck()) {
                closed.add(current);
                done = false;
                return false;
            }
        }

        for (const Step& step : kNeighbours) {
            if (step.diagonal && !desc.allowDiagonal) continue;
            const std::int32_t nx = current->x + step.dx;
            const std::int32_t ny = current->y + step.dy;
            if (nx < 0 || ny < 0 || nx >= desc.width || ny >= desc.height) continue;
            const float cost = costMap[static_cast<std::size_t>(nx) + static_cast<std::size_t>(desc.width) * ny];
            if (cost == kWall) continue;

            const float g = cost * (step.diagonal ? diagonalFactor : 1.0f) + current->g;
            const std::int32_t h = std::abs(desc.goalX - nx) + std::abs(desc.goalY - ny);

            if (Node* reached = closedNodes.find(nx, ny)) {
                // A cheaper way into a finished cell opens it again.
                if (g < reached->g) {
                    closedNodes.remove();
                    update(reached, current, g, h);
                    // Other nodes may name it as parent: if a short open
                    // list has no room, it stays closed, never freed.
                    if (!open->insert(reached)) closed.add(reached);
                }
                continue;
            }
            if (Node* waiting = open->find(nx, ny)) {
                if (g < waiting->g) {
                    open->removeFound();
                    update(waiting, current, g, h);
                    if (!open->insert(waiting)) closed.add(waiting);  // cannot happen: its place was just freed
                }
                continue;
            }
            // A pool or open list smaller than the grid can run out; the
            // cell is then left out of this search rather than overrun.
            Node* fresh = factory.fetch();
            if (fresh == nullptr) continue;
            fresh->x = nx;
            fresh->y = ny;
            fresh->hashNext = nullptr;
            update(fresh, current, g, h);
            if (!open->insert(fresh)) factory.release(fresh);
        }
        closed.add(current);
    }
}
