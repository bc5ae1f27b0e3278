// Translation speed of kvbasic: a program of 10 000 lines (the game's
// source with its SUBs repeated under new names) through lexer, parser,
// checker and C++ emitter, against the baseline of only splitting the same
// text into lines and tokens, the two in turn in the same process (one
// warm-up round, then repetitions: minimum and median of wall and
// main-thread CPU time). The goal is under 0.1 s for the whole program,
// judged on the median wall time.
// Then the cost of integer paths (whole-number FOR loops, innermost loops
// emitted checked and unchecked): the 10 000 lines and the game's own
// source each translated with them and with integerPaths off, the two in
// turn in the same process. The goal: with them at most 1.1 times the time
// without, judged on the median main-thread CPU time, for each program.
// Prints RESULT rows (see bench/support/measure.h).
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "diagnostics.h"
#include "lexer.h"
#include "support/measure.h"
#include "support/ten_thousand_lines.h"
#include "translator.h"

namespace {

std::size_t TokenizeOnly(const std::string& source)
{
    kvbasic::Diagnostics diagnostics;
    std::size_t tokens = 0, start = 0;
    for (int line = 1; start < source.size(); ++line) {
        std::size_t end = source.find('\n', start);
        if (end == std::string::npos) end = source.size();
        tokens += kvbasic::TokenizeLine(std::string_view(source).substr(start, end - start), line, diagnostics).size();
        start = end + 1;
    }
    return tokens;
}

// The same program with integer paths and without.
struct PathsPair {
    std::string name;
    kvbasic::TranslateRequest with, without;
    bench::Samples withSamples, withoutSamples;
};

PathsPair MakePair(const std::string& name, const std::string& source, const std::string& sourceName)
{
    PathsPair pair{name, {}, {}, {}, {}};
    pair.with.source = source;
    pair.with.sourceName = sourceName;
    pair.with.programName = "paths";
    pair.without = pair.with;
    pair.with.integerPaths = true;
    pair.without.integerPaths = false;
    return pair;
}

std::string GameSource()
{
    std::ifstream in(std::string(KV_SOURCE_DIR) + "/game/zorvelin.bas");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Translating with integer paths over translating without, for the large
// program and for the game.
bool ReportIntegerPaths(long lines)
{
    PathsPair pairs[] = {MakePair(std::to_string(lines) + " lines", bench::TenThousandLines(), "ten_thousand.bas"),
                         MakePair("the game", GameSource(), "zorvelin.bas")};
    for (PathsPair& pair : pairs)
        if (!kvbasic::Translate(pair.with).ok || !kvbasic::Translate(pair.without).ok) {
            std::fprintf(stderr, "%s does not translate\n", pair.name.c_str());
            return false;
        }
    volatile std::size_t sink = 0;
    auto translate = [&sink](const kvbasic::TranslateRequest& request) {
        return [&sink, program = &request] { sink = kvbasic::Translate(*program).code.program.size(); };
    };
    // The game takes a tenth of the large program's time or less: more
    // rounds steady its median, at a fraction of the large program's cost.
    bench::Interleave(1, 15, {&pairs[0].withSamples, &pairs[0].withoutSamples}, translate(pairs[0].with),
                      translate(pairs[0].without));
    bench::Interleave(5, 101, {&pairs[1].withSamples, &pairs[1].withoutSamples}, translate(pairs[1].with),
                      translate(pairs[1].without));
    const double goal = 1.1;
    for (const PathsPair& pair : pairs) {
        std::printf("%s with integer paths    %s\n%s without integer paths %s\n", pair.name.c_str(),
                    bench::Summary(pair.withSamples).c_str(), pair.name.c_str(),
                    bench::Summary(pair.withoutSamples).c_str());
        const double ratio = pair.withSamples.medianCpu() / pair.withoutSamples.medianCpu();
        bench::Result("kvbasic: translate " + pair.name +
                          " with integer paths against without (min / median main-thread cpu); ratio: with over "
                          "without, median cpu",
                      bench::Duration(pair.withSamples.minCpu()) + " / " + bench::Duration(pair.withSamples.medianCpu()) +
                          " cpu",
                      bench::Duration(pair.withoutSamples.minCpu()) + " / " +
                          bench::Duration(pair.withoutSamples.medianCpu()) + " cpu (integerPaths off)",
                      bench::Number(ratio, "%.3g"), "<= " + bench::Number(goal, "%.2g") + " (median cpu)",
                      bench::Met(ratio <= goal));
    }
    return true;
}

}  // namespace

int main()
{
    kvbasic::TranslateRequest request;
    request.source = bench::TenThousandLines();
    request.sourceName = "ten_thousand.bas";
    request.programName = "ten_thousand";
    const kvbasic::TranslateResult first = kvbasic::Translate(request);
    const long lines = std::count(request.source.begin(), request.source.end(), '\n');
    if (!first.ok) {
        std::fprintf(stderr, "the program of %ld lines does not translate\n", lines);
        return 1;
    }

    volatile std::size_t sink = 0;  // keeps the results alive
    bench::Samples translate, tokenize;
    bench::Interleave(
        1, 15, {&translate, &tokenize}, [&] { sink = kvbasic::Translate(request).code.program.size(); },
        [&] { sink = TokenizeOnly(request.source); });
    std::printf("%ld lines, %zu bytes of C++\ntranslate %s\ntokenize  %s\n", lines, first.code.program.size(),
                bench::Summary(translate).c_str(), bench::Summary(tokenize).c_str());

    const double goal = 0.1;
    bench::Result("kvbasic: translate " + std::to_string(lines) +
                      " lines (min / median wall; min / median main-thread cpu); ratio: tokenizing over translating",
                  bench::Duration(translate.minWall()) + " / " + bench::Duration(translate.medianWall()) + "; " +
                      bench::Duration(translate.minCpu()) + " / " + bench::Duration(translate.medianCpu()) + " cpu",
                  bench::Duration(tokenize.minWall()) + " / " + bench::Duration(tokenize.medianWall()) + "; " +
                      bench::Duration(tokenize.minCpu()) + " / " + bench::Duration(tokenize.medianCpu()) +
                      " cpu (tokenize only)",
                  bench::Number(tokenize.medianWall() / translate.medianWall(), "%.3g"),
                  "< " + bench::Duration(goal) + " (median wall)", bench::Met(translate.medianWall() < goal));
    return ReportIntegerPaths(lines) ? 0 : 1;
}
