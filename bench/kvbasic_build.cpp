// The edit-run cycle of kvbasic: translate, compile and link of a 10-line
// program and of the game, each step's wall and CPU time (the compiler and
// linker included) as `kvbasic build --timings` reports them. Ours: the
// toolchain kvbasic picks (precompiled runtime header, lld or gold when
// installed); baseline: the same kvbasic with neither (a PATH without the
// faster linkers and no cache folder), the two interleaved. Both at -O0, as
// `kvbasic run` builds, and at the -O2 of `kvbasic build`. The goal: the
// game built for `run` within 0.5 s of CPU, judged on the median.
// Then the cost of integer paths for the compiler: the game built by ours
// with them (the default) and with --no-integer-paths, interleaved, at -O0
// and at -O2; the goal: compile + link CPU time with them at most 1.1
// times the time without, judged on the median.
// Prints RESULT rows (see bench/support/measure.h).
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/measure.h"

namespace fs = std::filesystem;

namespace {

// Step name -> seconds of each repetition, wall and CPU.
struct StepSamples {
    std::map<std::string, std::vector<double>> wall, cpu;
};

// One `kvbasic build --timings`; false when it failed.
bool BuildOnce(const std::string& environment, const std::string& source, const std::string& options,
               const fs::path& scratch, StepSamples* into)
{
    const fs::path report = scratch / "timings.txt";
    const std::string command = environment + " " + std::string(KV_BUILD_DIR) + "/kvbasic build '" + source + "' -o '" +
                                (scratch / "program").string() + "' --timings " + options + " 2>'" + report.string() + "'";
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        return false;
    }
    if (into == nullptr) return true;
    std::ifstream in(report);
    for (std::string line; std::getline(in, line);) {
        // "kvbasic: compile 0.786 s wall, 0.228 s cpu"
        char step[32];
        double wall = 0, cpu = 0;
        if (std::sscanf(line.c_str(), "kvbasic: %31s %lf s wall, %lf s cpu", step, &wall, &cpu) == 3) {
            into->wall[step].push_back(wall);
            into->cpu[step].push_back(cpu);
        }
    }
    return true;
}

// The sum of `which` steps of repetition k.
double Total(const std::map<std::string, std::vector<double>>& steps, std::size_t k,
             std::initializer_list<const char*> which = {"translate", "compile", "link"})
{
    double sum = 0;
    for (const char* step : which) {
        const auto found = steps.find(step);
        if (found != steps.end() && k < found->second.size()) sum += found->second[k];
    }
    return sum;
}

std::string Figures(const StepSamples& s)
{
    std::string text;
    for (const char* step : {"translate", "compile", "link"}) {
        const auto wall = s.wall.find(step), cpu = s.cpu.find(step);
        if (wall == s.wall.end()) continue;
        text += std::string(text.empty() ? "" : "; ") + step + " " + bench::Duration(bench::Samples::Median(cpu->second)) +
                " cpu (" + bench::Duration(bench::Samples::Median(wall->second)) + " wall)";
    }
    return text;
}

}  // namespace

