#include "gfx/frame_pacing.h"

double PaceToNextFrame(double& nextFrameTime, double frameTime, PacingClock& clock)
{
    const double t0 = clock.Now();
    clock.PumpMessages();
    double now = clock.Now();
    if (now <= nextFrameTime) {
        // A sleep that ends early (a signal, a coarse timer) sleeps again
        // for what is left.
        while (now <= nextFrameTime) {
            clock.SleepUntil(nextFrameTime);
            now = clock.Now();
        }
        clock.PumpMessages();
    }
    nextFrameTime += frameTime;
    if (frameTime > 0) {
        while (nextFrameTime < now) nextFrameTime += frameTime;
    }
    return (now - t0) + 1;
}
