// Frame pacing: frames begin on a fixed grid of frameTime milliseconds.
// The wait sleeps to the slot in one go, to the slot's time rather than for
// a length worked out beforehand (so a pause between reading the clock and
// falling asleep does not make the frame late): the system's sleep wakes
// within a fraction of a millisecond of its deadline, so spinning out the
// last part would buy no steadier frame starts, only a busy core. Window
// messages are served once, a moment before the slot, so the frame starts
// with fresh input and on time however long serving them takes. Missed
// slots are skipped, never caught up in a burst.
#pragma once

// What pacing needs from the world; the renderer passes the real clock,
// tests pass a simulated one.
class PacingClock {
public:
    virtual ~PacingClock() = default;
    virtual double Now() = 0;              // milliseconds
    virtual void SleepUntil(double ms) = 0;  // until Now() reaches ms
    virtual void PumpMessages() = 0;
    // How long before the slot the messages are served: long enough to
    // serve them, short enough to keep the input fresh. A clock whose
    // sleeps are coarse serves them on waking at the slot (0).
    virtual double MessageLeadMs() { return 0.5; }
};

// Waits until the clock is past nextFrameTime, then moves nextFrameTime to
// the next slot on the grid that still lies ahead. Returns the milliseconds
// spent waiting plus 1.
double PaceToNextFrame(double& nextFrameTime, double frameTime, PacingClock& clock);
