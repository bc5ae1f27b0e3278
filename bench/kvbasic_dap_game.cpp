// What debugging costs the running game: the game (game/zorvelin.bas)
// started by the debug adapter (`kvbasic dap`, built for debugging, no
// breakpoint set) beside the same source started by `kvbasic run`, both
// unoptimised, playing level 1 on the scripted route unpaced. The figure is
// the game process's main-thread CPU per frame (its BASIC, the debug hooks
// of every line, the driver's work on that thread), with the whole
// process's and the wall time beside it. The two run in turn, one warm-up
// round first.
//   xvfb-run -a -s "-screen 0 1024x768x24" build-bench/bench/bench_kvbasic_dap_game
//
// Each measurement plays twice, once only to the level's first frame and
// once the whole route; the difference over the difference in frames
// leaves building, start-up and shut-down out. The game is found as the
// process named zorvelin below kvbasic (under the adapter while it is
// stopped on entry), and sampled from /proc every 5 ms.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "support/child_process.h"
#include "support/dap_client.h"
#include "support/level_one_route.h"
#include "support/measure.h"

namespace {

namespace fs = std::filesystem;
using kvlsp::Json;

constexpr int kWarmUp = 1;
constexpr int kRepetitions = 7;

const std::string kKvbasic = std::string(KV_BUILD_DIR) + "/kvbasic";

struct Play {
    double mainThread = 0, process = 0, wall = 0;
    long frames = 0;
    std::string problem;  // empty when the game played to its end
};

// The game's source with its media beside it: the program's folder for
// both ways of starting it.
std::string GameFolder()
{
    const fs::path folder = fs::path(bench::ScratchFolder()) / "kv_dap_game";
    fs::create_directories(folder);
    fs::copy_file(fs::path(KV_SOURCE_DIR) / "game/zorvelin.bas", folder / "zorvelin.bas",
                  fs::copy_options::overwrite_existing);
    for (const fs::directory_entry& media : fs::directory_iterator(fs::path(KV_SOURCE_DIR) / "game/media"))
        fs::copy_file(media.path(), folder / media.path().filename(), fs::copy_options::overwrite_existing);
    return folder.string();
}

// The game below `ancestor`, once it has started (building comes first).
pid_t FindGame(pid_t ancestor)
{
    const double giveUp = bench::WallSeconds() + 300;
    pid_t game = -1;
    while ((game = bench::DescendantNamed(ancestor, "zorvelin")) < 0 && bench::WallSeconds() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return game;
}

// Samples the game until it ends; `tend` runs between samples (reading
// the adapter's events, so that its output never blocks it).
template <typename Tend>
bool SampleGame(pid_t game, Play& play, Tend tend)
{
    if (game < 0) {
        play.problem = "the game did not start";
        return false;
    }
    const double start = bench::WallSeconds();
    bench::ProcessSampler sampler(game);
    while (sampler.Sample()) {
        tend();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    play.wall = bench::WallSeconds() - start;
    play.mainThread = sampler.mainThread();
    play.process = sampler.process();
    return true;
}

Play PlayUnderRun(const std::string& folder, bool wholeRoute)
{
    Play play;
    const std::string script = bench::ScratchFolder() + "/kv_dap_game_input.txt";
    play.frames = bench::WriteLevelOneScript(script, wholeRoute);
    bench::Child run = bench::Spawn({kKvbasic, "run", folder + "/zorvelin.bas"},
                                    bench::Environment(bench::LevelOneEnvironment(script)));
    if (!run.started()) {
        play.problem = "cannot start kvbasic run";
        return play;
    }
    SampleGame(FindGame(run.pid), play, [] {});
    if (!bench::WaitSucceeded(run) && play.problem.empty()) play.problem = "kvbasic run ended with an error";
    return play;
}

Play PlayUnderDap(const std::string& folder, bool wholeRoute)
{
    Play play;
    const std::string script = bench::ScratchFolder() + "/kv_dap_game_input.txt";
    play.frames = bench::WriteLevelOneScript(script, wholeRoute);
    const std::vector<std::string> environment = bench::LevelOneEnvironment(script);
    Json env = Json::Object();
    for (const std::string& entry : environment)
        env.Set(entry.substr(0, entry.find('=')), entry.substr(entry.find('=') + 1));
    bench::DapClient adapter;
    if (!adapter.Start(kKvbasic, bench::Environment(environment))) {
        play.problem = adapter.problem();
        return play;
    }
    // Stopped on entry, so that the game is found before it runs.
    const Json launch = Json::Object()
                            .Set("program", folder + "/zorvelin.bas")
                            .Set("cwd", folder)
                            .Set("stopOnEntry", true)
                            .Set("env", env);
    std::optional<Json> entry;
    bool ok = adapter.Launch(launch) && (entry = adapter.Event("stopped", 300));
    pid_t game = ok ? bench::DescendantNamed(adapter.pid(), "zorvelin") : -1;
    if (ok && game < 0) {
        play.problem = "no process named zorvelin below kvbasic dap";
        return play;
    }
    ok = ok && adapter.Request("continue", Json::Object().Set("threadId", (*entry)["threadId"]));
    ok = ok && SampleGame(game, play, [&] { adapter.DropEvents(); }) && adapter.Finish();
    if (!ok && play.problem.empty()) play.problem = adapter.problem();
    return play;
}

struct PerFrame {
    std::vector<double> mainMs, processMs, wallMs;
};

bool Measure(PerFrame& into, Play (*play)(const std::string&, bool), const std::string& folder, bool keep,
             std::string& problem)
{
    const Play shortPlay = play(folder, false);
    const Play wholePlay = play(folder, true);
    problem = !shortPlay.problem.empty() ? shortPlay.problem : wholePlay.problem;
    if (!problem.empty()) return false;
    if (!keep) return true;
    const double frames = static_cast<double>(wholePlay.frames - shortPlay.frames);
    into.mainMs.push_back((wholePlay.mainThread - shortPlay.mainThread) / frames * 1000);
    into.processMs.push_back((wholePlay.process - shortPlay.process) / frames * 1000);
    into.wallMs.push_back((wholePlay.wall - shortPlay.wall) / frames * 1000);
    return true;
}

std::string Describe(const PerFrame& p)
{
    using bench::Samples;
    return bench::Number(Samples::Min(p.mainMs)) + " / " + bench::Number(Samples::Median(p.mainMs)) +
           " ms main thread, " + bench::Number(Samples::Median(p.processMs)) + " ms whole process, " +
           bench::Number(Samples::Median(p.wallMs)) + " ms wall (medians)";
}

}  // namespace

int main()
{
    const std::string folder = GameFolder();
    PerFrame run, dap;
    std::string problem;
    for (int round = 0; round < kWarmUp + kRepetitions; ++round) {
        const bool keep = round >= kWarmUp;
        if (!Measure(run, PlayUnderRun, folder, keep, problem) || !Measure(dap, PlayUnderDap, folder, keep, problem)) {
            std::fprintf(stderr, "bench_kvbasic_dap_game: %s\n", problem.c_str());
            return 1;
        }
        if (keep)
            std::printf("round %d: run %.3f ms, dap %.3f ms main thread per frame\n", round - kWarmUp + 1,
                        run.mainMs.back(), dap.mainMs.back());
    }
    const double ratio = bench::Samples::Median(dap.mainMs) / bench::Samples::Median(run.mainMs);
    const double minRatio = bench::Samples::Min(dap.mainMs) / bench::Samples::Min(run.mainMs);
    bench::Result("game, level 1 on the scripted route unpaced, under kvbasic dap without breakpoints beside "
                  "kvbasic run: CPU per frame of the game (min / median of 7; ratio = dap / run, main thread, "
                  "medians, minima in brackets)",
                  Describe(dap), Describe(run) + " (kvbasic run)",
                  bench::Number(ratio, "%.3f") + " (" + bench::Number(minRatio, "%.3f") + ")", "dap / run <= 1.3",
                  bench::Met(ratio <= 1.3));
    return 0;
}
