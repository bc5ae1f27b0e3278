// kvbasic build --windows of the game (game/zorvelin.bas with game/media)
// beside the Linux kvbasic build of the same game, the baseline: the CPU
// time of kvbasic and of everything it starts (the compiler, the linker,
// the packer), interleaved, min and median of a few repetitions after a
// warm-up that makes both precompiled runtime headers. The goal: the
// Windows build takes at most 1.5 times the Linux build's CPU, judged on
// the median. The Windows build of the runtime is found through
// KVBASIC_WINDOWS_SDK, else build-windows in the source tree; without one
// the benchmark says so and prints no RESULT row.
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "support/measure.h"

namespace fs = std::filesystem;

namespace {

// The CPU time of the children waited for so far, user and system.
double ChildrenCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

// One variant's runs: the whole build's CPU and wall time, and each step's
// CPU as `kvbasic build --timings` reports it.
struct BuildSamples {
    std::vector<double> cpu, wall;
    std::map<std::string, std::vector<double>> stepCpu;
};

// One build; false when it failed.
bool BuildOnce(const std::string& command, const fs::path& report, BuildSamples* into)
{
    const double cpuStart = ChildrenCpuSeconds();
    const double wallStart = bench::WallSeconds();
    const std::string line = command + " --timings 2>'" + report.string() + "'";
    if (std::system(line.c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", line.c_str());
        std::ifstream errors(report);
        for (std::string text; std::getline(errors, text);) std::fprintf(stderr, "%s\n", text.c_str());
        return false;
    }
    if (into == nullptr) return true;
    into->cpu.push_back(ChildrenCpuSeconds() - cpuStart);
    into->wall.push_back(bench::WallSeconds() - wallStart);
    std::ifstream in(report);
    for (std::string text; std::getline(in, text);) {
        // "kvbasic: compile 0.786 s wall, 0.228 s cpu"
        char step[32];
        double wall = 0, cpu = 0;
        if (std::sscanf(text.c_str(), "kvbasic: %31s %lf s wall, %lf s cpu", step, &wall, &cpu) == 3)
            into->stepCpu[step].push_back(cpu);
    }
    return true;
}

std::string Figures(const BuildSamples& s)
{
    std::string text = bench::Duration(bench::Samples::Median(s.cpu)) + " (min " +
                       bench::Duration(bench::Samples::Min(s.cpu)) + "; wall " +
                       bench::Duration(bench::Samples::Median(s.wall)) + "):";
    for (const char* step : {"translate", "compile", "link"}) {
        const auto found = s.stepCpu.find(step);
        if (found == s.stepCpu.end()) continue;
        text += std::string(" ") + step + " " + bench::Duration(bench::Samples::Median(found->second));
    }
    return text;
}

// KVBASIC_WINDOWS_SDK, else build-windows in the source tree, when it
// holds a built runtime for Windows; else "".
std::string FindWindowsSdk()
{
    const char* given = std::getenv("KVBASIC_WINDOWS_SDK");
    const fs::path sdk = given != nullptr && *given ? fs::path(given) : fs::path(KV_SOURCE_DIR) / "build-windows";
    std::error_code error;
    if (fs::exists(sdk / "windows_toolchain.txt", error) && fs::exists(sdk / "libkvruntime.a", error) &&
        fs::exists(sdk / "libkvmain.a", error))
        return fs::absolute(sdk).string();
    return "";
}

}  // namespace

int main()
{
    const std::string sdk = FindWindowsSdk();
    if (sdk.empty()) {
        std::printf("no Windows build of the runtime (KVBASIC_WINDOWS_SDK, or build-windows with kvruntime and kvmain "
                    "built, as scripts/test-windows makes it): nothing measured\n");
        return 0;
    }
    const fs::path scratch = fs::temp_directory_path() / "kvbench-windows-build";
    fs::remove_all(scratch);
    fs::create_directories(scratch / "cache");
    const std::string environment =
        "TMPDIR='" + scratch.string() + "' XDG_CACHE_HOME='" + (scratch / "cache").string() + "' ";
    const std::string kvbasic = environment + std::string(KV_BUILD_DIR) + "/kvbasic build '" + KV_SOURCE_DIR +
                                "/game/zorvelin.bas' --media '" + KV_SOURCE_DIR + "/game/media'";
    const std::string windows = kvbasic + " --windows --sdk '" + sdk + "' -o '" + (scratch / "windows").string() + "'";
    const std::string native = kvbasic + " -o '" + (scratch / "zorvelin").string() + "'";
    const fs::path report = scratch / "timings.txt";

    const int repetitions = 5;
    BuildSamples ours, baseline;
    // Warm-up: the first builds make the precompiled headers.
    bool ok = BuildOnce(windows, report, nullptr) && BuildOnce(native, report, nullptr);
    for (int k = 0; ok && k < repetitions; ++k)
        ok = BuildOnce(windows, report, &ours) && BuildOnce(native, report, &baseline);
    fs::remove_all(scratch);
    if (!ok) return 1;
    const double ratio = bench::Samples::Median(ours.cpu) / bench::Samples::Median(baseline.cpu);
    bench::Result("kvbasic build --windows of the game (-O2, media copied) against the Linux kvbasic build: cpu of "
                  "kvbasic and its children, median (min) of " + std::to_string(repetitions) +
                      ", steps' median cpu; ratio: Windows over Linux",
                  Figures(ours), Figures(baseline), bench::Number(ratio), "<= 1.5", bench::Met(ratio <= 1.5));
    return 0;
}
