#include "path/path_commands.h"

#include "frame/frame.h"
#include "path/astar_planner.h"
#include "platform/platform.h"
#include "path/reachability.h"

namespace {

// Every program gets the same paths: the weight argument is not used.
constexpr float kFindPathWeight = 0.7f;
// 65 536 buckets for the closed set.
constexpr std::uint32_t kFindPathHashBits = 16;

}  // namespace

double FINDPATH(KvIntArray& map, KvIntArray& result, double /*weight*/,
                double startX, double startY, double goalX, double goalY)
{
    // The open list with the per-cell index: same paths as the sorted list,
    // fast enough for large maps.
    AStarPlanner planner(OpenListKind::IndexedHeap);

    Planner::Description request{};
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

    if (!planner.createMap(request)) return 0;
    // A walled-in goal would make the search flood the whole map, reopening
    // cells over and over; the answer, no path, is known after one fill.
    if (!GoalReachable(planner)) {
        DIM(result, 0, 0, 0, 0, 0, 0, 0, 0);
        return 0;
    }
    planner.initialize();
    if (!planner.run()) {
        planner.cleanup();
        // Stopped by SIGINT or SIGTERM: the program ends now, not at its next frame.
        if (platform::TerminationRequested()) __EndProgram();
        return 0;
    }

    const std::int32_t count = planner.getPathSize();
    if (count == 0) {
        DIM(result, 0, 0, 0, 0, 0, 0, 0, 0);
        return 0;
    }
    DIM(result, count, 2);
    std::int32_t row = count - 1;
    for (const Node* node = planner.getGoal(); node != nullptr && row >= 0; node = node->parent, --row) {
        result(row, 0) = node->x;
        result(row, 1) = node->y;
    }
    planner.cleanup();
    return count;
}
