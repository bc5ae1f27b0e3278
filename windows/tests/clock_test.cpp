// The Windows clock under Wine: the performance counter, the multimedia
// tick, and sleeps that never end before their deadline and end close to it.
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

double MillisecondsSince(std::uint64_t count)
{
    return static_cast<double>(platform::PerformanceCounter() - count) * 1000.0 /
           static_cast<double>(platform::PerformanceFrequency());
}

TEST(WindowsClock, SleepsToADeadlineEndAtItNotBefore)
{
    ASSERT_GT(platform::PerformanceFrequency(), 0u);
    EXPECT_TRUE(platform::SleepsPrecisely());
    int late = 0;
    for (int i = 0; i < 20; ++i) {
        const std::uint64_t deadline = platform::PerformanceCounter() + platform::PerformanceFrequency() * 3 / 1000;
        platform::SleepUntilCount(deadline);
        const std::uint64_t woke = platform::PerformanceCounter();
        ASSERT_GE(woke, deadline) << "woke before the deadline";
        // A busy machine delays many a wake-up; a sleep at the default
        // 15.6 ms timer resolution is late nearly every time.
        if (static_cast<double>(woke - deadline) * 1000.0 / static_cast<double>(platform::PerformanceFrequency()) > 2.0)
            ++late;
    }
    EXPECT_LE(late, 10) << "most sleeps end more than 2 ms after their deadline";
}

TEST(WindowsClock, AMillisecondSleepAndTheTickAgreeWithTheCounter)
{
    const std::uint64_t start = platform::PerformanceCounter();
    const std::uint32_t tick = platform::Milliseconds();
    platform::SleepMilliseconds(40);
    const double slept = MillisecondsSince(start);
    const std::uint32_t ticked = platform::Milliseconds() - tick;
    EXPECT_GE(slept, 40.0);
    EXPECT_LT(slept, 200.0);
    // The multimedia tick runs at 1 ms resolution, not the 15.6 ms default.
    EXPECT_GE(ticked, 39u);
    EXPECT_LE(ticked, static_cast<std::uint32_t>(slept) + 2u);
    platform::SleepMilliseconds(0);
    platform::SleepMilliseconds(-5);
}

}  // namespace
