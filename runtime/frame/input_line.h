// INPUT: a one-line editor at (x, y) in the current font, drawn into the
// game's own screen; Return ends it. It shows frames of its own, so it
// lives with SHOWSCREEN.
#pragma once

#include "core/kvstr.h"

double INPUT(KvStr& text, double x, double y);
double INPUT(double& number, double x, double y);
