// How fast the debugger answers, as an editor sees it over the Debug
// Adapter Protocol (`kvbasic dap` on pipes, the program it built for
// debugging behind it):
//   - `next` answered with its stopped event, in a loop of
//     bench/basic/dap_steps.bas stopped at a breakpoint (goal: median of 20
//     steps <= 50 ms); the baseline, interleaved, is `stackTrace`, one
//     exchange with the stopped program and nothing more;
//   - `pause` answered with its stopped event while the program computes
//     in a loop and while it waits in KEYWAIT (bench/basic/dap_pause.bas;
//     goal <= 100 ms each); the baseline, interleaved, is `threads`, which
//     the adapter answers alone.
// Warm-up rounds excluded; wall time from the request to the event, and
// the CPU time the main threads of the adapter and the program spent
// meanwhile (for pause the adapter's only).
//   xvfb-run -a -s "-screen 0 1024x768x24" build-bench/bench/bench_kvbasic_dap_latency
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "support/child_process.h"
#include "support/dap_client.h"
#include "support/measure.h"

namespace {

using kvlsp::Json;

constexpr int kWarmUp = 2;
constexpr int kSteps = 20;
constexpr int kPauses = 10;

const std::string kKvbasic = std::string(KV_BUILD_DIR) + "/kvbasic";

std::string Program(const char* name) { return std::string(KV_SOURCE_DIR) + "/bench/basic/" + name; }

// The 1-based line of `file` that starts (after blanks) with `start`, 0 when none does.
int LineOf(const std::string& file, const std::string& start)
{
    std::ifstream in(file);
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        if (line.find_first_not_of(' ') != std::string::npos && line.substr(line.find_first_not_of(' ')).rfind(start, 0) == 0)
            return number;
    }
    return 0;
}

// CPU seconds of the adapter's and the program's main threads so far.
double SessionCpu(pid_t adapter, pid_t program)
{
    double total = 0;
    for (pid_t pid : {adapter, program})
        if (pid > 0) total += std::max(0.0, bench::MainThreadRunSeconds(pid));
    return total;
}

// One exchange, timed: `body` sends and waits; false when it failed.
template <typename Body>
bool Time(bench::Samples& into, pid_t adapter, pid_t program, bool keep, Body body)
{
    const double wallStart = bench::WallSeconds(), cpuStart = SessionCpu(adapter, program);
    if (!body()) return false;
    const double wall = bench::WallSeconds() - wallStart, cpu = SessionCpu(adapter, program) - cpuStart;
    if (keep) {
        into.wall.push_back(wall);
        into.cpu.push_back(cpu);
    }
    return true;
}

std::string Summary(const bench::Samples& s, const char* whose)
{
    return bench::Duration(s.minWall()) + " / " + bench::Duration(s.medianWall()) + " wall, " +
           bench::Duration(s.medianCpu()) + " cpu of " + whose + " (median)";
}

int Fail(const std::string& what, const bench::DapClient& adapter)
{
    std::fprintf(stderr, "bench_kvbasic_dap_latency: %s: %s\n", what.c_str(), adapter.problem().c_str());
    return 1;
}

// A thread id of a stopped event, checked for its reason.
std::optional<Json> Stopped(bench::DapClient& adapter, const std::string& reason)
{
    std::optional<Json> stopped = adapter.Event("stopped", 30);
    if (stopped && (*stopped)["reason"].AsString() != reason) return std::nullopt;
    return stopped;
}

