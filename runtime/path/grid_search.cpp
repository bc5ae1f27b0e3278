#include "path/grid_search.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <utility>
#include <vector>

#include "path/search_stop.h"

namespace {

constexpr float kSqrt2 = 1.4142137f;

// A wall's cost in the flat search, and the g of a cell not reached yet:
// every way into a wall then costs infinity, and any finite way into an
// unreached cell is better than none, so one comparison (reached g below
// the cell's g) decides whether a step leads anywhere new.
constexpr float kNoWay = std::numeric_limits<float>::infinity();

// A caller's cell value as a float cost, exactly as the node planner reads
// it: not a number counts as a wall, values beyond the float range are held
// at its edge.
float CellValue(double value)
{
    if (std::isnan(value)) return 0.0f;
    if (value > FLT_MAX) return FLT_MAX;
    if (value < -FLT_MAX) return -FLT_MAX;
    return static_cast<float>(value);
}

// The bits of a float as an unsigned number in the float's own order
// (negative numbers below positive ones, -0 counted as +0), so the heap
// compares one integer instead of a float and a tie-breaker.
std::uint32_t OrderedBits(float f)
{
    f += 0.0f;  // -0 becomes +0: the sorted list sees them as equal
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return (bits & 0x80000000u) != 0 ? ~bits : bits | 0x80000000u;
}

}  // namespace

GridSearch::GridSearch(std::uint32_t insertionNumberLimit)
    : numberLimit(insertionNumberLimit < 2 ? 2 : insertionNumberLimit),
      abortCheck(&SearchStopRequested)
{
}

bool GridSearch::reserve(std::size_t cells)
{
    if (cells == blockCells && block != nullptr) return true;
    block.reset();
    blockCells = 0;
    if (cells > (SIZE_MAX - kBytesPerMap) / kBytesPerCell) return false;
    // Not cleared: each array is written before it is read, and pages the
    // search never reaches are never touched.
    block.reset(new (std::nothrow) unsigned char[cells * kBytesPerCell + kBytesPerMap]);
    if (block == nullptr) return false;
    blockCells = cells;
    // The 8-byte keys first, so every array stays aligned. The heap arrays
    // have the front run's slots after one slot per cell.
    const std::size_t heapSlots = cells + OpenHeap::kFrontSlots;
    unsigned char* next = block.get();
    heapKey = reinterpret_cast<std::uint64_t*>(next);
    next += heapSlots * sizeof(std::uint64_t);
    grid = reinterpret_cast<SearchCell*>(next);
    next += cells * sizeof(SearchCell);
    heapCell = reinterpret_cast<std::int32_t*>(next);
    next += heapSlots * sizeof(std::int32_t);
    floodQueue = reinterpret_cast<std::int32_t*>(next);
    next += cells * sizeof(std::int32_t);
    floodSeen = next;
    return true;
}

bool GridSearch::load(const PathRequest& request)
{
    cellCount = 0;
    goalCell = -1;
    expansions = 0;
    const auto inside = [&](std::int32_t x, std::int32_t y) {
        return x >= 0 && x < request.width && y >= 0 && y < request.height;
    };
    if (!inside(request.startX, request.startY) || !inside(request.goalX, request.goalY)) return false;
    if (request.startX == request.goalX && request.startY == request.goalY) return false;
    if (request.data == nullptr) return false;
    const std::uint64_t cells = static_cast<std::uint64_t>(request.width) * static_cast<std::uint64_t>(request.height);
    // Cells are numbered by int32, and heap slots too.
    if (cells > 0x7FFFFFFFu - OpenHeap::kFrontSlots) return false;
    if (!reserve(static_cast<std::size_t>(cells))) return false;

    // The largest passable cost first, reading the caller's values only;
    // then each cell written once: its cost in (0, 1] (walls -1) and unseen.
    float largest = -1.0f;
    const double* data = request.data;
    for (std::size_t cell = 0; cell < cells; ++cell) {
        const float v = CellValue(data[cell]);
        if (v > 0 && v > largest) largest = v;
    }
    for (std::size_t cell = 0; cell < cells; ++cell) {
        const float v = CellValue(data[cell]);
        grid[cell].cost = v <= 0 ? kNoWay : v / largest;
        grid[cell].g = kNoWay;
        grid[cell].place = kUnseen;
    }

    desc = request;
    if (!(desc.weight >= 0.0f)) desc.weight = 0.0f;  // also catches NaN
    if (desc.weight > 1.0f) desc.weight = 1.0f;
    cellCount = static_cast<std::int32_t>(cells);
    placesClear = true;
    return true;
}

