// Frame pacing: frames begin on a fixed grid of frameTime milliseconds.
// The wait sleeps until shortly before the deadline and spins (pumping
// window messages) for the rest, which hits the grid as exactly as a pure
// spin at a small fraction of the CPU. Missed slots are skipped, never
// caught up in a burst.
#pragma once

// What pacing needs from the world; the renderer passes the real clock,
// tests pass a simulated one.
class PacingClock {
public:
    virtual ~PacingClock() = default;
    virtual double Now() = 0;              // milliseconds
    virtual void Sleep(double ms) = 0;
    virtual void PumpMessages() = 0;
};

// Sleeping stops this many milliseconds before the deadline; the rest spins.
constexpr double kSpinMarginMs = 1.0;

// Waits until the clock is past nextFrameTime, then moves nextFrameTime to
// the next slot on the grid that still lies ahead. Returns the milliseconds
// spent waiting plus 1.
double PaceToNextFrame(double& nextFrameTime, double frameTime, PacingClock& clock);
