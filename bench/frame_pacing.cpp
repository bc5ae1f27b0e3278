// Frame pacing at 60 frames per second for 600 frames on the real clock:
// how far frame starts land from the grid, and how much CPU the wait costs.
// "sleep_then_spin" is the runtime's pacer; "pure_spin" is the same loop
// with sleeping disabled, the exact-but-expensive reference.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <vector>

#include "gfx/frame_pacing.h"
#include "platform/platform.h"

namespace {

class RealClock : public PacingClock {
public:
    explicit RealClock(bool sleeps) : m_sleeps(sleeps) {}
    double Now() override
    {
        return static_cast<double>(platform::PerformanceCounter()) * 1000.0 /
               static_cast<double>(platform::PerformanceFrequency());
    }
    void Sleep(double ms) override
    {
        if (m_sleeps) platform::SleepMilliseconds(ms);
    }
    void PumpMessages() override {}

private:
    bool m_sleeps;
};

void RunPacing(benchmark::State& state, bool sleeps)
{
    const int frames = 600;
    const double period = 1000.0 / 60;
    for (auto _ : state) {
        RealClock clock(sleeps);
        std::vector<double> deviations;
        deviations.reserve(frames);
        double next = clock.Now() + period;
        const std::clock_t cpuStart = std::clock();
        const double wallStart = clock.Now();
        for (int i = 0; i < frames; ++i) {
            const double deadline = next;
            PaceToNextFrame(next, period, clock);
            deviations.push_back(clock.Now() - deadline);
        }
        const double wallSeconds = (clock.Now() - wallStart) / 1000.0;
        const double cpuSeconds = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
        std::sort(deviations.begin(), deviations.end());
        double sum = 0;
        for (double d : deviations) sum += d;
        state.counters["dev_mean_ms"] = sum / frames;
        state.counters["dev_p99_ms"] = deviations[frames * 99 / 100];
        state.counters["dev_max_ms"] = deviations.back();
        state.counters["cpu_percent"] = 100.0 * cpuSeconds / wallSeconds;
    }
}

void BM_FramePacing_SleepThenSpin(benchmark::State& state) { RunPacing(state, true); }
void BM_FramePacing_PureSpin(benchmark::State& state) { RunPacing(state, false); }

BENCHMARK(BM_FramePacing_SleepThenSpin)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FramePacing_PureSpin)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
