#include "support/node_planner/planner.h"

#include <cfloat>
#include <cmath>
#include <cstddef>
#include <new>

#include "support/node_planner/indexed_open_list.h"
#include "support/node_planner/node_hash_iterator.h"
#include "support/node_planner/sorted_open_list.h"

namespace {

std::unique_ptr<OpenList> MakeOpenList(OpenListKind kind)
{
    if (kind == OpenListKind::IndexedHeap) return std::make_unique<IndexedOpenList>();
    return std::make_unique<SortedOpenList>();
}

bool Inside(std::int32_t x, std::int32_t y, const Planner::Description& d)
{
    return x >= 0 && x < d.width && y >= 0 && y < d.height;
}

// A caller's cell value as a float cost: not a number counts as a wall, and
// values beyond the float range are held at its edge instead of overflowing.
float CellValue(double value)
{
    if (std::isnan(value)) return 0.0f;
    if (value > FLT_MAX) return FLT_MAX;
    if (value < -FLT_MAX) return -FLT_MAX;
    return static_cast<float>(value);
}

}  // namespace

Planner::Planner(OpenListKind openListKind)
    : open(MakeOpenList(openListKind))
{
}

Planner::~Planner() = default;

bool Planner::createMap(const Description& request)
{
    if (!Inside(request.startX, request.startY, request) || !Inside(request.goalX, request.goalY, request))
        return false;
    if (request.startX == request.goalX && request.startY == request.goalY) return false;
    if (request.data == nullptr) return false;

    unloadMap();

    const std::uint64_t cells = static_cast<std::uint64_t>(request.width) * static_cast<std::uint64_t>(request.height);
    // Room for (width + 1) x (height + 1) entries, of which width x height are used.
    const std::uint64_t storage = (static_cast<std::uint64_t>(request.width) + 1) *
                                  (static_cast<std::uint64_t>(request.height) + 1);
    if (cells > 0x7FFFFFFFu || storage > SIZE_MAX / sizeof(float)) return false;
    costMap.reset(new (std::nothrow) float[storage]);
    if (costMap == nullptr) return false;

    float largest = -1.0f;
    for (std::int32_t y = 0; y < request.height; ++y) {
        for (std::int32_t x = 0; x < request.width; ++x) {
            const std::size_t cell = static_cast<std::size_t>(x) + static_cast<std::size_t>(request.width) * y;
            const float v = CellValue(request.data[cell]);
            if (v <= 0) {
                costMap[cell] = kWall;
            } else {
                costMap[cell] = v;
                if (v > largest) largest = v;
            }
        }
    }
    // Passable costs end up in (0, 1], comparable with the unit-step heuristic.
    if (largest > 0) {
        for (std::uint64_t cell = 0; cell < cells; ++cell)
            if (costMap[cell] > 0) costMap[cell] /= largest;
    }

    const std::uint32_t nodeCount = request.nodeCapacity != 0 ? request.nodeCapacity : static_cast<std::uint32_t>(cells);
    const std::uint32_t openCount = request.openCapacity != 0 ? request.openCapacity : static_cast<std::uint32_t>(cells);
    if (!factory.allocate(nodeCount) || !open->allocate(openCount, request.width, request.height) ||
        !closed.create(request.hashBits)) {
        costMap.reset();
        open->allocate(0, 0, 0);
        return false;
    }

    path = nullptr;
    desc = request;
    if (!(desc.weight >= 0.0f)) desc.weight = 0.0f;  // also catches NaN
    if (desc.weight > 1.0f) desc.weight = 1.0f;
    numSlices = 0;
    done = true;
    return true;
}

void Planner::unloadMap()
{
    if (costMap == nullptr) return;
    // The open list and the closed set point into the pool, which a new map
    // replaces: they must not keep those nodes.
    open->clear();
    closed.empty();
    costMap.reset();
    numSlices = 0;
    path = nullptr;
    desc = Description{};
}

void Planner::releaseAllNodes()
{
    for (std::uint32_t i = 0; i < open->size(); ++i) factory.release(open->at(i));
    open->clear();
    closed.releaseAll(factory);
}

void Planner::initialize()
{
    // A second initialize without cleanup must not leak the first search's nodes.
    releaseAllNodes();
    done = false;
    numSlices = 0;
    path = nullptr;
}

void Planner::cleanup()
{
    releaseAllNodes();
    path = nullptr;
    done = true;
}

float Planner::getPathCost() const
{
    return path != nullptr ? path->g : -1.0f;
}

std::int32_t Planner::getPathSize() const
{
    // Parent links always lead back to the start; the pool size bounds the
    // walk all the same.
    std::int32_t count = 0;
    for (const Node* node = path; node != nullptr && count < factory.capacity(); node = node->parent) ++count;
    return count;
}

std::uint32_t Planner::getOpenSize() const
{
    return open->size();
}

std::uint32_t Planner::getClosedSize() const
{
    return closed.size();
}

bool Planner::fillPath(int* grid, int value) const
{
    if (grid == nullptr) return false;
    std::int32_t count = 0;
    for (const Node* node = path; node != nullptr && count < factory.capacity(); node = node->parent, ++count)
        grid[static_cast<std::size_t>(node->y) * desc.width + node->x] = value;
    return true;
}

bool Planner::fillOpen(int* grid, int value) const
{
    if (grid == nullptr) return false;
    for (std::uint32_t i = 0; i < open->size(); ++i) {
        const Node* node = open->at(i);
        grid[static_cast<std::size_t>(node->y) * desc.width + node->x] = value;
    }
    return true;
}

bool Planner::fillClosed(int* grid, int value)
{
    if (grid == nullptr) return false;
    NodeHashIterator walk;
    walk.attach(closed);
    for (Node* node = walk.begin(); node != nullptr; node = walk.next())
        grid[static_cast<std::size_t>(node->y) * desc.width + node->x] = value;
    return true;
}
