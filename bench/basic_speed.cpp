// Translated BASIC against the same programs written by hand in C++: 10
// million additions in a FOR loop, the sieve of primes below 2 million in an
// array, 100,000 string appends and MID$ slices, and Conway's life on 80 x
// 60 cells. The BASIC programs are the SUBs of bench/basic/speed.bas,
// translated by kvbasic at build time like the game. Each has two C++
// twins: one that keeps BASIC's types (double counters, indices converted
// from doubles) and one as a C++ programmer writes it (int, std::int64_t or
// std::size_t counters and offsets; cells and results stay doubles where
// BASIC's are). The three run interleaved in the same process (one warm-up
// round, then repetitions: minimum and median of wall and main-thread CPU
// time), and each program prints two rows, translated against either twin,
// judged on the minimum CPU time. Goals, translated / C++: against the
// double twins 1.5 (2 for life); against the integer twins 1.1 for the
// additions, 1.3 for the sieve, 1.0 for the strings, 1.5 for life.
// Two last rows give the cost of one array read in range: a(i) of a
// KvIntArray called from a C++ loop (goal: at most 3 ns), and a[k] in a
// FOR loop of translated BASIC against the same loop over a std::vector
// without a check (goal: at most 1.5 ns).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/arrays.h"
#include "speed_programs.h"
#include "support/measure.h"

namespace {

// The twins in BASIC's types: every number a double, loop counters too, as
// the translated code has them.
namespace doubles {

// Results, compared with the BASIC ones so that neither side can be left
// out by the compiler or be wrong.
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

}  // namespace doubles

// The twins as a C++ programmer writes them: whole-number counters and
// offsets; the cells and the results stay doubles, as BASIC's are.
namespace integers {

double g_total, g_primes, g_sliced, g_alive;

[[gnu::noinline]] void Additions()
{
    double total = 0;
    for (int i = 1; i <= 10000000; ++i) total += i;
    g_total = total;
}

[[gnu::noinline]] void Sieve()
{
    // 64-bit counters: i * i passes the range of int once i is above 46340.
    constexpr std::int64_t n = 2000000;
    std::vector<double> composite(n);
    double primes = 0;
    for (std::int64_t i = 2; i <= n - 1; ++i) {
        if (composite[i] == 0) {
            primes += 1;
            for (std::int64_t j = i * i; j <= n - 1; j += i) composite[j] = 1;
        }
    }
    g_primes = primes;
}

[[gnu::noinline]] void Strings()
{
    std::string text;
    double sliced = 0;
    for (int i = 1; i <= 100000; ++i) {
        text += "ab";
        if (text.size() > 1000) text = text.substr(500, 500);
        const std::string piece = text.substr(text.size() / 2, 10);
        sliced += static_cast<double>(piece.size());
    }
    g_sliced = sliced;
}

[[gnu::noinline]] void Life()
{
    constexpr int width = 82, height = 62;
    std::vector<double> cell(width * height), next(width * height);
    for (int y = 1; y <= 60; ++y)
        for (int x = 1; x <= 80; ++x)
            if ((x * 7 + y * 11 + x * y) % 5 < 2) cell[x + y * width] = 1;
    for (int generation = 1; generation <= 100; ++generation) {
        for (int y = 1; y <= 60; ++y) {
            for (int x = 1; x <= 80; ++x) {
                const double neighbours = cell[x - 1 + (y - 1) * width] + cell[x + (y - 1) * width] +
                                          cell[x + 1 + (y - 1) * width] + cell[x - 1 + y * width] +
                                          cell[x + 1 + y * width] + cell[x - 1 + (y + 1) * width] +
                                          cell[x + (y + 1) * width] + cell[x + 1 + (y + 1) * width];
                next[x + y * width] = neighbours == 3 || (neighbours == 2 && cell[x + y * width] == 1) ? 1 : 0;
            }
        }
        for (int y = 1; y <= 60; ++y)
            for (int x = 1; x <= 80; ++x) cell[x + y * width] = next[x + y * width];
    }
    double alive = 0;
    for (int y = 1; y <= 60; ++y)
        for (int x = 1; x <= 80; ++x) alive += cell[x + y * width];
    g_alive = alive;
}

}  // namespace integers

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

// The twin of arrayreads in speed.bas: the same 4096 numbers, the same
// passes over them, summed in the same order.
constexpr int kReadPasses = 12000;
constexpr std::size_t kReadCells = 4096;
double g_passSum;

[[gnu::noinline]] void VectorPasses()
{
    std::vector<double> cells(kReadCells);
    for (std::size_t k = 0; k < cells.size(); ++k) cells[k] = static_cast<double>(k % 7);
    double sum = 0;
    for (int pass = 1; pass <= kReadPasses; ++pass)
        for (std::size_t k = 0; k < cells.size(); ++k) sum += cells[k];
    g_passSum = sum;
}

constexpr int kRepetitions = 7;

void PrintRow(const std::string& figure, const bench::Samples& ours, const bench::Samples& twin, double goal)
{
    const double ratio = ours.minCpu() / twin.minCpu();
    const double medianRatio = ours.medianCpu() / twin.medianCpu();
    bench::Result(figure + " (min / median of " + std::to_string(kRepetitions) +
                      ", wall and main-thread cpu; ratio = translated / C++, min cpu, median in brackets)",
                  bench::Summary(ours), bench::Summary(twin),
                  bench::Number(ratio, "%.2f") + " (" + bench::Number(medianRatio, "%.2f") + ")",
                  "translated / C++ <= " + bench::Number(goal, "%.1f"), bench::Met(ratio <= goal));
}

// Runs the program and its two twins interleaved and prints a row for each
// twin; false when any two disagree on the result.
template <typename Basic, typename DoubleTwin, typename IntegerTwin, typename Check>
bool Compare(const char* what, double doubleGoal, double integerGoal, Basic basic, DoubleTwin doubleTwin,
             IntegerTwin integerTwin, Check sameResults)
{
    bench::Samples ours, withDoubles, withIntegers;
    bench::Interleave(1, kRepetitions, {&ours, &withDoubles, &withIntegers}, basic, doubleTwin, integerTwin);
    if (!sameResults()) {
        std::printf("%s: the translated program and the C++ ones disagree\n", what);
        return false;
    }
    std::printf("%s: translated %s; C++ with doubles %s; C++ with integers %s\n", what, bench::Summary(ours).c_str(),
                bench::Summary(withDoubles).c_str(), bench::Summary(withIntegers).c_str());
    PrintRow(std::string(what) + ": translated BASIC against the same in C++ with double counters", ours, withDoubles,
             doubleGoal);
    PrintRow(std::string(what) + ": translated BASIC against the same in C++ with integer counters", ours,
             withIntegers, integerGoal);
    return true;
}

}  // namespace

