// The sound-effect commands over the 128 sound slots DXwav.
#pragma once

#include "core/kvstr.h"

// Loads a wave file (resolved through the data box) into slot
// min(number, 127) with 1 ... 4 copies. A negative number loads nothing.
double LOADSOUND(KvStr fileName, double number, double copies);
// Plays slot min(number, 127): pan -1 (left) ... +1 (right), volume 0 ... 1
// (linear in amplitude). Never loops.
double PLAYSOUND(double number, double pan, double volume);
// Stops every slot.
double HUSH();
