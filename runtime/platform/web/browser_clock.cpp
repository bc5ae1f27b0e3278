// The clocks in the browser: SDL's counters, and sleeping by handing control
// back to the browser's event loop (a blocking sleep would freeze the page:
// no frame shown, no key or sound delivered).
#include "platform/platform.h"

#include <SDL.h>

#include <emscripten.h>

namespace platform {

std::uint64_t PerformanceCounter() { return SDL_GetPerformanceCounter(); }
std::uint64_t PerformanceFrequency() { return SDL_GetPerformanceFrequency(); }
std::uint32_t Milliseconds() { return SDL_GetTicks(); }

void SleepMilliseconds(double ms)
{
    emscripten_sleep(ms > 0 ? static_cast<unsigned>(ms + 0.5) : 0);
}

bool SleepsPrecisely() { return false; }

void SleepUntilCount(std::uint64_t count)
{
    const std::uint64_t now = PerformanceCounter();
    if (count > now) SleepMilliseconds(static_cast<double>(count - now) * 1000.0 / static_cast<double>(PerformanceFrequency()));
    else SleepMilliseconds(0);
}

}  // namespace platform
