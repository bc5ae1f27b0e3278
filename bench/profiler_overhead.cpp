// The profiler's cost: the CPU time of a CPU-bound BASIC program
// (bench/basic/profile_load.bas, built optimised) with KV_PROFILE set beside
// the same program without it, interleaved, warm-up excluded.
//   xvfb-run -a build/bench/bench_profiler_overhead
// The program's CPU is the whole child process's (user + system), start-up
// and shut-down included in both variants alike; its one thread of its own
// does nearly all of it (LP_NUM_THREADS=0: the GL driver on it too).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/measure.h"

extern char** environ;

namespace {

constexpr int kWarmUp = 1;
constexpr int kRepetitions = 7;

double ChildrenCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

// Runs the program to its end; its CPU seconds, or -1 when it failed.
double RunProgram(const std::string& program, const std::string& profile)
{
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e)
        if (std::string(*e).rfind("KV_PROFILE=", 0) != 0) env.emplace_back(*e);
    for (const char* mine : {"KV_UNPACED=1", "KV_WINDOWED=1", "KV_NO_MESSAGEBOX=1", "SDL_AUDIODRIVER=dummy",
                             "LP_NUM_THREADS=0"})
        env.emplace_back(mine);
    if (!profile.empty()) env.push_back("KV_PROFILE=" + profile);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string programCopy = program;
    char* argv[] = {programCopy.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const double before = ChildrenCpuSeconds();
    pid_t pid = -1;
    const bool started = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data()) == 0;
    posix_spawn_file_actions_destroy(&actions);
    if (!started) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return ChildrenCpuSeconds() - before;
}

void BM_ProfilerOverhead(benchmark::State& state)
{
    const std::string program = std::string(KV_BUILD_DIR) + "/bench/profile_load";
    const char* tmp = std::getenv("TMPDIR");
    const std::string profile = std::string(tmp != nullptr ? tmp : "/tmp") + "/kv_profiler_overhead.txt";
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
