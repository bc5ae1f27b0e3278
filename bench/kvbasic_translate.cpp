// Translation speed of kvbasic: a program of 10 000 lines (the game's
// source with its SUBs repeated under new names) through lexer, parser,
// checker and C++ emitter, against the baseline of only splitting the same
// text into lines and tokens, the two in turn in the same process (one
// warm-up round, then repetitions: minimum and median of wall and
// main-thread CPU time). The goal is under 0.1 s for the whole program,
// judged on the median wall time. Prints RESULT rows (see
// bench/support/measure.h).
#include <algorithm>
#include <cstdio>
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
    return 0;
}
