// Frame pacing at 60 frames per second on the real clock, with a real
// window whose SDL events are pumped while waiting, as the renderer does:
// how far frame starts land from the grid, and how much of the main
// thread's CPU the wait costs. The runtime's pacer (sleeping to the slot) runs
// in turn with the same loop without sleeping (a pure spin: exact, but a
// whole core), interleaved. Run under a display:
//   xvfb-run -a -s "-screen 0 1024x768x24" bench/bench_frame_pacing
// Prints RESULT rows (see bench/support/measure.h).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "gfx/frame_pacing.h"
#include "platform/platform.h"
#include "support/measure.h"

namespace {

int g_messages = 0;
void CountMessage(platform::WindowMessage) { ++g_messages; }

class RealClock : public PacingClock {
public:
    explicit RealClock(bool sleeps) : m_sleeps(sleeps) {}
    double Now() override
    {
        return static_cast<double>(platform::PerformanceCounter()) * 1000.0 /
               static_cast<double>(platform::PerformanceFrequency());
    }
    void SleepUntil(double ms) override
    {
        if (m_sleeps)
            platform::SleepUntilCount(static_cast<std::uint64_t>(
                std::ceil(ms * static_cast<double>(platform::PerformanceFrequency()) / 1000.0)));
    }
    void PumpMessages() override { platform::PumpMessages(&CountMessage); }

private:
    bool m_sleeps;
};

constexpr double kPeriodMs = 1000.0 / 60;

// One run of frames: how late each frame start is past its deadline (ms).
std::vector<double> PaceFrames(bool sleeps, int frames)
{
    RealClock clock(sleeps);
    std::vector<double> lateness;
    lateness.reserve(frames);
    double next = clock.Now() + kPeriodMs;
    for (int i = 0; i < frames; ++i) {
        const double deadline = next;
        PaceToNextFrame(next, kPeriodMs, clock);
        lateness.push_back(clock.Now() - deadline);
    }
    return lateness;
}

double Percentile(std::vector<double> values, double share)
{
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(share * static_cast<double>(values.size() - 1))];
}

}  // namespace

int main()
{
    platform::Window* window = platform::CreateGameWindow("frame pacing", 0, 0, 320, 240);
    if (window == nullptr) {
        std::fprintf(stderr, "no window: %s\n", platform::LastError());
        return 1;
    }
    const int frames = 120;  // two seconds a run
    const int repetitions = 3;
    std::vector<double> pacerLateness, spinLateness;
    bench::Samples pacer, spin;
    bench::Interleave(
        1, repetitions, {&pacer, &spin},
        [&] {
            const auto l = PaceFrames(true, frames);
            pacerLateness.insert(pacerLateness.end(), l.begin(), l.end());
        },
        [&] {
            const auto l = PaceFrames(false, frames);
            spinLateness.insert(spinLateness.end(), l.begin(), l.end());
        });
    // The warm-up round's frames are in the lists too; drop them.
    pacerLateness.erase(pacerLateness.begin(), pacerLateness.begin() + frames);
    spinLateness.erase(spinLateness.begin(), spinLateness.begin() + frames);

    // CPU share of the main thread per run: CPU time over wall time.
    std::vector<double> pacerShare, spinShare;
    for (std::size_t i = 0; i < pacer.cpu.size(); ++i) pacerShare.push_back(pacer.cpu[i] / pacer.wall[i]);
    for (std::size_t i = 0; i < spin.cpu.size(); ++i) spinShare.push_back(spin.cpu[i] / spin.wall[i]);
    const double ourShare = bench::Samples::Median(pacerShare);
    const double spinShareMedian = bench::Samples::Median(spinShare);
    const double ourP99 = Percentile(pacerLateness, 0.99);
    const double spinP99 = Percentile(spinLateness, 0.99);
    std::printf("pacer: p50 %.3f ms, p99 %.3f ms, max %.3f ms late, cpu %.1f %% (median of %d runs)\n",
                Percentile(pacerLateness, 0.5), ourP99, Percentile(pacerLateness, 1.0), 100 * ourShare, repetitions);
    std::printf("spin:  p50 %.3f ms, p99 %.3f ms, max %.3f ms late, cpu %.1f %%; %d window messages\n",
                Percentile(spinLateness, 0.5), spinP99, Percentile(spinLateness, 1.0), 100 * spinShareMedian,
                g_messages);

    bench::Result("frame pacing 60 Hz, frame start p99 late (real event pump)", bench::Number(ourP99, "%.2f ms"),
                  bench::Number(spinP99, "%.2f ms") + " (pure spin)", bench::Number(ourP99 - spinP99, "%+.2f ms"),
                  "≤ 1 ms", bench::Met(ourP99 <= 1.0));
    bench::Result("frame pacing 60 Hz, main-thread CPU share (median)", bench::Number(100 * ourShare, "%.1f %%"),
                  bench::Number(100 * spinShareMedian, "%.1f %%") + " (pure spin)",
                  bench::Number(ourShare / spinShareMedian, "%.2f"), "≤ 0.25 of spin",
                  bench::Met(ourShare <= 0.25 * spinShareMedian));
    platform::DestroyGameWindow(window);
    return 0;
}
