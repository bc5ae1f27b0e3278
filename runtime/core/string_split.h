// SPLIT: a string cut into the pieces of an array.
#pragma once

#include "core/arrays.h"
#include "core/kvstr.h"

// The pieces of `s` between the separators, into `pieces` (dimensioned
// again to their count, which is the result). An empty separator gives one
// piece, `s` itself.
double SPLIT(KvStr s, KvStr separator, KvStrArray& pieces);
