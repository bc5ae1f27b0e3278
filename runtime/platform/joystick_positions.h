// How SDL's stick and hat readings become the positions old programs read
// (platform-internal): shared by plain joysticks and pads.
#pragma once

#include <SDL.h>

namespace platform {

// X and Y read -1, 0 or +1; the inner half of the range is the dead zone.
inline int DigitalAxis(Sint16 value)
{
    if (value <= -16384) return -1;
    if (value >= 16384) return 1;
    return 0;
}

// Hundredths of a degree clockwise from up; centred is all ones.
inline unsigned int PointOfView(Uint8 hat)
{
    switch (hat) {
    case SDL_HAT_UP: return 0;
    case SDL_HAT_RIGHTUP: return 4500;
    case SDL_HAT_RIGHT: return 9000;
    case SDL_HAT_RIGHTDOWN: return 13500;
    case SDL_HAT_DOWN: return 18000;
    case SDL_HAT_LEFTDOWN: return 22500;
    case SDL_HAT_LEFT: return 27000;
    case SDL_HAT_LEFTUP: return 31500;
    default: return 0xFFFFFFFFu;
    }
}

}  // namespace platform
