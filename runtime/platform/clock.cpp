// The clocks: the system's monotonic clock in nanoseconds, and SDL's
// millisecond tick.
#include "platform/platform.h"

#include <SDL.h>

#include <errno.h>
#include <time.h>

namespace platform {

// Nanoseconds of the monotonic clock, which the system can also sleep to.
std::uint64_t PerformanceCounter()
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000000000u + static_cast<std::uint64_t>(now.tv_nsec);
}
std::uint64_t PerformanceFrequency() { return 1000000000u; }
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

bool SleepsPrecisely() { return true; }

void SleepUntilCount(std::uint64_t count)
{
    struct timespec until;
    until.tv_sec = static_cast<time_t>(count / 1000000000u);
    until.tv_nsec = static_cast<long>(count % 1000000000u);
    // Interrupted by a signal, it sleeps again to the same deadline.
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
}

}  // namespace platform
