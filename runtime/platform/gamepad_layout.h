// A pad SDL's game controller database knows, read in the layout old
// programs expect of a pad (platform-internal; the table is in
// docs/commands.md).
#pragma once

#include <SDL.h>

#include "platform/platform.h"

namespace platform {

JoystickSample ReadGamepad(SDL_GameController* pad);

}  // namespace platform
