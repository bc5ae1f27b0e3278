// Translated BASIC against the same programs written by hand in C++
// (double, std::vector, std::string): 10 million additions in a FOR loop,
// the sieve of primes below 2 million in an array, 100,000 string appends
// and MID$ slices, and Conway's life on 80 x 60 cells. The BASIC programs
// are the SUBs of bench/basic/speed.bas, translated by kvbasic at build
// time like the game; each runs interleaved with its C++ twin in the same
// process (one warm-up round, then repetitions: minimum and median of wall
// and main-thread CPU time). The goal: translated within 1.5 times the C++
// time (2 times for life), judged on the minimum CPU time. A last row
// gives the cost of one array read in range (goal: at most 3 ns).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/arrays.h"
#include "speed_programs.h"
#include "support/measure.h"

namespace {

// Results of the hand-written programs, compared with the BASIC ones so
// that neither side can be left out by the compiler or be wrong.
double g_total, g_primes, g_sliced, g_alive;

[[gnu::noinline]] void Additions()
{
    double total = 0;
    for (double i = 1; i <= 10000000; i = i + 1) total = total + i;
    g_total = total;
}

[[gnu::noinline]] void Sieve()
{
    const double n = 2000000;
    std::vector<double> composite(static_cast<std::size_t>(n));
    double primes = 0;
    for (double i = 2; i <= n - 1; i = i + 1) {
        if (composite[static_cast<std::size_t>(i)] == 0) {
            primes = primes + 1;
            for (double j = i * i; j <= n - 1; j = j + i) composite[static_cast<std::size_t>(j)] = 1;
        }
    }
    g_primes = primes;
}

// MID$ as the C++ programmer would write it for the ranges used here.
std::string Mid(const std::string& text, double start, double count)
{
    const std::size_t from = static_cast<std::size_t>(start);
    return from > text.size() ? std::string() : text.substr(from, static_cast<std::size_t>(count));
}

[[gnu::noinline]] void Strings()
{
    std::string text;
    double sliced = 0;
    for (double i = 1; i <= 100000; i = i + 1) {
        text += "ab";
        if (text.size() > 1000) text = Mid(text, 500, 500);
        const std::string piece = Mid(text, text.size() / 2.0, 10);
        sliced = sliced + static_cast<double>(piece.size());
    }
    g_sliced = sliced;
}

[[gnu::noinline]] void Life()
{
    constexpr int width = 82, height = 62;
    std::vector<double> cell(width * height), next(width * height);
    auto at = [](double x, double y) { return static_cast<std::size_t>(x) + static_cast<std::size_t>(y) * width; };
    for (double y = 1; y <= 60; y = y + 1)
        for (double x = 1; x <= 80; x = x + 1)
            if (static_cast<int>(x * 7 + y * 11 + x * y) % 5 < 2) cell[at(x, y)] = 1;
    for (double generation = 1; generation <= 100; generation = generation + 1) {
        for (double y = 1; y <= 60; y = y + 1) {
            for (double x = 1; x <= 80; x = x + 1) {
                const double neighbours = cell[at(x - 1, y - 1)] + cell[at(x, y - 1)] + cell[at(x + 1, y - 1)] +
                                          cell[at(x - 1, y)] + cell[at(x + 1, y)] + cell[at(x - 1, y + 1)] +
                                          cell[at(x, y + 1)] + cell[at(x + 1, y + 1)];
                next[at(x, y)] = neighbours == 3 || (neighbours == 2 && cell[at(x, y)] == 1) ? 1 : 0;
            }
        }
        for (double y = 1; y <= 60; y = y + 1)
            for (double x = 1; x <= 80; x = x + 1) cell[at(x, y)] = next[at(x, y)];
    }
    double alive = 0;
    for (double y = 1; y <= 60; y = y + 1)
        for (double x = 1; x <= 80; x = x + 1) alive = alive + cell[at(x, y)];
    g_alive = alive;
}

// One array read in range per step, through a BASIC array and, as the
// baseline, through a std::vector without any check, both over a block of
// 4096 numbers.
KvIntArray g_readArray;
std::vector<double> g_readVector(4096);
volatile double g_readSum;  // read by nothing: volatile keeps the sums

[[gnu::noinline]] void ArrayReads(long steps)
{
    double sum = 0;
    for (long k = 0; k < steps; ++k) sum += g_readArray(static_cast<double>(k & 4095));
    g_readSum = sum;
}

[[gnu::noinline]] void VectorReads(long steps)
{
    double sum = 0;
    for (long k = 0; k < steps; ++k) sum += g_readVector[static_cast<std::size_t>(static_cast<double>(k & 4095))];
    g_readSum = sum;
}

constexpr int kRepetitions = 7;

// Runs the pair interleaved and prints its row; false when the two
// disagree on the result.
template <typename Basic, typename Cpp, typename Check>
bool Compare(const char* what, double goal, Basic basic, Cpp cpp, Check sameResult)
{
    bench::Samples ours, baseline;
    bench::Interleave(1, kRepetitions, {&ours, &baseline}, basic, cpp);
    if (!sameResult()) {
        std::printf("%s: the translated program and the C++ one disagree\n", what);
        return false;
    }
    const double ratio = ours.minCpu() / baseline.minCpu();
    const double medianRatio = ours.medianCpu() / baseline.medianCpu();
    std::printf("%s: translated %s; C++ %s\n", what, bench::Summary(ours).c_str(), bench::Summary(baseline).c_str());
    bench::Result(std::string(what) + ": translated BASIC against the same in C++ (min / median of " +
                      std::to_string(kRepetitions) + ", wall and main-thread cpu; ratio = translated / C++, min cpu, median in brackets)",
                  bench::Summary(ours), bench::Summary(baseline),
                  bench::Number(ratio, "%.2f") + " (" + bench::Number(medianRatio, "%.2f") + ")",
                  "translated / C++ <= " + bench::Number(goal, "%.1f"), bench::Met(ratio <= goal));
    return true;
}

}  // namespace

