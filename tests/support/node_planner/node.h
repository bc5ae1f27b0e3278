// One search node of the planner: a grid cell with its best known cost from
// the start and its place in the search.
#pragma once

#include <cstdint>

struct Node {
    Node* parent;       // predecessor on the best known path; null for the start
    std::int32_t x, y;  // the cell
    float f;            // priority: g + (h - g) * weight
    float g;            // cost from the start
    Node* hashNext;     // next node in the same closed-table bucket
};
