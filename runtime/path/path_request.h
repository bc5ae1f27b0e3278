// A search request of FINDPATH: the two ends, the neighbours and costs of a
// step, the heuristic weight and the caller's grid of cell costs.
#pragma once

#include <cstdint>

struct PathRequest {
    std::int32_t startX;
    std::int32_t startY;
    std::int32_t goalX;
    std::int32_t goalY;
    bool diagonalCost;            // a diagonal step costs sqrt(2) x the cell cost, else 1 x
    bool allowDiagonal;           // the four diagonal neighbours are searched
    std::uint32_t nodeCapacity;   // size of the node pool; 0 = width x height
    std::uint32_t openCapacity;   // capacity of the open list; 0 = width x height
    std::uint32_t hashBits;       // log2 of the closed table's bucket count
    float weight;                 // heuristic weight, clamped to 0..1
    std::int32_t width;           // columns
    std::int32_t height;          // rows
    const double* data;           // cell (x, y) is data[x + width * y]
};
