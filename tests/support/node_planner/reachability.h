// Whether the goal of a loaded planner can be reached at all. The weighted
// search reopens finished cells whenever it finds a cheaper way into them,
// and on a map where it has to explore everything (the goal walled in) that
// makes it expand cells hundreds of times over. A flood fill answers the
// same question in one pass over the map.
#pragma once

#include "support/node_planner/planner.h"

// True when a chain of passable neighbours (the ones the search would visit:
// four, or eight when diagonals are allowed) leads from the start to the
// goal. Also true when the answer cannot be worked out (no map loaded, no
// memory for the fill): the caller then simply searches.
bool GoalReachable(const Planner& planner);
