#include "gfx/frame_pacing.h"

double PaceToNextFrame(double& nextFrameTime, double frameTime, PacingClock& clock)
{
    const double t0 = clock.Now();
    clock.PumpMessages();
    double now = t0;
    while (now <= nextFrameTime) {
        clock.PumpMessages();
        now = clock.Now();
        const double remaining = nextFrameTime - now;
        if (remaining > kSpinMarginMs) {
            clock.Sleep(remaining - kSpinMarginMs);
            now = clock.Now();
        }
    }
    nextFrameTime += frameTime;
    if (frameTime > 0) {
        while (nextFrameTime < now) nextFrameTime += frameTime;
    }
    return (now - t0) + 1;
}
