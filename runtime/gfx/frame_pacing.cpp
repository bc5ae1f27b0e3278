#include "gfx/frame_pacing.h"

#include "core/debugger_hooks.h"

namespace {

// Sleeps until the clock is past `deadline`; a sleep that ends early (a
// signal, a coarse timer) sleeps again for what is left.
double SleepPast(double deadline, double now, PacingClock& clock)
{
    while (now <= deadline) {
        clock.SleepUntil(deadline);
        now = clock.Now();
    }
    return now;
}

}  // namespace

double PaceToNextFrame(double& nextFrameTime, double frameTime, PacingClock& clock)
{
    const double t0 = clock.Now();
    double now = t0;
    // The window messages are served once, a moment before the slot (at
    // once when that moment has passed): late enough that the frame starts
    // with fresh input, early enough that however long serving them takes,
    // the frame starts on the slot as steadily as the system's sleep allows.
    const double lastLook = nextFrameTime - clock.MessageLeadMs();
    if (now < lastLook) now = SleepPast(lastLook, now, clock);
    // A debugger may stop the program here, between two frames.
    __DebugWaitPass();
    clock.PumpMessages();
    now = SleepPast(nextFrameTime, clock.Now(), clock);
    nextFrameTime += frameTime;
    if (frameTime > 0) {
        while (nextFrameTime < now) nextFrameTime += frameTime;
    }
    return (now - t0) + 1;
}