bool GridSearch::goalReachable()
{
    if (!isLoaded()) return true;
    // Its own queue and marks: the flood can run in the middle of a search.
    const std::int32_t width = desc.width;
    const std::int32_t height = desc.height;
    const std::int32_t goal = desc.goalX + width * desc.goalY;
    std::memset(floodSeen, 0, static_cast<std::size_t>(cellCount));
    std::int32_t* const queue = floodQueue;
    std::int32_t head = 0, tail = 0;
    const auto visit = [&](std::int32_t cell) {
        if (floodSeen[cell] != 0 || grid[cell].cost == kNoWay) return;
        floodSeen[cell] = 1;
        queue[tail++] = cell;
    };
    // The start itself may be a wall: the search leaves it all the same.
    const std::int32_t start = desc.startX + width * desc.startY;
    floodSeen[start] = 1;
    queue[tail++] = start;
    const double perRow = 1.0 / width;
    while (head < tail) {
        const std::int32_t cell = queue[head++];
        if (cell == goal) return true;
        std::int32_t y = static_cast<std::int32_t>(cell * perRow);
        if (y * width > cell) --y;
        if ((y + 1) * width <= cell) ++y;
        const std::int32_t x = cell - y * width;
        const bool up = y > 0, down = y + 1 < height, left = x > 0, right = x + 1 < width;
        if (up) visit(cell - width);
        if (right) visit(cell + 1);
        if (left) visit(cell - 1);
        if (down) visit(cell + width);
        if (desc.allowDiagonal) {
            if (up && left) visit(cell - width - 1);
            if (up && right) visit(cell - width + 1);
            if (down && left) visit(cell + width - 1);
            if (down && right) visit(cell + width + 1);
        }
    }
    return false;
}

std::uint64_t GridSearch::keyOf(float f, const OpenHeap& open)
{
    if (nextNumber == numberLimit) renumber(open);
    return static_cast<std::uint64_t>(OrderedBits(f)) << 32 | nextNumber++;
}

void GridSearch::renumber(const OpenHeap& open)
{
    // Same order, numbers 0..size-1: comparisons between the waiting nodes
    // do not change, so neither does the heap.
    std::vector<std::uint32_t> byNumber;
    byNumber.reserve(open.size());
    open.forEachSlot([&](std::uint32_t slot) { byNumber.push_back(slot); });
    std::sort(byNumber.begin(), byNumber.end(), [&](std::uint32_t a, std::uint32_t b) {
        return static_cast<std::uint32_t>(heapKey[a]) < static_cast<std::uint32_t>(heapKey[b]);
    });
    const auto waiting = static_cast<std::uint32_t>(byNumber.size());
    for (std::uint32_t rank = 0; rank < waiting; ++rank) {
        std::uint64_t& key = heapKey[byNumber[rank]];
        key = (key & 0xFFFFFFFF00000000u) | rank;
    }
    nextNumber = waiting;
}

bool GridSearch::run()
{
    goalCell = -1;
    nextNumber = 0;
    expansions = 0;
    if (!isLoaded()) return true;
    // A second run on the same load starts from a clean slate too.
    if (!placesClear)
        for (std::int32_t cell = 0; cell < cellCount; ++cell) {
            grid[cell].g = kNoWay;
            grid[cell].place = kUnseen;
        }
    placesClear = false;
    // Two loops, so the four-neighbour one carries no diagonal tests.
    return desc.allowDiagonal ? search<true>() : search<false>();
}

