// Loading a TrueType or OpenType font into a font slot.
#pragma once

#include "core/kvstr.h"

double LOADTTFFONT(KvStr file, double font, double size);