int main()
{
    bool agree = true;
    agree &= Compare(
        "10 million additions in a FOR loop", 1.5, 1.1, [] { kvprogram::additions(); }, [] { doubles::Additions(); },
        [] { integers::Additions(); },
        [] { return kvprogram::total == doubles::g_total && kvprogram::total == integers::g_total; });
    agree &= Compare(
        "sieve of primes below 2 million in an array", 1.5, 1.3, [] { kvprogram::sieve(); },
        [] { doubles::Sieve(); }, [] { integers::Sieve(); },
        [] {
            return kvprogram::primes == 148933 && doubles::g_primes == 148933 && integers::g_primes == 148933;
        });
    agree &= Compare(
        "100,000 string appends and MID$ slices", 1.5, 1.0, [] { kvprogram::strings(); }, [] { doubles::Strings(); },
        [] { integers::Strings(); },
        [] { return kvprogram::sliced == doubles::g_sliced && kvprogram::sliced == integers::g_sliced; });
    agree &= Compare(
        "Conway's life, 80 x 60 cells, 100 generations", 2.0, 1.5, [] { kvprogram::life(); }, [] { doubles::Life(); },
        [] { integers::Life(); },
        [] { return kvprogram::alive == doubles::g_alive && kvprogram::alive == integers::g_alive; });

    // The cost of one array read in range, a(i) called from C++.
    constexpr long kSteps = 50'000'000;
    DIM(g_readArray, 4096);
    bench::Samples reads, vectorReads;
    bench::Interleave(1, kRepetitions, {&reads, &vectorReads}, [] { ArrayReads(kSteps); }, [] { VectorReads(kSteps); });
    const double perRead = reads.minCpu() / kSteps;
    bench::Result("one array read in range, a(i) called from C++ (a(i) of a 4096-element array summed, 50 million "
                  "times; min cpu per read, loop step included; baseline: std::vector without a check)",
                  bench::Duration(perRead), bench::Duration(vectorReads.minCpu() / kSteps),
                  bench::Number(perRead / (vectorReads.minCpu() / kSteps), "%.2f") + " (ours / baseline)",
                  "<= 3 ns", bench::Met(perRead <= 3e-9));

    // The same read in a FOR loop of translated BASIC: 12,000 passes over
    // the array, the sum the same on both sides (12285 a pass).
    constexpr double kPassReads = static_cast<double>(kReadPasses) * kReadCells;
    bench::Samples basicPasses, vectorPasses;
    bench::Interleave(1, kRepetitions, {&basicPasses, &vectorPasses}, [] { kvprogram::arrayreads(); },
                      [] { VectorPasses(); });
    if (kvprogram::readsum != g_passSum || g_passSum != 12285.0 * kReadPasses) {
        std::printf("array reads in a FOR loop: the translated program and the C++ one disagree\n");
        agree = false;
    } else {
        const double perBasicRead = basicPasses.minCpu() / kPassReads;
        const double perVectorRead = vectorPasses.minCpu() / kPassReads;
        bench::Result("one array read in range in a FOR loop of translated BASIC (a[k] for k = 0 to the last of a "
                      "4096-element array, summed, 12,000 passes; min cpu per read, loop step and filling the array "
                      "included; baseline: the same loop over a std::vector<double> without a check)",
                      bench::Duration(perBasicRead), bench::Duration(perVectorRead),
                      bench::Number(perBasicRead / perVectorRead, "%.2f") + " (ours / baseline)", "<= 1.5 ns",
                      bench::Met(perBasicRead <= 1.5e-9));
    }
    return agree ? 0 : 1;
}
