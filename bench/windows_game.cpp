// The Windows game (zorvelin.exe of the Windows build) under Wine beside
// this build's native game, interleaved:
//   - start-up: the program started until it has presented its first frame
//     and ended (Escape in frame 1), CPU seconds of the whole process (user
//     and system, every thread) and wall time, once the Wine session is up;
//   - level 1 on the scripted route, paced at the game's 60 frames a second:
//     frames per second held, the share of frames on time (less than one
//     and a half periods after the one before) and the minimum and median
//     frame interval. Frames are timed as their lines reach the frame
//     checksum file (KV_FRAME_CHECKSUMS, read every millisecond), which
//     adds a read-back of each frame to both programs alike.
// The Windows build is KV_WINDOWS_BUILD (default: build-windows in the
// source tree, as scripts/test-windows makes it); without its game or
// without wine the benchmark says so and prints no result. Wine runs in
// the prefix WINEPREFIX, else KV_WINE_PREFIX, else scripts/test-windows'
// default; this program starts its Wine server and ends it.
//   xvfb-run -a -s "-screen 0 1024x768x24" build-bench/bench/bench_windows_game
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
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
constexpr double kPeriod = 1.0 / 60;

bool IsFile(const std::string& path)
{
    struct stat info{};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string FromEnvironment(const char* name, const std::string& fallback)
{
    const char* value = std::getenv(name);
    return value != nullptr && *value ? value : fallback;
}

std::string FindOnPath(const std::string& name)
{
    std::istringstream path(FromEnvironment("PATH", "/usr/bin:/bin"));
    for (std::string folder; std::getline(path, folder, ':');)
        if (access((folder + "/" + name).c_str(), X_OK) == 0) return folder + "/" + name;
    return std::string();
}

// A Unix path as Wine's drive Z: names it.
std::string WindowsPath(std::string path)
{
    std::replace(path.begin(), path.end(), '/', '\\');
    return "Z:" + path;
}

// The script: easy, the Level 1 screen, and with `route` the whole route
// and Escape after it; without, Escape in the intro's first frame.
void WriteScript(const std::string& path, bool route)
{
    std::ofstream out(path);
    if (!route) {
        out << "1 key 1 down\n";
        return;
    }
    out << "10 key 2 down\n12 key 2 up\n20 key 57 down\n" << kLevelStart << " key 57 up\n";
    long routeEnd = 0;
    std::ifstream lines(std::string(KV_SOURCE_DIR) + "/tests/game/data/level1_route.txt");
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string first, second, third;
        words >> first >> second >> third;
        if (first == "#@" && third == "done") routeEnd = std::stol(second);
        if (!first.empty() && first[0] != '#') out << kLevelStart + std::stol(first) << line.substr(line.find(' ')) << "\n";
    }
    out << kLevelStart + routeEnd + 2 << " key 1 down\n";
}

struct Run {
    bool ok = false;
    double wall = 0, cpu = 0;
    std::vector<std::pair<long, double>> frames;  // frame number, seconds since the start
};

