// The BASIC commands of this subsystem; commands.h includes this header.
#pragma once

#include "core/arrays.h"

// map(x, y) holds the cost of cell (x, y); 0 or below is a wall. On success
// result becomes result(n, 2) with the cells from start (row 0) to goal
// (row n - 1), x in column 0 and y in column 1, and n is returned. Without a
// path result becomes the single element 0 and 0 is returned. For a start or
// goal outside the map, start = goal, a map that is not two-dimensional, too
// little memory, or a search stopped by Escape, 0 is returned and result is
// left as it was. weight is accepted for compatibility and not used: the
// heuristic weight is always 0.7.
double FINDPATH(KvIntArray& map, KvIntArray& result, double weight,
                double startX, double startY, double goalX, double goalY);
