// What the flat search keeps per grid cell, side by side, so that looking at
// a neighbour (its cost, whether it is open or closed, its g) reads one
// cache line instead of four.
#pragma once

#include <cstdint>

struct SearchCell {
    float cost;           // normalised cost; infinity for walls
    float g;              // cost of the best known way from the start; infinity before
    std::int32_t parent;  // the cell that way comes from; -1 for the start
    std::int32_t place;   // position in the open heap, or unseen / closed
};
