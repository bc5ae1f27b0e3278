// The BASIC commands of this subsystem; commands.h includes this header.
#pragma once

#include "audio/sound_commands.h"
#include "audio/music_commands.h"
#include "audio/video_commands.h"
