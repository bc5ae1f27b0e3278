// The debugger's agent inside a program built for debugging: it speaks
// the debug channel (docs/debug-channel.md) with the debug adapter, stops
// the program where the adapter asks (at entry, on breakpoints, after a
// step, on pause, on runtime errors) and, while the program is stopped,
// answers what its call stack and variables hold and changes them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "debug/breakpoints.h"
#include "debug/debug_tables.h"
#include "debug/stepping.h"
#include "debug/values.h"
#include "debug/variable_paths.h"

namespace kvdebug {

// Line reports between two looks at the channel while the program runs.
constexpr int kReportsBetweenLooks = 4096;

class DebugAgent {
public:
    static DebugAgent& Get();

    void SetProgram(const KvDebugProgram* program) { program_ = program; }
    // Opens the channel, says ready and serves commands until `start`.
    void Start();
    // The generated code's trap: the countdown of line reports ran out.
    void OnLineReport();
    // A pass of a command that waits.
    void OnWaitPass();
    // A runtime error, before it is reported.
    void OnError(double code, bool fatal);
    // The variables of the call now entered (g_callDepth counts it) and left.
    void EnterCall(const KvDebugVariable* variables, int count);
    void LeaveCall();

private:
    enum class State { Off, BeforeStart, Running, Stopped };
    enum class ErrorStops { All, Fatal, None };

    // What the agent knows of one call (index 0: the main program).
    struct CallVariables {
        const KvDebugVariable* variables = nullptr;
        int count = 0;
        std::uint64_t serial = 0;
        double lastFile = -1, lastLine = -1;  // its latest line report the agent saw
    };

    CodePlace Here() const;
    void Arm();
    // Reads what has arrived and answers it; the program runs on.
    void Poll();
    // Sends the event and serves commands until one resumes the program.
    void Stop(const std::string& event);
    void ServeUntilResumed();
    bool TakeLine(std::string& line);
    void Send(const std::string& message);
    // The reply to one command; `resumes`: the program runs on after it.
    std::string Answer(const std::vector<std::string>& command, bool& resumes);

    std::string Stack() const;
    std::string Variables(const Scope& scope, std::string& problem) const;
    bool Resolve(const std::string& text, ValuePlace& place, std::string& problem) const;
    std::string Children(const ValuePlace& place, std::int64_t start, std::int64_t count, std::string& problem) const;
    // The call a scope names, as an index into calls_; false when it has none.
    bool CallOf(const Scope& scope, int& index, std::string& problem) const;
    const KvDebugVariable* Find(const KvDebugVariable* variables, int count, const std::string& name) const;

    State state_ = State::Off;
    ErrorStops errorStops_ = ErrorStops::All;
    const KvDebugProgram* program_ = nullptr;
    Breakpoints breakpoints_;
    Stepping stepping_;
    bool pausePending_ = false;
    int armed_ = 0;              // what the countdown was last set to
    long reportsSincePoll_ = 0;  // line reports since the channel was last read
    std::uint64_t callSerial_ = 0;
    std::vector<CallVariables> calls_;
    std::string input_;  // bytes read, not yet a whole line
};

}  // namespace kvdebug