int main()
{
    bool agree = true;
    agree &= Compare("10 million additions in a FOR loop", 1.5, [] { kvprogram::additions(); }, [] { Additions(); },
                     [] { return kvprogram::total == g_total; });
    agree &= Compare("sieve of primes below 2 million in an array", 1.5, [] { kvprogram::sieve(); }, [] { Sieve(); },
                     [] { return kvprogram::primes == g_primes && g_primes == 148933; });
    agree &= Compare("100,000 string appends and MID$ slices", 1.5, [] { kvprogram::strings(); }, [] { Strings(); },
                     [] { return kvprogram::sliced == g_sliced; });
    agree &= Compare("Conway's life, 80 x 60 cells, 100 generations", 2.0, [] { kvprogram::life(); }, [] { Life(); },
                     [] { return kvprogram::alive == g_alive; });

    // The cost of one array read in range.
    constexpr long kSteps = 50'000'000;
    DIM(g_readArray, 4096);
    bench::Samples reads, vectorReads;
    bench::Interleave(1, kRepetitions, {&reads, &vectorReads}, [] { ArrayReads(kSteps); }, [] { VectorReads(kSteps); });
    const double perRead = reads.minCpu() / kSteps;
    bench::Result("one array read in range (a(i) of a 4096-element array summed, 50 million times; min cpu per read, "
                  "loop step included; baseline: std::vector without a check)",
                  bench::Duration(perRead), bench::Duration(vectorReads.minCpu() / kSteps),
                  bench::Number(perRead / (vectorReads.minCpu() / kSteps), "%.2f") + " (ours / baseline)",
                  "<= 3 ns", bench::Met(perRead <= 3e-9));
    return agree ? 0 : 1;
}
