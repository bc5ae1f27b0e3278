// Measuring for the benchmarks: wall time and the main thread's CPU time of
// one run, repetitions summarised by minimum and median, and the result rows
// that scripts/bench gathers into its table:
//   RESULT|figure|ours|baseline|ratio|goal|met
// one line each on stdout ("met" is yes, no or -; a field may be empty).
#pragma once

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

// CPU time of the calling thread only: helper threads (the GL rasteriser,
// the audio mixer) are not the code under test.
inline double ThreadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// CPU time of the whole process: every thread, the driver's included.
inline double ProcessCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

inline double WallSeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The runs of one variant.
struct Samples {
    std::vector<double> wall;
    std::vector<double> cpu;

    template <typename Body>
    void measure(Body body)
    {
        const double wallStart = WallSeconds();
        const double cpuStart = ThreadCpuSeconds();
        body();
        cpu.push_back(ThreadCpuSeconds() - cpuStart);
        wall.push_back(WallSeconds() - wallStart);
    }

    static double Min(std::vector<double> v) { return v.empty() ? 0 : *std::min_element(v.begin(), v.end()); }
    static double Median(std::vector<double> v)
    {
        if (v.empty()) return 0;
        std::sort(v.begin(), v.end());
        return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
    }
    double minWall() const { return Min(wall); }
    double medianWall() const { return Median(wall); }
    double minCpu() const { return Min(cpu); }
    double medianCpu() const { return Median(cpu); }
};

// Runs warmUp unmeasured rounds, then repetitions rounds in which every
// variant runs once, in turn, so that a change of machine load hits all of
// them alike.
template <typename... Bodies>
void Interleave(int warmUp, int repetitions, std::vector<Samples*> samples, Bodies... bodies)
{
    for (int round = 0; round < warmUp + repetitions; ++round) {
        std::size_t i = 0;
        auto runOne = [&](auto& body) {
            if (round < warmUp)
                body();
            else
                samples[i]->measure(body);
            ++i;
        };
        (runOne(bodies), ...);
    }
}

// A duration for the table: "12.3 ms", "1.52 s", "85 ns".
inline std::string Duration(double seconds)
{
    char text[32];
    if (seconds >= 1)
        std::snprintf(text, sizeof text, "%.2f s", seconds);
    else if (seconds >= 1e-3)
        std::snprintf(text, sizeof text, "%.3g ms", seconds * 1e3);
    else if (seconds >= 1e-6)
        std::snprintf(text, sizeof text, "%.3g µs", seconds * 1e6);
    else
        std::snprintf(text, sizeof text, "%.3g ns", seconds * 1e9);
    return text;
}

inline std::string Number(double value, const char* format = "%.3g")
{
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// "min / median" of a variant, wall and CPU.
inline std::string Summary(const Samples& s)
{
    return Duration(s.minWall()) + " / " + Duration(s.medianWall()) + " wall, " + Duration(s.minCpu()) +
           " / " + Duration(s.medianCpu()) + " cpu";
}

inline void Result(const std::string& figure, const std::string& ours, const std::string& baseline,
                   const std::string& ratio, const std::string& goal, const char* met)
{
    std::printf("RESULT|%s|%s|%s|%s|%s|%s\n", figure.c_str(), ours.c_str(), baseline.c_str(), ratio.c_str(),
                goal.c_str(), met);
    std::fflush(stdout);
}

inline const char* Met(bool met) { return met ? "yes" : "no"; }

}  // namespace bench
