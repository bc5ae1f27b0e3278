// The clocks on Windows: the high-resolution performance counter, the
// multimedia timer's millisecond tick, and sleeps that end close to their
// deadline. The multimedia timer runs at 1 ms resolution from the first
// sleep until the program ends (timeBeginPeriod), so that Sleep and the
// tick are not bound to the default 15.6 ms system tick.
#include "platform/platform.h"

#include <windows.h>
#include <timeapi.h>

namespace platform {

namespace {

// 1 ms timer resolution while the program runs; given back at its end.
struct FineTimerResolution {
    FineTimerResolution() { raised = timeBeginPeriod(1) == TIMERR_NOERROR; }
    ~FineTimerResolution()
    {
        if (raised) timeEndPeriod(1);
    }
    bool raised = false;
};

void RaiseTimerResolution()
{
    static FineTimerResolution resolution;
}

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

// A waitable timer that ends waits within a fraction of a millisecond
// (Windows 10 1803 and later); null where the system has none, and then
// Sleep at 1 ms resolution serves.
HANDLE PreciseTimer()
{
    static const HANDLE timer = CreateWaitableTimerExW(
        nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS);
    return timer;
}

// Below this much time left a wait would overshoot: the rest is spent
// yielding the processor.
constexpr double kSpinSeconds = 0.001;

}  // namespace

std::uint64_t PerformanceCounter()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<std::uint64_t>(now.QuadPart);
}

std::uint64_t PerformanceFrequency()
{
    static const std::uint64_t frequency = [] {
        LARGE_INTEGER counts;
        return QueryPerformanceFrequency(&counts) && counts.QuadPart > 0
                   ? static_cast<std::uint64_t>(counts.QuadPart)
                   : std::uint64_t{0};
    }();
    return frequency;
}

std::uint32_t Milliseconds()
{
    RaiseTimerResolution();
    return timeGetTime();
}

void SleepMilliseconds(double ms)
{
    if (ms <= 0) return;
    const std::uint64_t frequency = PerformanceFrequency();
    if (frequency == 0) {
        RaiseTimerResolution();
        Sleep(static_cast<DWORD>(ms + 0.999));
        return;
    }
    SleepUntilCount(PerformanceCounter() + static_cast<std::uint64_t>(ms * 1e-3 * static_cast<double>(frequency)));
}

bool SleepsPrecisely() { return true; }

void SleepUntilCount(std::uint64_t count)
{
    RaiseTimerResolution();
    const double frequency = static_cast<double>(PerformanceFrequency());
    if (frequency <= 0) return;
    for (;;) {
        const std::uint64_t now = PerformanceCounter();
        if (now >= count) return;
        const double left = static_cast<double>(count - now) / frequency;
        if (left <= kSpinSeconds) {
            SwitchToThread();
            continue;
        }
        const double wait = left - kSpinSeconds;
        if (HANDLE timer = PreciseTimer()) {
            LARGE_INTEGER due;
            due.QuadPart = -static_cast<LONGLONG>(wait * 1e7);  // relative, in 100 ns
            if (SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE) &&
                WaitForSingleObject(timer, INFINITE) == WAIT_OBJECT_0)
                continue;
        }
        Sleep(static_cast<DWORD>(wait * 1000.0));
    }
}

}  // namespace platform
