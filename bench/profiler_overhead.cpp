// The profiler's cost: the CPU time of a CPU-bound BASIC program
// (bench/basic/profile_load.bas, built optimised) with KV_PROFILE set beside
// the same program without it, interleaved, warm-up excluded.
//   xvfb-run -a build/bench/bench_profiler_overhead
// The program's CPU is the whole child process's (user + system), start-up
// and shut-down included in both variants alike; its one thread of its own
// does nearly all of it (LP_NUM_THREADS=0: the GL driver on it too).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/measure.h"

namespace {

constexpr int kWarmUp = 1;
constexpr int kRepetitions = 7;

// Runs the program to its end; its CPU seconds, or -1 when it failed.
double RunProgram(const std::string& program, const std::string& profile)
{
    std::vector<std::string> mine = {"KV_UNPACED=1", "KV_WINDOWED=1", "KV_NO_MESSAGEBOX=1", "SDL_AUDIODRIVER=dummy",
                                     "LP_NUM_THREADS=0"};
    if (!profile.empty()) mine.push_back("KV_PROFILE=" + profile);
    const double before = bench::ChildrenCpuSeconds();
    bench::Child child = bench::Spawn({program}, bench::Environment(mine, {"KV_PROFILE"}));
    if (!bench::WaitSucceeded(child)) return -1;
    return bench::ChildrenCpuSeconds() - before;
}

void BM_ProfilerOverhead(benchmark::State& state)
{
    const std::string program = std::string(KV_BUILD_DIR) + "/bench/profile_load";
    const std::string profile = bench::ScratchFolder() + "/kv_profiler_overhead.txt";
    std::vector<double> off, on;
    bool failed = false;
    for (auto _ : state) {
        for (int round = 0; round < kWarmUp + kRepetitions && !failed; ++round) {
            const double plain = RunProgram(program, "");
            std::filesystem::remove(profile);
            const double profiled = RunProgram(program, profile);
            failed = plain < 0 || profiled < 0 || !std::filesystem::exists(profile);
            if (round >= kWarmUp) {
                off.push_back(plain);
                on.push_back(profiled);
            }
        }
    }
    if (failed) {
        state.SkipWithError(("the program did not run or wrote no profile: " + program).c_str());
        return;
    }
    bench::Samples offSamples, onSamples;
    offSamples.cpu = off;
    onSamples.cpu = on;
    // By the minimum, the run least disturbed by other load; the median's
    // ratio in brackets.
    const double ratio = onSamples.minCpu() / offSamples.minCpu();
    const double medianRatio = onSamples.medianCpu() / offSamples.medianCpu();
    state.counters["off_cpu_s_med"] = offSamples.medianCpu();
    state.counters["on_cpu_s_med"] = onSamples.medianCpu();
    state.counters["ratio_min"] = ratio;
    auto summary = [](const bench::Samples& s) {
        return bench::Duration(s.minCpu()) + " / " + bench::Duration(s.medianCpu()) + " cpu";
    };
    bench::Result("profiler on (KV_PROFILE) beside off: CPU of a CPU-bound BASIC program, whole run (min / median "
                  "of 7; ratio = on / off, min cpu, median in brackets)",
                  summary(onSamples), summary(offSamples),
                  bench::Number(ratio, "%.3f") + " (" + bench::Number(medianRatio, "%.3f") + ")", "on / off <= 1.05",
                  bench::Met(ratio <= 1.05));
}
BENCHMARK(BM_ProfilerOverhead)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
