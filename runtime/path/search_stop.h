// How a long search is stopped from outside: no frame runs while it
// searches, so it asks the keyboard itself every so many expansions.
#pragma once

#include <cstdint>

// Expansions between two looks at the keyboard.
inline constexpr std::int32_t kExpansionsPerStopCheck = 10002;

// Whether Escape is held down right now, or a termination signal came: the
// default stop check of a search.
bool SearchStopRequested();
