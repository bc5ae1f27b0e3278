#include "debug/debug_agent.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "core/call_depth.h"
#include "core/debugger_hooks.h"
#include "core/error_report.h"
#include "core/runtime_state.h"
#include "debug/channel_messages.h"
#include "debug/debug_trap.h"
#include "frame/frame.h"
#include "platform/platform.h"

namespace kvdebug {

namespace {

// The debugger ended the session or is gone: the program ends as when its
// window is closed, so that the files it was writing reach the disk and its
// unpacked media are removed.
[[noreturn]] void EndAsClosed()
{
    std::fflush(stdout);
    std::fflush(stderr);
    __EndProgram();
}

ValuePlace PlaceOf(const KvDebugVariable& variable)
{
    ValuePlace place;
    place.kind = variable.kind;
    place.address = variable.address;
    place.type = variable.type;
    place.view = variable.view;
    return place;
}

std::string ChildLine(const std::string& name, const ValuePlace& place)
{
    const ValueText value = DescribeValue(place);
    return Message({"child", name, value.kind, value.text, value.detail});
}

std::string ValueLine(const ValuePlace& place)
{
    const ValueText value = DescribeValue(place);
    return Message({"value", value.kind, value.text, value.detail});
}

bool ParseInteger(const std::string& text, long long& number)
{
    if (text.empty()) return false;
    char* end = nullptr;
    number = std::strtoll(text.c_str(), &end, 10);
    return *end == 0;
}

}  // namespace

DebugAgent& DebugAgent::Get()
{
    static DebugAgent agent;
    return agent;
}

void DebugAgent::Start()
{
    if (!platform::OpenDebugChannel()) {
        g_debugCountdown = INT_MAX;
        return;
    }
    calls_.assign(kMaxCallDepth + 2, CallVariables{});
    state_ = State::BeforeStart;
    g_debuggerHooks.waitPass = [] { DebugAgent::Get().OnWaitPass(); };
    g_debuggerHooks.error = [](double code, bool fatal) { DebugAgent::Get().OnError(code, fatal); };
    Send(Message({"event", "ready"}));
    ServeUntilResumed();
    Arm();
}

CodePlace DebugAgent::Here() const
{
    CodePlace here;
    here.file = g_debugfile;
    here.line = g_debugline;
    here.depth = g_callDepth;
    here.call = calls_[static_cast<std::size_t>(g_callDepth)].serial;
    return here;
}

void DebugAgent::Arm()
{
    const bool everyReport = stepping_.Active() || pausePending_ || !breakpoints_.Empty();
    armed_ = everyReport ? 0 : kReportsBetweenLooks - 1;
    g_debugCountdown = armed_;
}

void DebugAgent::OnLineReport()
{
    if (state_ != State::Running) {
        g_debugCountdown = INT_MAX;
        return;
    }
    reportsSincePoll_ += armed_ + 1;
    if (reportsSincePoll_ >= kReportsBetweenLooks) {
        reportsSincePoll_ = 0;
        Poll();
    }
    const CodePlace here = Here();
    CallVariables& call = calls_[static_cast<std::size_t>(here.depth)];
    const bool newLine = call.lastFile != here.file || call.lastLine != here.line;
    call.lastFile = here.file;
    call.lastLine = here.line;
    const char* reason = nullptr;
    if (pausePending_)
        reason = "pause";
    else if (stepping_.Kind() == StepKind::Entry)
        reason = "entry";
    else if (newLine && breakpoints_.Has(here.file, here.line))
        reason = "breakpoint";
    else if (stepping_.EndsAt(here))
        reason = "step";
    if (reason != nullptr) Stop(Message({"event", "stopped", reason, NumberText(here.file), NumberText(here.line)}));
    Arm();
}

void DebugAgent::OnWaitPass()
{
    if (state_ != State::Running) return;
    Poll();
    if (pausePending_) Stop(Message({"event", "stopped", "pause", NumberText(g_debugfile), NumberText(g_debugline)}));
    Arm();
}

void DebugAgent::OnError(double code, bool fatal)
{
    if (state_ != State::Running) return;
    if (errorStops_ == ErrorStops::None || (errorStops_ == ErrorStops::Fatal && !fatal)) return;
    Stop(Message({"event", "stopped", "exception", NumberText(g_debugfile), NumberText(g_debugline), NumberText(code),
                  fatal ? "1" : "0", RuntimeErrorMessage(code)}));
    Arm();
}

void DebugAgent::EnterCall(const KvDebugVariable* variables, int count)
{
    if (state_ == State::Off) return;
    calls_[static_cast<std::size_t>(g_callDepth)] = CallVariables{variables, count, ++callSerial_, -1, -1};
}

void DebugAgent::LeaveCall()
{
    if (state_ == State::Off) return;
    calls_[static_cast<std::size_t>(g_callDepth)] = CallVariables{};
}

void DebugAgent::Poll()
{
    for (;;) {
        const platform::DebugChannelRead read = platform::ReadDebugChannel(input_, false);
        if (read == platform::DebugChannelRead::Ended) EndAsClosed();
        if (read == platform::DebugChannelRead::Nothing) break;
    }
    std::string line;
    while (TakeLine(line)) {
        bool resumes = false;
        Send(Answer(SplitMessage(line), resumes));
    }
}

void DebugAgent::Stop(const std::string& event)
{
    stepping_.Clear();
    pausePending_ = false;
    state_ = State::Stopped;
    Send(event);
    ServeUntilResumed();
}

void DebugAgent::ServeUntilResumed()
{
    for (;;) {
        std::string line;
        while (TakeLine(line)) {
            bool resumes = false;
            Send(Answer(SplitMessage(line), resumes));
            if (resumes) {
                state_ = State::Running;
                return;
            }
        }
        if (platform::ReadDebugChannel(input_, true) == platform::DebugChannelRead::Ended) EndAsClosed();
    }
}

bool DebugAgent::TakeLine(std::string& line)
{
    const std::size_t end = input_.find('\n');
    if (end == std::string::npos) return false;
    line = input_.substr(0, end);
    input_.erase(0, end + 1);
    return true;
}

void DebugAgent::Send(const std::string& message)
{
    if (!platform::WriteDebugChannel(message)) EndAsClosed();
}

std::string DebugAgent::Answer(const std::vector<std::string>& command, bool& resumes)
{
    const std::string& name = command[0];
    const std::string ok = Message({"ok"});
    auto error = [](const std::string& text) { return Message({"error", text}); };
    const bool stopped = state_ == State::Stopped;
    const bool started = state_ != State::BeforeStart;

    if (name == "exit") EndAsClosed();
    if (name == "start") {
        if (started) return error("the program has started already");
        if (command.size() != 2 || (command[1] != "entry" && command[1] != "run")) return error("start takes entry or run");
        if (command[1] == "entry") stepping_.Start(StepKind::Entry, CodePlace{});
        resumes = true;
        return ok;
    }
    if (name == "break") {
        long long file = 0;
        if (command.size() < 2 || !ParseInteger(command[1], file)) return error("break needs a file number");
        std::vector<int> lines;
        for (std::size_t k = 2; k < command.size(); ++k) {
            long long line = 0;
            if (!ParseInteger(command[k], line)) return error("not a line number: " + command[k]);
            lines.push_back(static_cast<int>(line));
        }
        breakpoints_.Set(static_cast<int>(file), lines);
        return ok;
    }
    if (name == "errors") {
        if (command.size() == 2 && command[1] == "all")
            errorStops_ = ErrorStops::All;
        else if (command.size() == 2 && command[1] == "fatal")
            errorStops_ = ErrorStops::Fatal;
        else if (command.size() == 2 && command[1] == "none")
            errorStops_ = ErrorStops::None;
        else
            return error("errors takes all, fatal or none");
        return ok;
    }
    if (name == "pause") {
        if (state_ == State::Running) pausePending_ = true;
        return ok;
    }
    const bool known = name == "continue" || name == "next" || name == "stepin" || name == "stepout" || name == "stack" ||
                       name == "vars" || name == "get" || name == "children" || name == "set";
    if (!known) return error("unknown command " + name);
    if (!started) return error("the program has not started");
    if (!stopped) return error("the program is running");

    if (name == "continue" || name == "next" || name == "stepin" || name == "stepout") {
        const StepKind kind = name == "next"     ? StepKind::Next
                              : name == "stepin" ? StepKind::StepIn
                              : name == "stepout" ? StepKind::StepOut
                                                  : StepKind::None;
        if (kind != StepKind::None) stepping_.Start(kind, Here());
        resumes = true;
        return ok;
    }
    if (name == "stack") return Stack() + ok;
    std::string problem;
    if (name == "vars") {
        Scope scope;
        if (command.size() != 2 || !ParseScope(command[1], scope)) return error("vars takes a scope: G, LK or FK");
        const std::string lines = Variables(scope, problem);
        return problem.empty() ? lines + ok : error(problem);
    }
    if (command.size() < 2) return error(name + " needs a variable path");
    ValuePlace place;
    if (!Resolve(command[1], place, problem)) return error(problem);
    if (name == "get") return ValueLine(place) + ok;
    if (name == "set") {
        if (command.size() != 3) return error("set takes a path and a value");
        if (!SetValue(place, command[2], problem)) return error(problem);
        return ValueLine(place) + ok;
    }
    long long start = 0, count = 0;
    if (command.size() != 4 || !ParseInteger(command[2], start) || !ParseInteger(command[3], count))
        return error("children takes a path, a start and a count");
    const std::string lines = Children(place, start, count, problem);
    return problem.empty() ? lines + ok : error(problem);
}

std::string DebugAgent::Stack() const
{
    std::string lines;
    double file = g_debugfile, line = g_debugline;
    for (int depth = g_callDepth; depth >= 0; --depth) {
        const std::string name = depth == 0 ? "main program" : g_callStack[depth - 1].callee;
        lines += Message({"frame", name, NumberText(file), NumberText(line)});
        if (depth > 0) {
            file = g_callStack[depth - 1].callerFile;
            line = g_callStack[depth - 1].callerLine;
        }
    }
    return lines;
}

bool DebugAgent::CallOf(const Scope& scope, int& index, std::string& problem) const
{
    index = g_callDepth - scope.call;
    if (index < 0) {
        problem = "no call " + std::to_string(scope.call) + ": " + std::to_string(g_callDepth + 1) +
                  (g_callDepth == 0 ? " call runs" : " calls run");
        return false;
    }
    return true;
}

const KvDebugVariable* DebugAgent::Find(const KvDebugVariable* variables, int count, const std::string& name) const
{
    for (int k = 0; k < count; ++k)
        if (name == variables[k].name) return &variables[k];
    return nullptr;
}

std::string DebugAgent::Variables(const Scope& scope, std::string& problem) const
{
    std::vector<std::pair<std::string, ValuePlace>> shown;
    if (scope.kind != 'G') {
        int index = 0;
        if (!CallOf(scope, index, problem)) return "";
        const CallVariables& call = calls_[static_cast<std::size_t>(index)];
        for (int k = 0; k < call.count; ++k) shown.emplace_back(call.variables[k].name, PlaceOf(call.variables[k]));
    }
    if (scope.kind != 'L' && program_ != nullptr) {
        const std::size_t locals = shown.size();
        for (int k = 0; k < program_->globalCount; ++k) {
            const std::string name = program_->globals[k].name;
            // A parameter or LOCAL hides the global of its name.
            const bool hidden = std::any_of(shown.begin(), shown.begin() + static_cast<std::ptrdiff_t>(locals),
                                            [&](const auto& local) { return local.first == name; });
            if (!hidden) shown.emplace_back(name, PlaceOf(program_->globals[k]));
        }
    }
    std::stable_sort(shown.begin(), shown.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::string lines;
    for (const auto& [name, place] : shown) lines += ChildLine(name, place);
    return lines;
}

bool DebugAgent::Resolve(const std::string& text, ValuePlace& place, std::string& problem) const
{
    VariablePath path;
    if (!ParsePath(text, path, problem)) return false;
    const KvDebugVariable* variable = nullptr;
    if (path.scope.kind != 'G') {
        int index = 0;
        if (!CallOf(path.scope, index, problem)) return false;
        const CallVariables& call = calls_[static_cast<std::size_t>(index)];
        variable = Find(call.variables, call.count, path.name);
    }
    if (variable == nullptr && path.scope.kind != 'L' && program_ != nullptr)
        variable = Find(program_->globals, program_->globalCount, path.name);
    if (variable == nullptr) {
        problem = path.scope.kind == 'G' ? "no global variable " + path.name : "no variable " + path.name + " in this call";
        return false;
    }
    return FollowSteps(PlaceOf(*variable), path, place, problem);
}

std::string DebugAgent::Children(const ValuePlace& place, std::int64_t start, std::int64_t count, std::string& problem) const
{
    std::string lines;
    if (place.kind == KvDebugKind::Record) {
        for (int k = 0; k < place.type->fieldCount; ++k) lines += ChildLine(place.type->fields[k].name, FieldOf(place, k));
        return lines;
    }
    if (!IsArray(place)) {
        problem = "a number or string has no children";
        return "";
    }
    const std::int64_t total = ElementCount(ArrayOf(place));
    const std::int64_t end = std::min(total, start + std::max<std::int64_t>(count, 0));
    for (std::int64_t position = std::max<std::int64_t>(start, 0); position < end; ++position) {
        std::string name;
        const ValuePlace element = ElementAtPosition(place, position, name);
        lines += ChildLine(name, element);
    }
    return lines;
}

}  // namespace kvdebug
