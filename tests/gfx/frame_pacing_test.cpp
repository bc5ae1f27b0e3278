// Frame pacing against a simulated clock: time moves only when the pacer
// sleeps or looks at the clock, so every step is exact and repeatable.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "gfx/frame_pacing.h"

namespace {

class SimulatedClock : public PacingClock {
public:
    double Now() override
    {
        time += readCost;
        return time;
    }
    // Wakes a little after the deadline; `sleeps` keeps how long each
    // sleep lasted.
    void SleepUntil(double ms) override
    {
        const double start = time;
        time = std::max(time, ms) + sleepOvershoot;
        sleeps.push_back(time - start - sleepOvershoot);
    }
    void PumpMessages() override { ++pumps; }

    double time = 0;
    double readCost = 0.01;      // each clock read takes a little time
    double sleepOvershoot = 0.05;
    std::vector<double> sleeps;
    int pumps = 0;
};

TEST(FramePacingTest, FramesLandOnTheGrid)
{
    SimulatedClock clock;
    const double period = 1000.0 / 60;
    double next = period;  // the grid is anchored where the renderer started, at 0
    for (int frame = 1; frame <= 10; ++frame) {
        clock.time += 3;  // the frame's own work
        PaceToNextFrame(next, period, clock);
        // Released just after the slot (by the sleep's overshoot and a clock
        // read), never before.
        EXPECT_GT(clock.time, frame * period);
        EXPECT_LT(clock.time, frame * period + 0.1);
        EXPECT_DOUBLE_EQ(next, (frame + 1) * period);
    }
}

class CoarseClock : public SimulatedClock {
public:
    double MessageLeadMs() override { return 0; }
    void PumpMessages() override
    {
        SimulatedClock::PumpMessages();
        pumpedAt = time;
    }
    double pumpedAt = 0;
};

TEST(FramePacingTest, SleepsWithoutSpinningAndServesMessagesJustBeforeTheSlot)
{
    SimulatedClock clock;
    double next = 16;
    clock.time = 1;
    PaceToNextFrame(next, 16, clock);
    // To half a millisecond before the slot, one pump, then the rest: no
    // spinning out the last part, and the frame starts right on waking.
    ASSERT_EQ(clock.sleeps.size(), 2u);
    EXPECT_NEAR(clock.sleeps[0], 14.5, 0.05);
    EXPECT_NEAR(clock.sleeps[1], 0.5 - 0.05 - 0.02, 0.01);
    EXPECT_EQ(clock.pumps, 1);
    EXPECT_GT(clock.time, 16);
    EXPECT_LT(clock.time, 16.1);

    // Closer to the slot than that, or past it, the messages are served at once.
    for (double start : {15.8, 17.0}) {
        SimulatedClock late;
        late.time = start;
        next = 16;
        PaceToNextFrame(next, 16, late);
        EXPECT_EQ(late.sleeps.size(), start < 16 ? 1u : 0u);
        EXPECT_EQ(late.pumps, 1);
        EXPECT_GT(late.time, 16);
    }

    // A clock of coarse sleeps sleeps to the slot and serves them on waking.
    CoarseClock coarse;
    coarse.time = 1;
    next = 16;
    PaceToNextFrame(next, 16, coarse);
    ASSERT_EQ(coarse.sleeps.size(), 1u);
    EXPECT_NEAR(coarse.sleeps[0], 15, 0.05);
    EXPECT_EQ(coarse.pumps, 1);
    EXPECT_GT(coarse.pumpedAt, 16);
}

// A sleep cut short (by a signal, say) wakes 6 ms before its end, once.
class InterruptedClock : public SimulatedClock {
public:
    void SleepUntil(double ms) override
    {
        SimulatedClock::SleepUntil(ms);
        if (sleeps.size() == 1) time -= 6;
    }
};

TEST(FramePacingTest, ASleepThatEndsEarlySleepsAgainForTheRest)
{
    InterruptedClock clock;
    double next = 10;
    PaceToNextFrame(next, 10, clock);
    ASSERT_EQ(clock.sleeps.size(), 3u);
    EXPECT_NEAR(clock.sleeps[1], 6, 0.1);
    EXPECT_GT(clock.time, 10);
    EXPECT_DOUBLE_EQ(next, 20);
}

TEST(FramePacingTest, MissedSlotsAreSkippedNotCaughtUp)
{
    SimulatedClock clock;
    const double period = 10;
    double next = 10;
    clock.time = 45;  // a frame that took several periods
    double waited = PaceToNextFrame(next, period, clock);
    EXPECT_LT(waited, 1.1);           // no wait this time
    EXPECT_DOUBLE_EQ(next, 50);       // the next slot still ahead
    PaceToNextFrame(next, period, clock);
    EXPECT_GT(clock.time, 50);        // the following frame waits for it
    EXPECT_LT(clock.time, 50.1);
    EXPECT_DOUBLE_EQ(next, 60);
}

TEST(FramePacingTest, AClockStandingOnTheDeadlineStillWaits)
{
    // Each read moves the clock by half a millisecond: the read after
    // serving the messages lands exactly on the deadline, which is not yet
    // past it.
    SimulatedClock clock;
    clock.readCost = 0.5;
    clock.time = 4;
    double next = 5;
    PaceToNextFrame(next, 10, clock);
    EXPECT_GT(clock.time, 5);
    EXPECT_DOUBLE_EQ(next, 15);
}

}  // namespace