template <bool kDiagonals>
bool GridSearch::search()
{
    // Locals, so the compiler keeps them in registers across the stores
    // into the per-cell arrays.
    const std::int32_t width = desc.width;
    const std::int32_t height = desc.height;
    const std::int32_t goalX = desc.goalX;
    const std::int32_t goalY = desc.goalY;
    const std::int32_t goal = goalX + width * goalY;
    const float weight = desc.weight;
    const float diagonalStep = desc.diagonalCost ? kSqrt2 : 1.0f;
    const double perRow = 1.0 / width;
    SearchCell* const cells = grid;
    OpenHeap open(heapKey, heapCell, grid, static_cast<std::uint32_t>(cellCount));

    const std::int32_t start = desc.startX + width * desc.startY;
    cells[start].g = 0.0f;
    cells[start].parent = -1;
    open.push(start, keyOf(0.0f, open));

    // A neighbour reached from current (at currentG) at the given step
    // factor: the sorted list's rules, with the cell's place telling open,
    // closed or new.
    const auto relax = [&](std::int32_t current, float currentG, std::int32_t next, std::int32_t nx,
                           std::int32_t ny, float factor) __attribute__((always_inline)) {
        // Walls and cells already reached at least as cheaply end here.
        const float reachedG = cells[next].cost * factor + currentG;
        if (!(reachedG < cells[next].g)) return;
        const std::int32_t where = cells[next].place;
        const std::int32_t h = std::abs(goalX - nx) + std::abs(goalY - ny);
        cells[next].parent = current;
        cells[next].g = reachedG;
        const float f = reachedG + (static_cast<float>(h) - reachedG) * weight;
        if (where >= 0)
            open.rekey(static_cast<std::uint32_t>(where), keyOf(f, open));
        else
            open.push(next, keyOf(f, open));  // new, or a closed cell opened again
    };

    // Counted in a local: a member would be stored on every step.
    std::uint64_t expanded = 0;
    bool flooded = false;
    std::int32_t sinceCheck = 0;
    while (open.size() > 0) {
        const std::int32_t current = open.pop();
        if (current == goal) {
            cells[current].place = kClosed;
            goalCell = current;
            expansions = expanded;
            return true;
        }
        ++expanded;
        if (++sinceCheck == kExpansionsPerStopCheck) {
            sinceCheck = 0;
            if (abortCheck != nullptr && abortCheck()) {
                cells[current].place = kClosed;
                expansions = expanded;
                return false;
            }
            // A search that has expanded a quarter as many cells as the map
            // has may be flooding all of it, reopening cells over and over,
            // as it does when the goal is walled in. One flood fill, which
            // costs less than the search has spent so far, tells whether it
            // can end with a path at all; if not, the answer (no path) is
            // known now.
            if (stopWhenUnreachable && !flooded && expanded >= static_cast<std::uint64_t>(cellCount) / 4) {
                flooded = true;
                if (!goalReachable()) {
                    cells[current].place = kClosed;
                    expansions = expanded;
                    return true;
                }
            }
        }
        // Closed before its neighbours are looked at: no step leads from a
        // cell back to itself, so nothing below can see the difference.
        cells[current].place = kClosed;
        const float g = cells[current].g;

        // The row without a division: the product is off by one at most.
        std::int32_t y = static_cast<std::int32_t>(current * perRow);
        if (y * width > current) --y;
        if ((y + 1) * width <= current) ++y;
        const std::int32_t x = current - y * width;
        const bool up = y > 0, down = y + 1 < height, left = x > 0, right = x + 1 < width;
        // The order of the neighbours decides ties; it is the planner's.
        if (kDiagonals && up && left) relax(current, g, current - width - 1, x - 1, y - 1, diagonalStep);
        if (up) relax(current, g, current - width, x, y - 1, 1.0f);
        if (kDiagonals && up && right) relax(current, g, current - width + 1, x + 1, y - 1, diagonalStep);
        if (right) relax(current, g, current + 1, x + 1, y, 1.0f);
        if (left) relax(current, g, current - 1, x - 1, y, 1.0f);
        if (kDiagonals && down && left) relax(current, g, current + width - 1, x - 1, y + 1, diagonalStep);
        if (down) relax(current, g, current + width, x, y + 1, 1.0f);
        if (kDiagonals && down && right) relax(current, g, current + width + 1, x + 1, y + 1, diagonalStep);
    }
    expansions = expanded;
    return true;
}

std::int32_t GridSearch::getPathSize() const
{
    std::int32_t count = 0;
    forEachPathCellFromGoal([&](std::int32_t, std::int32_t) { ++count; });
    return count;
}

float GridSearch::getPathCost() const
{
    return goalCell >= 0 ? grid[goalCell].g : -1.0f;
}

void GridSearch::fillStates(int* states) const
{
    if (states == nullptr || !isLoaded()) return;
    for (std::int32_t cell = 0; cell < cellCount; ++cell)
        states[cell] = grid[cell].place >= 0 ? 1 : grid[cell].place == kClosed ? 2 : 0;
}
