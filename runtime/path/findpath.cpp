#include "path/path_commands.h"

#include "core/runtime_state.h"
#include "path/grid_search.h"
#include "platform/platform.h"

namespace {

// Every program gets the same paths: the weight argument is not used.
constexpr float kFindPathWeight = 0.7f;
// 65 536 buckets for the closed set.
constexpr std::uint32_t kFindPathHashBits = 16;

}  // namespace

double FINDPATH(KvIntArray& map, KvIntArray& result, double /*weight*/,
                double startX, double startY, double goalX, double goalY)
{
    // The search in flat per-cell arrays: the node planner's paths at a fraction
    // of the cost per step. It keeps its memory from one call to the next,
    // so a game that searches the same map size every frame allocates and
    // faults in its pages once.
    static GridSearch search;

    PathRequest request{};
    request.startX = NumberToInt(startX);
    request.startY = NumberToInt(startY);
    request.goalX = NumberToInt(goalX);
    request.goalY = NumberToInt(goalY);
    request.diagonalCost = true;
    request.allowDiagonal = false;  // four neighbours
    request.nodeCapacity = 0;
    request.openCapacity = 0;
    request.hashBits = kFindPathHashBits;
    request.weight = kFindPathWeight;
    // The map is indexed map(x, y): x is the first dimension. An array never
    // dimensioned, or with one dimension only, has no height and is refused.
    request.width = map.size[0];
    request.height = map.size[1];
    request.data = map.data;

    if (!search.load(request)) return 0;
    // A walled-in goal makes the search reopen cells over and over; the
    // search notices and answers with a flood fill (no path).
    if (!search.run()) {
        // Stopped by SIGINT or SIGTERM: the program ends now, not at its next frame.
        if (platform::TerminationRequested()) __EndProgram();
        return 0;
    }

    const std::int32_t count = search.getPathSize();
    if (count == 0) {
        DIM(result, 0, 0, 0, 0, 0, 0, 0, 0);
        return 0;
    }
    DIM(result, count, 2);
    std::int32_t row = count - 1;
    search.forEachPathCellFromGoal([&](std::int32_t x, std::int32_t y) {
        if (row < 0) return;
        result(row, 0) = x;
        result(row, 1) = y;
        --row;
    });
    return count;
}
