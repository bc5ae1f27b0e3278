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
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/measure.h"

extern char** environ;

namespace {

constexpr long kLevelStart = 25;
constexpr int kRepetitions = 5;

std::string Folder()
{
    const char* tmp = std::getenv("TMPDIR");
    return std::string(tmp != nullptr ? tmp : "/tmp");
}

// The script up to frame `lastFrame` (the route's frames count from the
// level start); returns the frame Escape ends the game at.
long WriteScript(const std::string& path, bool wholeRoute)
{
    std::ofstream out(path);
    out << "10 key 2 down\n12 key 2 up\n20 key 57 down\n" << kLevelStart << " key 57 up\n";
    long routeEnd = 0;
    std::ifstream route(std::string(KV_SOURCE_DIR) + "/tests/game/data/level1_route.txt");
    for (std::string line; std::getline(route, line);) {
        std::istringstream words(line);
        std::string first, second, third;
        words >> first >> second >> third;
        if (first == "#@" && third == "done") routeEnd = std::stol(second);
        if (!first.empty() && first[0] != '#' && wholeRoute)
            out << kLevelStart + std::stol(first) << line.substr(line.find(' ')) << "\n";
    }
    // Escape after the last entry of the route (script frames never decrease).
    const long end = wholeRoute ? kLevelStart + routeEnd + 2 : kLevelStart + 1;
    out << end << " key 1 down\n";
    return end;
}

// CPU seconds (user + system) of a thread or process from its stat line.
double StatCpuSeconds(const std::string& statPath)
{
    std::ifstream in(statPath);
    std::string stat;
    std::getline(in, stat);
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos) return -1;
    std::istringstream rest(stat.substr(close + 2));
    std::string field;
    double utime = 0, stime = 0;
    for (int i = 3; i <= 15 && rest >> field; ++i) {
        if (i == 14) utime = std::stod(field);
        if (i == 15) stime = std::stod(field);
    }
    return (utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

struct Play {
    double mainThread = 0, process = 0;
    long frames = 0;
    bool ok = false;
};

// `profile`: the file KV_PROFILE names, "" for a run without the profiler.
Play PlayGame(const std::string& program, bool wholeRoute, const std::string& profile)
{
    Play play;
    const std::string script = Folder() + "/kv_game_bench_input.txt";
    play.frames = WriteScript(script, wholeRoute);
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) env.emplace_back(*e);
    for (const char* mine : {"KV_UNPACED=1", "KV_SEED=3", "KV_WINDOWED=1", "KV_NO_MESSAGEBOX=1", "SDL_AUDIODRIVER=dummy"})
        env.emplace_back(mine);
    env.push_back("KV_INPUT_SCRIPT=" + script);
    if (!profile.empty()) env.push_back("KV_PROFILE=" + profile);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string programCopy = program;
    char* argv[] = {programCopy.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const bool started = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data()) == 0;
    posix_spawn_file_actions_destroy(&actions);
    if (!started) return play;
    const std::string mainStat = "/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/stat";
    int status = 0;
    double lastMain = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        const double now = StatCpuSeconds(mainStat);
        if (now >= 0) lastMain = now;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    rusage usage{};
    // Only one child at a time, so the children's totals grow by this one.
    static double childrenBefore = 0;
    getrusage(RUSAGE_CHILDREN, &usage);
    const double children = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                            static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
    play.process = children - childrenBefore;
    childrenBefore = children;
    play.mainThread = lastMain;
    play.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
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
    const std::string profile = Folder() + "/kv_game_bench_profile.txt";
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
