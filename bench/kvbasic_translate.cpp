// Translation speed of kvbasic: a program of 10 000 lines (the game's
// source with its SUBs repeated under new names) through lexer, parser,
// checker and C++ emitter, against the baseline of only splitting the same
// text into lines and tokens. The goal is under 0.1 s for the whole program.
//
//   bench_kvbasic_translate --benchmark_repetitions=10
//       --benchmark_enable_random_interleaving=true
// (warm-up: the first iteration is not measured; repetitions give min and
// median of both CPU and wall time).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "diagnostics.h"
#include "lexer.h"
#include "translator.h"

namespace {

// game/zorvelin.bas, then copies of its SUBs (renamed), then comment lines
// up to exactly 10 000 lines.
const std::string& TenThousandLines()
{
    static const std::string source = [] {
        std::ifstream in(std::string(KV_SOURCE_DIR) + "/game/zorvelin.bas");
        std::stringstream text;
        text << in.rdbuf();
        const std::string game = text.str();
        const std::string subs = game.substr(game.find("\nSUB ") + 1);
        std::string program = game;
        const std::regex subLine("^SUB (\\w+):", std::regex::multiline);
        auto lines = [](const std::string& text) { return std::count(text.begin(), text.end(), '\n'); };
        for (int copy = 1;; ++copy) {
            const std::string more = std::regex_replace(subs, subLine, "SUB $1_" + std::to_string(copy) + ":");
            if (lines(program) + lines(more) > 10000) break;
            program += more;
        }
        while (lines(program) < 10000) program += "' filler\n";
        return program;
    }();
    return source;
}

void BM_TranslateTenThousandLines(benchmark::State& state)
{
    kvbasic::TranslateRequest request;
    request.source = TenThousandLines();
    request.sourceName = "ten_thousand.bas";
    request.programName = "ten_thousand";
    if (!kvbasic::Translate(request).ok) state.SkipWithError("the program does not translate");
    for (auto _ : state) benchmark::DoNotOptimize(kvbasic::Translate(request).code.program.size());
    state.counters["lines"] = 10000;
}

void BM_BaselineTokenizeOnly(benchmark::State& state)
{
    const std::string& source = TenThousandLines();
    for (auto _ : state) {
        kvbasic::Diagnostics diagnostics;
        std::size_t tokens = 0, start = 0;
        for (int line = 1; start < source.size(); ++line) {
            const std::size_t end = source.find('\n', start);
            tokens += kvbasic::TokenizeLine(std::string_view(source).substr(start, end - start), line, diagnostics).size();
            start = end + 1;
        }
        benchmark::DoNotOptimize(tokens);
    }
}

}  // namespace

double Smallest(const std::vector<double>& values) { return *std::min_element(values.begin(), values.end()); }

BENCHMARK(BM_TranslateTenThousandLines)->Unit(benchmark::kMillisecond)->UseRealTime()->ComputeStatistics("min", Smallest);
BENCHMARK(BM_BaselineTokenizeOnly)->Unit(benchmark::kMillisecond)->UseRealTime()->ComputeStatistics("min", Smallest);
