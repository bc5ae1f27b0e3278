// The BASIC commands of this subsystem; commands.h includes this header.
#pragma once

#include "audio/sound_commands.h"
