// CPU per frame of the built game over level 1 on the scripted route,
// unpaced: the main thread (the program's own work and the driver's part
// on it) and the whole process (llvmpipe's rasteriser threads included).
//   xvfb-run -a -s "-screen 0 1024x768x24" build-rel/bench/bench_game_frame_cpu
// KV_BENCH_GAME_BEFORE=<another build of game/zorvelin> adds that program,
// run interleaved with this build's, for a before/after comparison.
// This build also runs profiled (KV_PROFILE set), interleaved with the
// others: the profiler's cost per frame.
//
// Each measurement plays the route twice: once only to the level's first
// frame and once to the end; the difference divided by the difference in
// frames leaves start-up and shut-down out. The main thread's CPU time is
// sampled from /proc every 5 ms while the game runs (its last sample is
// before the game's own shut-down).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "support/child_process.h"
#include "support/level_one_route.h"
#include "support/measure.h"

namespace {

constexpr int kRepetitions = 5;

struct Play {
    double mainThread = 0, process = 0;
    long frames = 0;
    bool ok = false;
};

// `profile`: the file KV_PROFILE names, "" for a run without the profiler.
Play PlayGame(const std::string& program, bool wholeRoute, const std::string& profile)
{
    Play play;
    const std::string script = bench::ScratchFolder() + "/kv_game_bench_input.txt";
    play.frames = bench::WriteLevelOneScript(script, wholeRoute);
    std::vector<std::string> mine = bench::LevelOneEnvironment(script);
    if (!profile.empty()) mine.push_back("KV_PROFILE=" + profile);
    // Only one child at a time, so the children's totals grow by this one.
    const double childrenBefore = bench::ChildrenCpuSeconds();
    bench::Child child = bench::Spawn({program}, bench::Environment(mine));
    if (!child.started()) return play;
    bench::ProcessSampler sampler(child.pid);
    while (sampler.Sample()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    play.ok = bench::WaitSucceeded(child);
    play.process = bench::ChildrenCpuSeconds() - childrenBefore;
    play.mainThread = sampler.mainThread();
    return play;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void BM_GameLevelOne(benchmark::State& state)
{
    struct Program {
        std::string name, path, profile;
    };
    const std::string built = std::string(KV_BUILD_DIR) + "/game/zorvelin";
    std::vector<Program> programs = {{"after", built, ""}};
    if (const char* before = std::getenv("KV_BENCH_GAME_BEFORE")) programs.insert(programs.begin(), {"before", before, ""});
    // Last, so that "ours" below stays this build without the profiler.
    const std::string profile = bench::ScratchFolder() + "/kv_game_bench_profile.txt";
    programs.push_back({"profiled", built, profile});
    std::vector<std::vector<double>> mainMs(programs.size()), processMs(programs.size());
    for (auto _ : state) {
        for (int r = 0; r < kRepetitions; ++r) {
            for (std::size_t p = 0; p < programs.size(); ++p) {
                const Play shortPlay = PlayGame(programs[p].path, false, programs[p].profile);
                const Play wholePlay = PlayGame(programs[p].path, true, programs[p].profile);
                if (!shortPlay.ok || !wholePlay.ok) {
                    state.SkipWithError(("the game did not run: " + programs[p].path).c_str());
                    return;
                }
                const double frames = static_cast<double>(wholePlay.frames - shortPlay.frames);
                mainMs[p].push_back((wholePlay.mainThread - shortPlay.mainThread) / frames * 1000);
                processMs[p].push_back((wholePlay.process - shortPlay.process) / frames * 1000);
            }
        }
    }
    for (std::size_t p = 0; p < programs.size(); ++p) {
        state.counters[programs[p].name + "_main_ms_min"] = *std::min_element(mainMs[p].begin(), mainMs[p].end());
        state.counters[programs[p].name + "_main_ms_med"] = Median(mainMs[p]);
        state.counters[programs[p].name + "_process_ms_med"] = Median(processMs[p]);
    }
    // The row for scripts/bench's table: this build's main thread per frame,
    // beside the other build's when one was given.
    const std::size_t ours = programs.size() - 2, profiled = programs.size() - 1;
    auto perFrame = [&](std::size_t p) {
        return bench::Number(*std::min_element(mainMs[p].begin(), mainMs[p].end())) + " / " +
               bench::Number(Median(mainMs[p])) + " ms main thread, " + bench::Number(Median(processMs[p])) +
               " ms whole process (median)";
    };
    const bool hasBefore = programs.size() > 2;
    const double ourMain = Median(mainMs[ours]), ourProcess = Median(processMs[ours]);
    bench::Result("game, level 1 on the scripted route unpaced, CPU per frame (min / median)", perFrame(ours),
                  hasBefore ? perFrame(0) + " (before)" : "",
                  hasBefore ? bench::Number(Median(mainMs[0]) / ourMain) : "",
                  "≤ 0.9 ms main thread, ≤ 4 ms whole process", bench::Met(ourMain <= 0.9 && ourProcess <= 4));
    // The profiler's cost: the same build with KV_PROFILE beside without.
    const double profiledMain = Median(mainMs[profiled]);
    bench::Result("game, level 1 as above, profiler on (KV_PROFILE) beside off, main thread CPU per frame "
                  "(min / median; ratio = on / off, medians)",
                  perFrame(profiled), perFrame(ours), bench::Number(profiledMain / ourMain, "%.3f"),
                  "on / off <= 1.05", bench::Met(profiledMain / ourMain <= 1.05));
}
BENCHMARK(BM_GameLevelOne)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
