// How kvbasic's work grows with the program: translate and build (-O0, as
// `kvbasic run` builds) of generated programs of 10,000, 100,000 and
// 1,000,000 lines (tests/support/large_basic_program.h: every kind of
// block, GOTO, DATA, a SUB, one long line). Translation in this process
// (min of 3, wall and main-thread CPU), the build through `kvbasic build
// --timings` once, with the peak memory of the compiler it ran. The
// baseline is the 10,000-line program; the ratio is the cost per line
// over the baseline's, whose goal (at most 2: the work grows linearly) is
// judged on the build's CPU time. A program past the translator's limits
// is reported as refused, with the message. Prints RESULT rows (see
// bench/support/measure.h).
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "support/large_basic_program.h"
#include "support/measure.h"
#include "translator.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

struct BuildFigures {
    bool ok = false;
    std::map<std::string, double> cpu;  // per step of --timings
    double wall = 0;
    long peakKilobytes = 0;  // the largest process of the build (the compiler)
    std::string errors;
};

// One `kvbasic build -O0 --timings` in a child process, with the peak
// memory of its largest descendant.
BuildFigures Build(const fs::path& scratch, const fs::path& source)
{
    BuildFigures figures;
    const fs::path report = scratch / "timings.txt";
    const std::string command = "TMPDIR='" + scratch.string() + "' XDG_CACHE_HOME='" + (scratch / "cache").string() + "' " +
                                std::string(KV_BUILD_DIR) + "/kvbasic build '" + source.string() + "' -O0 -o '" +
                                (scratch / "program").string() + "' --timings 2>'" + report.string() + "'";
    const char* argv[] = {"sh", "-c", command.c_str(), nullptr};
    pid_t child = 0;
    const double start = bench::WallSeconds();
    if (posix_spawn(&child, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) return figures;
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) return figures;
    figures.wall = bench::WallSeconds() - start;
    figures.peakKilobytes = usage.ru_maxrss;
    figures.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    std::ifstream in(report);
    for (std::string line; std::getline(in, line);) {
        char step[32];
        double wall = 0, cpu = 0;
        if (std::sscanf(line.c_str(), "kvbasic: %31s %lf s wall, %lf s cpu", step, &wall, &cpu) == 3)
            figures.cpu[step] += cpu;
        else if (line.find("error") != std::string::npos && figures.errors.size() < 400)
            figures.errors += line + " ";
    }
    return figures;
}

double TotalCpu(const BuildFigures& figures)
{
    double sum = 0;
    for (const auto& [step, cpu] : figures.cpu) sum += cpu;
    return sum;
}

std::string Thousands(long value)
{
    std::string digits = std::to_string(value);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(static_cast<std::size_t>(at), ",");
    return digits;
}

}  // namespace

int main()
{
    const fs::path scratch = fs::temp_directory_path() / "kvbench-scale";
    fs::remove_all(scratch);
    fs::create_directories(scratch / "cache");
    // Warm-up: the first build makes the precompiled runtime header.
    std::ofstream(scratch / "warm.bas") << "x = 1\nEND\n";
    Build(scratch, scratch / "warm.bas");

    struct Row {
        int lines;
        bench::Samples translate;
        BuildFigures build;
        std::string message;  // the translator's errors, if it refused
    };
    std::vector<Row> rows;
    for (const int lines : {10000, 100000, 1000000}) {
        const testing_support::LargeBasicProgram program = testing_support::MakeLargeBasicProgram(lines, 1000);
        kvbasic::TranslateRequest request;
        request.source = program.source;
        request.sourceName = "large.bas";
        request.programName = "large";
        request.partStatements = 20000;  // as kvbasic build writes it
        request.partHeaderName = "program.h";
        Row row{lines, {}, {}, {}};
        kvbasic::TranslateResult result;
        for (int k = 0; k < 3; ++k) row.translate.measure([&] { result = kvbasic::Translate(request); });
        for (const kvbasic::Diagnostic& error : result.errors)
            if (row.message.empty()) row.message = kvbasic::FormatDiagnostic("large.bas", error);
        std::printf("%d lines: translate %s%s\n", lines, bench::Summary(row.translate).c_str(),
                    result.ok ? "" : (", refused: " + row.message).c_str());
        if (result.ok) {
            const fs::path source = scratch / "large.bas";
            std::ofstream(source) << program.source;
            row.build = Build(scratch, source);
            std::printf("  build %s, %.1f s wall, %.2f s cpu, peak %ld KB %s\n", row.build.ok ? "ok" : "FAILED",
                        row.build.wall, TotalCpu(row.build), row.build.peakKilobytes, row.build.errors.c_str());
        }
        std::fflush(stdout);
        rows.push_back(std::move(row));
    }

    const Row& base = rows.front();
    const double baseTranslate = base.translate.minWall() / base.lines;
    const double baseBuild = base.build.ok ? TotalCpu(base.build) / base.lines : 0;
    bool ok = base.build.ok;
    for (const Row& row : rows) {
        const std::string figure = "kvbasic: translate (min wall of 3) and build -O0 (cpu of translate + compile + link; "
                                   "peak memory of the compiler) of a generated program of " +
                                   Thousands(row.lines) + " lines; ratio: cost per line over the 10,000-line program's";
        const std::string translate = "translate " + bench::Duration(row.translate.minWall());
        if (!row.message.empty()) {
            bench::Result(figure, translate + "; build refused: " + row.message, "", "", "", "-");
            continue;
        }
        const double cpu = TotalCpu(row.build);
        const std::string ours = translate + "; build " + (row.build.ok ? "" : "FAILED ") + bench::Duration(cpu) +
                                 " cpu (" + bench::Duration(row.build.wall) + " wall), compiler peak " +
                                 std::to_string(row.build.peakKilobytes / 1024) + " MB";
        const double translateRatio = row.translate.minWall() / row.lines / baseTranslate;
        const double buildRatio = baseBuild > 0 ? cpu / row.lines / baseBuild : 0;
        const bool linear = row.build.ok && buildRatio <= 2;
        ok = ok && row.build.ok;
        bench::Result(figure, ours,
                      &row == &base ? "(the baseline)"
                                    : bench::Duration(baseTranslate * row.lines) + " translate, " +
                                          bench::Duration(baseBuild * row.lines) + " build cpu at the baseline's rate",
                      "translate " + bench::Number(translateRatio, "%.2f") + ", build " + bench::Number(buildRatio, "%.2f"),
                      "build per line <= 2 x baseline", &row == &base ? "-" : bench::Met(linear));
    }
    fs::remove_all(scratch);
    return ok ? 0 : 1;
}