// Plays the program (through `emulator` unless empty) from the script,
// reading the frame checksum file as it grows.
Run Play(const std::string& emulator, const std::string& program, const std::string& script, bool paced,
         const std::string& folder)
{
    Run run;
    const std::string sums = folder + "/bench_sums.txt";
    std::remove(sums.c_str());
    const bool windows = !emulator.empty();
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e)
        if (std::string(*e).rfind("KV_UNPACED=", 0) != 0) env.emplace_back(*e);
    for (const char* mine : {"KV_SEED=3", "KV_WINDOWED=1", "KV_NO_MESSAGEBOX=1", "SDL_AUDIODRIVER=dummy"})
        env.emplace_back(mine);
    if (!paced) env.emplace_back("KV_UNPACED=1");
    env.push_back("KV_INPUT_SCRIPT=" + (windows ? WindowsPath(script) : script));
    env.push_back("KV_FRAME_CHECKSUMS=" + (windows ? WindowsPath(sums) : sums));
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<std::string> words;
    if (windows) words.push_back(emulator);
    words.push_back(program);
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const double start = bench::WallSeconds();
    const bool started = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) == 0;
    posix_spawn_file_actions_destroy(&actions);
    if (!started) return run;
    int status = 0;
    rusage usage{};
    std::ifstream in;
    std::string pending;
    auto readNew = [&] {
        if (!in.is_open()) in.open(sums);
        if (!in.is_open()) return;
        char buffer[4096];
        for (;;) {
            in.read(buffer, sizeof buffer);
            const std::streamsize got = in.gcount();
            if (got <= 0) break;
            pending.append(buffer, static_cast<std::size_t>(got));
        }
        in.clear();
        const double now = bench::WallSeconds() - start;
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1))
            run.frames.emplace_back(std::atol(pending.c_str()), now);
    };
    while (wait4(pid, &status, WNOHANG, &usage) == 0) {
        readNew();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    run.wall = bench::WallSeconds() - start;
    readNew();
    run.cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
              static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

// What a paced run held during the level (from a second into it, past the
// level's loading, to its end).
struct Pace {
    double fps = 0, onTime = 0, minInterval = 0, medianInterval = 0;
};

Pace PaceOf(const Run& run)
{
    std::vector<double> times;
    for (const auto& [frame, at] : run.frames)
        if (frame >= kLevelStart + 60) times.push_back(at);
    Pace pace;
    if (times.size() < 2) return pace;
    std::vector<double> intervals;
    for (std::size_t i = 1; i < times.size(); ++i) intervals.push_back(times[i] - times[i - 1]);
    pace.fps = static_cast<double>(intervals.size()) / (times.back() - times.front());
    pace.onTime = static_cast<double>(std::count_if(intervals.begin(), intervals.end(),
                                                    [](double d) { return d < 1.5 * kPeriod; })) /
                  static_cast<double>(intervals.size());
    pace.minInterval = bench::Samples::Min(intervals);
    pace.medianInterval = bench::Samples::Median(intervals);
    return pace;
}

int Spawned(const std::vector<std::string>& words)
{
    std::vector<std::string> copy = words;
    std::vector<char*> argv;
    for (std::string& w : copy) argv.push_back(w.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string PaceText(const Pace& p)
{
    return bench::Number(p.fps, "%.1f") + " fps, " + bench::Number(100 * p.onTime, "%.1f %%") + " on time, interval " +
           bench::Duration(p.minInterval) + " / " + bench::Duration(p.medianInterval);
}

}  // namespace

int main()
{
    const std::string source = KV_SOURCE_DIR;
    std::string windowsBuild = FromEnvironment("KV_WINDOWS_BUILD", source + "/build-windows");
    if (windowsBuild[0] != '/') windowsBuild = source + "/" + windowsBuild;
    const std::string exe = windowsBuild + "/game/zorvelin.exe";
    const std::string native = std::string(KV_BUILD_DIR) + "/game/zorvelin";
    const std::string wine = FindOnPath("wine"), wineserver = FindOnPath("wineserver");
    if (!IsFile(exe) || wine.empty() || wineserver.empty()) {
        std::printf("no Windows game to measure: %s\n",
                    !IsFile(exe) ? ("no " + exe + " (scripts/test-windows builds it; KV_WINDOWS_BUILD names "
                                                  "another Windows build)").c_str()
                                 : "wine is missing (scripts/install-windows-deps)");
        return 0;
    }
    const std::string home = FromEnvironment("HOME", "/root");
    const std::string prefix = FromEnvironment(
        "WINEPREFIX", FromEnvironment("KV_WINE_PREFIX", FromEnvironment("XDG_CACHE_HOME", home + "/.cache") +
                                                            "/kvbasic-windows/wine"));
    setenv("WINEPREFIX", prefix.c_str(), 1);
    setenv("WINEDEBUG", FromEnvironment("WINEDEBUG", "-all").c_str(), 1);
    // The session: a Wine server that stays (-p) and the prefix brought up,
    // before anything is measured.
    Spawned({wineserver, "-p"});
    Spawned({wine, "cmd", "/c", "exit"});

    const std::string folder = FromEnvironment("TMPDIR", "/tmp");
    const std::string startScript = folder + "/bench_windows_start.txt", routeScript = folder + "/bench_windows_route.txt";
    WriteScript(startScript, false);
    WriteScript(routeScript, true);

    bool failed = false;
    auto check = [&](const Run& run, const char* what) {
        if (!run.ok && !failed) std::printf("%s did not end cleanly\n", what);
        failed = failed || !run.ok;
    };

    // Start-up, 1 round of warm-up and 5 measured, interleaved.
    std::vector<double> windowsCpu, windowsWall, nativeCpu, nativeWall;
    for (int round = 0; round < 6; ++round) {
        const Run w = Play(wine, exe, startScript, false, folder);
        const Run n = Play("", native, startScript, false, folder);
        check(w, "zorvelin.exe");
        check(n, "the native game");
        if (round == 0) continue;
        windowsCpu.push_back(w.cpu);
        windowsWall.push_back(w.wall);
        nativeCpu.push_back(n.cpu);
        nativeWall.push_back(n.wall);
    }
    // The route paced, twice each, interleaved.
    std::vector<Pace> windowsPace, nativePace;
    for (int round = 0; round < 2; ++round) {
        const Run w = Play(wine, exe, routeScript, true, folder);
        const Run n = Play("", native, routeScript, true, folder);
        check(w, "zorvelin.exe");
        check(n, "the native game");
        windowsPace.push_back(PaceOf(w));
        nativePace.push_back(PaceOf(n));
        std::printf("route round %d: Windows %s; native %s\n", round + 1, PaceText(windowsPace.back()).c_str(),
                    PaceText(nativePace.back()).c_str());
    }
    Spawned({wineserver, "-k"});
    std::remove(startScript.c_str());
    std::remove(routeScript.c_str());
    std::remove((folder + "/bench_sums.txt").c_str());
    if (failed) return 1;

    using bench::Samples;
    const double cpu = Samples::Median(windowsCpu), baseCpu = Samples::Median(nativeCpu);
    std::printf("start-up: Windows %s / %s cpu, %s / %s wall; native %s / %s cpu, %s / %s wall\n",
                bench::Duration(Samples::Min(windowsCpu)).c_str(), bench::Duration(cpu).c_str(),
                bench::Duration(Samples::Min(windowsWall)).c_str(), bench::Duration(Samples::Median(windowsWall)).c_str(),
                bench::Duration(Samples::Min(nativeCpu)).c_str(), bench::Duration(baseCpu).c_str(),
                bench::Duration(Samples::Min(nativeWall)).c_str(), bench::Duration(Samples::Median(nativeWall)).c_str());
    bench::Result("Windows game under Wine, start to first frame and end, process CPU (min / median)",
                  bench::Duration(Samples::Min(windowsCpu)) + " / " + bench::Duration(cpu) + " cpu, " +
                      bench::Duration(Samples::Median(windowsWall)) + " wall",
                  bench::Duration(Samples::Min(nativeCpu)) + " / " + bench::Duration(baseCpu) + " cpu (native)",
                  bench::Number(cpu / baseCpu, "%.1f"), "≤ 1 s cpu", bench::Met(cpu <= 1.0));
    // The worse of the two rounds counts.
    auto worst = [](const std::vector<Pace>& v) {
        return *std::min_element(v.begin(), v.end(), [](const Pace& a, const Pace& b) { return a.fps < b.fps; });
    };
    const Pace w = worst(windowsPace), n = worst(nativePace);
    bench::Result("Windows game under Wine, level 1 paced: fps held, frames on time, interval min / median",
                  PaceText(w), PaceText(n) + " (native)", bench::Number(w.fps / n.fps, "%.3f"),
                  "60 fps: ≥ 59 fps, ≥ 95 % on time", bench::Met(w.fps >= 59 && w.onTime >= 0.95));
    return 0;
}
