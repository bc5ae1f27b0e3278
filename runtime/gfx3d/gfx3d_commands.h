// The BASIC commands of this subsystem; commands.h includes this header.
#pragma once

#include "gfx3d/commands3d.h"
