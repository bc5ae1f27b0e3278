// The BASIC commands of the 2D renderer; commands.h includes this header.
#pragma once

#include "gfx/present_commands.h"