int MeasureSteps()
{
    const std::string program = Program("dap_steps.bas");
    const int line = LineOf(program, "values[i MOD 100]");
    bench::DapClient adapter;
    if (line == 0) return Fail("no loop line in " + program, adapter);
    if (!adapter.Start(kKvbasic, bench::Environment({"KV_WINDOWED=1", "KV_UNPACED=1"})) ||
        !adapter.Launch(Json::Object().Set("program", program), program, {line}))
        return Fail("launching " + program, adapter);
    std::optional<Json> stopped = Stopped(adapter, "breakpoint");
    if (!stopped) return Fail("the breakpoint", adapter);
    const Json thread = Json::Object().Set("threadId", (*stopped)["threadId"]);
    // Stepping on from the breakpoint: the breakpoint itself would stop
    // `next` at its line again, so it goes.
    if (!adapter.Request("setBreakpoints", Json::Object()
                                               .Set("source", Json::Object().Set("path", program))
                                               .Set("breakpoints", Json::Array())))
        return Fail("clearing the breakpoint", adapter);
    const pid_t programPid = bench::DescendantNamed(adapter.pid(), "dap_steps");
    bench::Samples next, stackTrace;
    for (int k = 0; k < kWarmUp + kSteps; ++k) {
        const bool keep = k >= kWarmUp;
        const bool ok = Time(next, adapter.pid(), programPid, keep, [&] {
            const int seq = adapter.Send("next", thread);
            return seq > 0 && Stopped(adapter, "step") && adapter.Response(seq, "next");
        }) && Time(stackTrace, adapter.pid(), programPid, keep, [&] {
            return adapter.Request("stackTrace", thread).has_value();
        });
        if (!ok) return Fail("step " + std::to_string(k), adapter);
        adapter.DropEvents();
    }
    if (!adapter.Finish()) return Fail("ending the session", adapter);
    bench::Result("kvbasic dap: next answered with its stopped event, in a loop of a program stopped at a "
                  "breakpoint (min / median of 20; ratio = next / stackTrace, median wall)",
                  Summary(next, "adapter and program"), Summary(stackTrace, "adapter and program") + " (stackTrace)",
                  bench::Number(next.medianWall() / stackTrace.medianWall(), "%.2f"), "<= 50 ms (median wall)",
                  bench::Met(next.medianWall() <= 0.050));
    return 0;
}

int MeasurePause(const std::string& mode)
{
    const std::string program = Program("dap_pause.bas");
    bench::DapClient adapter;
    Json launch = Json::Object().Set("program", program);
    if (mode == "keywait") launch.Set("args", Json::Array().Push("keywait"));
    if (!adapter.Start(kKvbasic, bench::Environment({"KV_WINDOWED=1", "KV_UNPACED=1"})) || !adapter.Launch(launch))
        return Fail("launching " + program + " " + mode, adapter);
    std::optional<Json> threads = adapter.Request("threads");
    if (!threads) return Fail("threads", adapter);
    const Json thread = Json::Object().Set("threadId", (*threads)["threads"][std::size_t{0}]["id"]);
    bench::Samples pause, threadsAnswer;
    for (int k = 0; k < kWarmUp + kPauses; ++k) {
        const bool keep = k >= kWarmUp;
        // Running for a while (in the loop, or in KEYWAIT) before each pause.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        adapter.DropEvents();
        // The adapter's CPU only: the computing program's would swamp it.
        const bool ok = Time(threadsAnswer, adapter.pid(), -1, keep, [&] {
            return adapter.Request("threads").has_value();
        }) && Time(pause, adapter.pid(), -1, keep, [&] {
            const int seq = adapter.Send("pause", thread);
            return seq > 0 && Stopped(adapter, "pause") && adapter.Response(seq, "pause");
        }) && adapter.Request("continue", thread);
        if (!ok) return Fail("pause " + std::to_string(k), adapter);
    }
    if (!adapter.Finish()) return Fail("ending the session", adapter);
    const std::string where = mode == "keywait" ? "while the program waits in KEYWAIT" : "while the program computes in a loop";
    const double slowest = *std::max_element(pause.wall.begin(), pause.wall.end());
    bench::Result("kvbasic dap: pause answered with its stopped event " + where +
                      " (min / median of 10, slowest; ratio = pause / threads, median wall)",
                  Summary(pause, "the adapter") + ", slowest " + bench::Duration(slowest),
                  Summary(threadsAnswer, "the adapter") + " (threads)",
                  bench::Number(pause.medianWall() / threadsAnswer.medianWall(), "%.2f"), "<= 100 ms (every pause)",
                  bench::Met(slowest <= 0.100));
    return 0;
}

}  // namespace

int main()
{
    int failures = MeasureSteps();
    failures += MeasurePause("loop");
    failures += MeasurePause("keywait");
    return failures == 0 ? 0 : 1;
}
