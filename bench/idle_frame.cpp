// An idle frame at 60 Hz: the loop of examples/count_frames (SHOWSCREEN and
// nothing else) against a plain SDL + OpenGL loop in a window of the same
// size that clears, swaps, pumps its events and sleeps to the next slot of
// the same grid. Both run in this process, in turn, each with its own
// window and context (the switch between them is outside the timed runs).
// Reported: CPU of the whole process (llvmpipe's threads included) and of
// the main thread as a share of wall time, and the 99th percentile of the
// interval between frame starts. Run under a display:
//   xvfb-run -a -s "-screen 0 1024x768x24" bench/bench_idle_frame
#include <SDL.h>
#include <SDL_opengl.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "commands.h"
#include "gl/gl_calls.h"
#include "support/measure.h"

namespace {

constexpr int kWidth = 640, kHeight = 480;
constexpr int kFrames = 180;  // three seconds a run
constexpr int kRepetitions = 5;
constexpr double kPeriod = 1.0 / 60;

struct Run {
    double wall = 0, processCpu = 0, threadCpu = 0;
};

struct Side {
    std::vector<Run> runs;
    std::vector<double> intervals;  // seconds between frame starts, every run

    // Runs `frame` kFrames times; a frame returns when the next one may start.
    template <typename Frame>
    void Measure(Frame frame, bool keep)
    {
        const double w0 = bench::WallSeconds(), p0 = bench::ProcessCpuSeconds(), t0 = bench::ThreadCpuSeconds();
        double last = w0;
        for (int i = 0; i < kFrames; ++i) {
            frame();
            const double now = bench::WallSeconds();
            if (keep && i > 0) intervals.push_back(now - last);
            last = now;
        }
        if (keep) runs.push_back({bench::WallSeconds() - w0, bench::ProcessCpuSeconds() - p0, bench::ThreadCpuSeconds() - t0});
    }
    double MedianShare(double Run::*cpu) const
    {
        std::vector<double> shares;
        for (const Run& r : runs) shares.push_back(r.*cpu / r.wall);
        return bench::Samples::Median(shares);
    }
    double P99() const
    {
        std::vector<double> v = intervals;
        std::sort(v.begin(), v.end());
        return v[static_cast<std::size_t>(0.99 * static_cast<double>(v.size() - 1))];
    }
};

// The plain loop: clear, swap, pump, sleep to the next slot on the grid.
class PlainLoop {
public:
    PlainLoop()
    {
        m_window = SDL_CreateWindow("plain loop", 0, 0, kWidth, kHeight, SDL_WINDOW_OPENGL);
        if (m_window != nullptr) m_context = SDL_GL_CreateContext(m_window);
        if (m_context == nullptr) std::fprintf(stderr, "plain loop: %s\n", SDL_GetError());
    }
    bool Ready() const { return m_context != nullptr; }
    void Enter()
    {
        SDL_GL_MakeCurrent(m_window, m_context);
        m_next = bench::WallSeconds() + kPeriod;
    }
    void Frame()
    {
        gl::ClearColor(0, 0, 0, 1);
        gl::Clear(GL_COLOR_BUFFER_BIT);
        SDL_GL_SwapWindow(m_window);
        for (SDL_Event e; SDL_PollEvent(&e);) {
        }
        timespec until{};
        until.tv_sec = static_cast<time_t>(m_next);
        until.tv_nsec = static_cast<long>((m_next - static_cast<double>(until.tv_sec)) * 1e9);
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) != 0) {
        }
        const double now = bench::WallSeconds();
        m_next += kPeriod;
        while (m_next < now) m_next += kPeriod;
    }

private:
    SDL_Window* m_window = nullptr;
    SDL_GLContext m_context = nullptr;
    double m_next = 0;
};

}  // namespace

int main()
{
    setenv("KV_NO_MESSAGEBOX", "1", 0);
    setenv("KV_WINDOWED", "1", 0);
    KV_RESX = kWidth;
    KV_RESY = kHeight;
    KV_FULLSCREEN = 0;
    KV_FRAMERATE = 60;
    char noArguments[] = "";
    __GlobalInit(nullptr, nullptr, noArguments, 0, "idle frame");
    SDL_Window* runtimeWindow = SDL_GL_GetCurrentWindow();
    SDL_GLContext runtimeContext = SDL_GL_GetCurrentContext();
    PlainLoop plain;
    if (!plain.Ready()) return 1;
    SDL_GL_MakeCurrent(runtimeWindow, runtimeContext);

    Side ours, baseline;
    for (int round = 0; round < 1 + kRepetitions; ++round) {
        const bool keep = round > 0;  // the first round warms up
        auto runOurs = [&] {
            SHOWSCREEN();  // back on the grid after the switch
            ours.Measure([] { SHOWSCREEN(); }, keep);
        };
        auto runPlain = [&] {
            plain.Enter();
            baseline.Measure([&] { plain.Frame(); }, keep);
            SDL_GL_MakeCurrent(runtimeWindow, runtimeContext);
        };
        if (round % 2 == 0) {
            runOurs();
            runPlain();
        } else {
            runPlain();
            runOurs();
        }
    }

    const double ourProcess = ours.MedianShare(&Run::processCpu), plainProcess = baseline.MedianShare(&Run::processCpu);
    const double ourThread = ours.MedianShare(&Run::threadCpu), plainThread = baseline.MedianShare(&Run::threadCpu);
    const double ourP99 = ours.P99() * 1e3, plainP99 = baseline.P99() * 1e3;
    std::printf("SHOWSCREEN loop: process %.2f %%, main thread %.2f %%, interval p99 %.3f ms\n", 100 * ourProcess,
                100 * ourThread, ourP99);
    std::printf("plain SDL + GL loop: process %.2f %%, main thread %.2f %%, interval p99 %.3f ms\n",
                100 * plainProcess, 100 * plainThread, plainP99);
    const std::string plainName = " (plain SDL + GL loop)";
    bench::Result("idle frame 60 Hz (count_frames), process CPU share (median)",
                  bench::Number(100 * ourProcess, "%.2f %%"), bench::Number(100 * plainProcess, "%.2f %%") + plainName,
                  bench::Number(ourProcess / plainProcess, "%.2f×"), "≤ 1.5×",
                  bench::Met(ourProcess <= 1.5 * plainProcess));
    bench::Result("idle frame 60 Hz (count_frames), main-thread CPU share (median)",
                  bench::Number(100 * ourThread, "%.2f %%"), bench::Number(100 * plainThread, "%.2f %%") + plainName,
                  bench::Number(ourThread / plainThread, "%.2f×"), "≤ 1.5×", bench::Met(ourThread <= 1.5 * plainThread));
    bench::Result("idle frame 60 Hz (count_frames), frame interval p99", bench::Number(ourP99, "%.2f ms"),
                  bench::Number(plainP99, "%.2f ms") + plainName, bench::Number(ourP99 - plainP99, "%+.2f ms"),
                  "≤ baseline + 0.05 ms", bench::Met(ourP99 <= plainP99 + 0.05));
    return 0;
}
