// The clocks: SDL's high-resolution counter and a millisecond tick.
#include "platform/platform.h"

#include <SDL.h>

#include <time.h>

namespace platform {

std::uint64_t PerformanceCounter() { return SDL_GetPerformanceCounter(); }
std::uint64_t PerformanceFrequency() { return SDL_GetPerformanceFrequency(); }
std::uint32_t Milliseconds() { return SDL_GetTicks(); }

void SleepMilliseconds(double ms)
{
    if (ms <= 0) return;
    struct timespec wait;
    wait.tv_sec = static_cast<time_t>(ms / 1000.0);
    wait.tv_nsec = static_cast<long>((ms - wait.tv_sec * 1000.0) * 1e6);
    while (nanosleep(&wait, &wait) != 0) {
        // interrupted by a signal: sleep the rest
    }
}

}  // namespace platform