int main()
{
    const fs::path scratch = fs::temp_directory_path() / "kvbench-build";
    fs::remove_all(scratch);
    fs::create_directories(scratch / "bin");
    fs::create_directories(scratch / "cache");
    // The baseline's PATH: the compiler and the GNU tools, no ld.lld or ld.gold.
    for (const char* tool : {"c++", "g++", "as", "ld"})
        fs::create_symlink(fs::path("/usr/bin") / tool, scratch / "bin" / tool);
    std::ofstream(scratch / "nocache") << "not a folder\n";
    std::ofstream(scratch / "ten.bas") << "' ten lines\nx = 1\ny = 2\nDIM a[10]\nFOR i = 0 TO 9\n    a[i] = i * x + y\nNEXT\n"
                                          "IF a[9] > 10 THEN PRINT \"big\", 0, 0\nSHOWSCREEN\nEND\n";
    const std::string ours = "TMPDIR='" + scratch.string() + "' XDG_CACHE_HOME='" + (scratch / "cache").string() + "'";
    const std::string plain = "TMPDIR='" + scratch.string() + "' XDG_CACHE_HOME='" + (scratch / "nocache").string() +
                              "' PATH='" + (scratch / "bin").string() + "'";
    const struct {
        const char* name;
        std::string source;
    } programs[] = {{"10-line program", (scratch / "ten.bas").string()},
                    {"the game", std::string(KV_SOURCE_DIR) + "/game/zorvelin.bas"}};
    const int repetitions = 5;
    bool ok = true;
    for (const auto& program : programs) {
        for (const char* mode : {"-O0", ""}) {
            StepSamples fast, slow;
            // Warm-up: the first build makes the precompiled header.
            ok = ok && BuildOnce(ours, program.source, mode, scratch, nullptr) &&
                 BuildOnce(plain, program.source, mode, scratch, nullptr);
            for (int k = 0; ok && k < repetitions; ++k)
                ok = BuildOnce(ours, program.source, mode, scratch, &fast) &&
                     BuildOnce(plain, program.source, mode, scratch, &slow);
            if (!ok) break;
            std::vector<double> fastTotal, slowTotal;
            for (int k = 0; k < repetitions; ++k) {
                fastTotal.push_back(Total(fast.cpu, k));
                slowTotal.push_back(Total(slow.cpu, k));
            }
            const double median = bench::Samples::Median(fastTotal);
            const bool forRun = *mode != 0;
            const std::string figure = std::string("kvbasic build ") + (forRun ? "-O0 (as run)" : "(-O2)") + " of " +
                                       program.name + ": translate + compile + link, median cpu of " +
                                       std::to_string(repetitions) + "; ratio: plain toolchain over ours";
            bench::Result(figure,
                          bench::Duration(median) + " (min " + bench::Duration(bench::Samples::Min(fastTotal)) + "): " +
                              Figures(fast),
                          bench::Duration(bench::Samples::Median(slowTotal)) + " (min " +
                              bench::Duration(bench::Samples::Min(slowTotal)) + "): " + Figures(slow),
                          bench::Number(bench::Samples::Median(slowTotal) / median),
                          forRun && program.source.find("zorvelin") != std::string::npos ? "< 0.5 s cpu" : "",
                          forRun && program.source.find("zorvelin") != std::string::npos ? bench::Met(median < 0.5) : "-");
        }
    }
    // Integer paths against none: the same toolchain, only the generated
    // C++ differs, so only compile and link count.
    const std::string game = std::string(KV_SOURCE_DIR) + "/game/zorvelin.bas";
    const double pathsGoal = 1.1;
    for (const char* mode : {"-O0", ""}) {
        if (!ok) break;
        const std::string without = std::string(mode) + " --no-integer-paths";
        StepSamples with, none;
        ok = BuildOnce(ours, game, mode, scratch, nullptr) && BuildOnce(ours, game, without, scratch, nullptr);
        const int rounds = 9;
        for (int k = 0; ok && k < rounds; ++k)
            ok = BuildOnce(ours, game, mode, scratch, &with) && BuildOnce(ours, game, without, scratch, &none);
        if (!ok) break;
        std::vector<double> withTotal, noneTotal;
        for (int k = 0; k < rounds; ++k) {
            withTotal.push_back(Total(with.cpu, k, {"compile", "link"}));
            noneTotal.push_back(Total(none.cpu, k, {"compile", "link"}));
        }
        const double ratio = bench::Samples::Median(withTotal) / bench::Samples::Median(noneTotal);
        auto figures = [](const std::vector<double>& totals, const StepSamples& s) {
            return bench::Duration(bench::Samples::Median(totals)) + " (min " +
                   bench::Duration(bench::Samples::Min(totals)) + "): " + Figures(s);
        };
        bench::Result(std::string("kvbasic build ") + (*mode != 0 ? "-O0 (as run)" : "(-O2)") +
                          " of the game with integer paths against --no-integer-paths: compile + link, median cpu "
                          "of " + std::to_string(rounds) + "; ratio: with over without",
                      figures(withTotal, with), figures(noneTotal, none) + " (--no-integer-paths)",
                      bench::Number(ratio), "<= " + bench::Number(pathsGoal, "%.2g") + " (median cpu)",
                      bench::Met(ratio <= pathsGoal));
    }
    fs::remove_all(scratch);
    return ok ? 0 : 1;
}
