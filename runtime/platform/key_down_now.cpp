// The current state of one key for code that runs between frames, such as a
// long path search watching for Escape.
#include "platform/platform.h"

#include <SDL.h>

namespace platform {

bool KeyDownNow(int dik)
{
    if (dik < 0 || dik > 255 || !SDL_WasInit(SDL_INIT_VIDEO)) return false;
    // Brings the keyboard state up to date; the events stay in the queue.
    SDL_PumpEvents();
    unsigned char keys[256];
    KeyboardSnapshot(keys);
    return (keys[dik] & 0x80) != 0;
}

}  // namespace platform
