#include "adapter.h"

#include <chrono>
#include <filesystem>
#include <iostream>

#include "../lsp/message_stream.h"
#include "expression.h"
#include "process_io.h"
#include "value_text.h"

namespace kvdap {

namespace fs = std::filesystem;

namespace {

// How long the program may take to answer a command while it runs
// (docs/debug-channel.md: up to 4096 line reports or a waiting pass).
constexpr int kReplyTimeoutMs = 10000;
// How long a new program may take to report itself ready.
constexpr int kReadyTimeoutMs = 60000;
// How long an ending program has after `exit` before its group is killed.
constexpr int kExitGraceMs = 2000;
// How often a quiet program is checked for its end (a child it started may
// keep its pipes open after it).
constexpr int kExitCheckMs = 250;
// Variables shown per request at most (the editor pages through arrays).
constexpr int kMostChildren = 10000;
constexpr int kThreadId = 1;

Json Capabilities()
{
    return Json::Object()
        .Set("supportsConfigurationDoneRequest", true)
        .Set("supportsConditionalBreakpoints", true)
        .Set("supportsHitConditionalBreakpoints", true)
        .Set("supportsSetVariable", true)
        .Set("supportsEvaluateForHovers", true)
        .Set("supportsExceptionInfoRequest", true)
        .Set("supportsTerminateRequest", true)
        .Set("exceptionBreakpointFilters",
             Json::Array()
                 .Push(Json::Object().Set("filter", "all").Set("label", "Every runtime error").Set("default", true))
                 .Push(Json::Object()
                           .Set("filter", "fatal")
                           .Set("label", "Runtime errors that end the program")
                           .Set("default", false)));
}

Json Source(const std::string& path)
{
    return Json::Object().Set("name", fs::path(path).filename().string()).Set("path", path);
}

// A whole number >= 0 of a field, else `fallback`.
int Count(const Json& value, int fallback)
{
    const int number = value.AsInt(-1);
    return number < 0 ? fallback : number;
}

// A whole number of the channel, else -1.
int Whole(const std::string& text)
{
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) return -1;
    return std::stoi(text);
}

}  // namespace

Adapter::Adapter(std::ostream& out, std::ostream& log, ProgramStarter starter)
    : out_(out), log_(log), starter_(std::move(starter))
{
}

Adapter::~Adapter() { EndProgram(); }

const std::map<std::string, Adapter::Handler>& Adapter::Handlers()
{
    static const std::map<std::string, Handler> handlers = {
        {"initialize", &Adapter::Initialize},
        {"launch", &Adapter::Launch},
        {"setBreakpoints", &Adapter::SetBreakpoints},
        {"setExceptionBreakpoints", &Adapter::SetExceptionBreakpoints},
        {"configurationDone", &Adapter::ConfigurationDone},
        {"threads", &Adapter::Threads},
        {"stackTrace", &Adapter::StackTrace},
        {"scopes", &Adapter::Scopes},
        {"variables", &Adapter::Variables},
        {"setVariable", &Adapter::SetVariable},
        {"evaluate", &Adapter::EvaluateRequest},
        {"continue", &Adapter::Continue},
        {"next", &Adapter::Next},
        {"stepIn", &Adapter::StepIn},
        {"stepOut", &Adapter::StepOut},
        {"pause", &Adapter::Pause},
        {"exceptionInfo", &Adapter::ExceptionInfo},
        {"terminate", &Adapter::Terminate},
        {"disconnect", &Adapter::Disconnect},
    };
    return handlers;
}

bool Adapter::Handle(const std::string& body)
{
    std::string error;
    const std::optional<Json> message = Json::Parse(body, &error);
    if (!message || !message->IsObject()) {
        log_ << "kvbasic dap: a message that is no JSON object: " << error << "\n";
        return true;
    }
    const Json& request = *message;
    if (request["type"].AsString() != "request" || !request["command"].IsString()) {
        log_ << "kvbasic dap: skipped a message that is no request\n";
        return true;
    }
    const std::string& command = request["command"].AsString();
    const auto found = Handlers().find(command);
    const Handler handler = found == Handlers().end() ? nullptr : found->second;
    if (handler == nullptr) {
        Fail(request, "kvbasic dap does not know the request " + command);
    } else if (!initialized_ && handler != &Adapter::Initialize) {
        Fail(request, "initialize comes first");
    } else {
        (this->*handler)(request, request["arguments"]);
    }
    ServeEvents();
    return handler != &Adapter::Disconnect;
}

void Adapter::WaitForEditor(int editorFd)
{
    for (;;) {
        ServeEvents();
        if (!process_) return;
        if (channelEnded_) {
            Finished();
            return;
        }
        const ProgramInput input = process_->Wait(editorFd, kExitCheckMs);
        Absorb(input);
        if (input.timedOut && process_->HasExited()) {
            // What it wrote last, then its end.
            Absorb(process_->Wait(-1, 0));
            channelEnded_ = true;
        }
        if (input.editorReady && channel_.Events().empty() && !channelEnded_) return;
    }
}

// --- Messages to the editor ---

void Adapter::Send(Json message)
{
    message.Set("seq", seq_++);
    kvlsp::WriteMessage(out_, message.Dump());
}

void Adapter::Respond(const Json& request, Json body)
{
    Json response = Json::Object()
                        .Set("type", "response")
                        .Set("request_seq", request["seq"].AsInt())
                        .Set("success", true)
                        .Set("command", request["command"].AsString());
    if (!body.IsNull()) response.Set("body", std::move(body));
    Send(std::move(response));
}

void Adapter::Fail(const Json& request, const std::string& message)
{
    Send(Json::Object()
             .Set("type", "response")
             .Set("request_seq", request["seq"].AsInt())
             .Set("success", false)
             .Set("command", request["command"].AsString())
             .Set("message", message)
             .Set("body", Json::Object().Set("error", Json::Object().Set("id", 1).Set("format", message))));
}

void Adapter::SendEvent(const std::string& event, Json body)
{
    Json message = Json::Object().Set("type", "event").Set("event", event);
    if (!body.IsNull()) message.Set("body", std::move(body));
    Send(std::move(message));
}

void Adapter::Output(const std::string& category, const std::string& text)
{
    // The program's own text is Latin-1, the runtime's messages UTF-8:
    // Json takes bytes that are no UTF-8 as Latin-1.
    if (!text.empty()) SendEvent("output", Json::Object().Set("category", category).Set("output", text));
}

// --- The program ---

std::optional<ChannelReply> Adapter::Ask(const Fields& command, std::string& error)
{
    if (!process_ || channelEnded_) {
        error = "the program is not running";
        return std::nullopt;
    }
    if (!process_->Send(kvdebug::Message(command))) {
        error = "the program has ended";
        return std::nullopt;
    }
    const int ticket = channel_.Expect(true);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kReplyTimeoutMs);
    for (;;) {
        if (std::optional<ChannelReply> reply = channel_.TakeReply(ticket)) {
            if (!reply->ok) {
                error = reply->error;
                return std::nullopt;
            }
            return reply;
        }
        if (channelEnded_) {
            error = "the program has ended";
            return std::nullopt;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            channel_.Abandon(ticket);
            error = "the program did not answer " + command[0] + " within " + std::to_string(kReplyTimeoutMs / 1000) + " s";
            return std::nullopt;
        }
        Absorb(process_->Wait(-1, static_cast<int>(left.count())));
    }
}

void Adapter::Tell(const Fields& command)
{
    if (!process_ || channelEnded_) return;
    if (process_->Send(kvdebug::Message(command)) && command[0] != "exit") channel_.Expect(false);
}

void Adapter::Absorb(const ProgramInput& input)
{
    Output("stdout", input.output);
    Output("stderr", input.errors);
    channel_.Feed(input.channel);
    if (input.channelEnded) channelEnded_ = true;
}

void Adapter::ServeEvents()
{
    while (!channel_.Events().empty()) {
        const Fields event = std::move(channel_.Events().front());
        channel_.Events().pop_front();
        ProgramEvent(event);
    }
}

void Adapter::ProgramEvent(const Fields& event)
{
    if (event[0] == "stopped") return Stopped(event);
    // `ready` is waited for by launch; other events are not the channel's.
    if (event[0] != "ready") log_ << "kvbasic dap: an event the channel does not have: " << event[0] << "\n";
}

void Adapter::Stopped(const Fields& event)
{
    auto field = [&](std::size_t k) { return k < event.size() ? event[k] : std::string(); };
    const std::string reason = field(1);
    const int file = Whole(field(2)), line = Whole(field(3));
    stopped_ = true;
    framesLoaded_ = false;
    frames_.clear();
    handles_.Clear();
    exception_.reset();
    Json body = Json::Object().Set("threadId", kThreadId).Set("allThreadsStopped", true);
    if (reason == "breakpoint") {
        std::vector<int> ids;
        if (!BreakpointHolds(file, line, ids)) {
            // Not met: the program runs on as it was, also when it was stepping
            // (a `next` that ran into a breakpoint inside a call goes on out of it).
            if (!stepping_) return Resume("continue");
            if (StepGoesOn()) return;
            stepping_.reset();
            SendEvent("stopped", std::move(body.Set("reason", "step")));
            return;
        }
        Json hit = Json::Array();
        for (const int id : ids) hit.Push(id);
        body.Set("reason", "breakpoint").Set("hitBreakpointIds", std::move(hit));
    } else if (reason == "exception") {
        exception_ = ExceptionStop{field(4), field(6), field(5) == "1"};
        const std::string text = Latin1ToUtf8(exception_->text);
        body.Set("reason", "exception").Set("description", text).Set("text", text);
    } else if (reason == "step" && StepGoesOn()) {
        return;
    } else if (reason == "entry" || reason == "step" || reason == "pause") {
        body.Set("reason", reason);
    } else {
        body.Set("reason", "pause").Set("description", Latin1ToUtf8(reason));
    }
    stepping_.reset();
    SendEvent("stopped", std::move(body));
}

bool Adapter::BreakpointHolds(int file, int line, std::vector<int>& ids)
{
    const std::vector<Breakpoint*> here = breakpoints_.At(sources_, file, line);
    for (Breakpoint* breakpoint : here) {
        std::string error;
        if (!breakpoint->condition.empty()) {
            const std::optional<Value> value =
                Evaluate(breakpoint->condition, "F0", [this](const std::string& path, std::string& e) { return Fetch(path, e); }, error);
            if (value && value->kind != Value::Kind::Number) error = "the condition is no number";
            if (!error.empty()) {
                // A condition that cannot be judged stops, so that it can be mended.
                Output("console", "The breakpoint's condition " + breakpoint->condition + " failed: " + error + "\n");
                ids.push_back(breakpoint->id);
                continue;
            }
            if (value->number == 0) continue;
        }
        ++breakpoint->hits;
        if (!breakpoint->hitCondition.empty()) {
            const std::optional<bool> met = HitConditionMet(breakpoint->hitCondition, breakpoint->hits, error);
            if (!met) Output("console", error + "\n");
            if (met && !*met) continue;
        }
        ids.push_back(breakpoint->id);
    }
    return !ids.empty();
}

void Adapter::SendBreakpoints(int file)
{
    Fields command{"break", std::to_string(file)};
    for (const int line : breakpoints_.LinesOf(sources_, file)) command.push_back(std::to_string(line));
    Tell(command);
}

void Adapter::Resume(const char* command)
{
    stepping_.reset();
    stopped_ = false;
    framesLoaded_ = false;
    frames_.clear();
    handles_.Clear();
    exception_.reset();
    Tell({command});
}

void Adapter::Finished()
{
    const int code = process_ ? process_->End(kExitGraceMs) : -1;
    process_.reset();
    std::error_code ignored;
    if (!temporaryFolder_.empty()) fs::remove_all(temporaryFolder_, ignored);
    temporaryFolder_.clear();
    stopped_ = false;
    if (!ended_) {
        ended_ = true;
        SendEvent("exited", Json::Object().Set("exitCode", code < 0 ? 1 : code));
        SendEvent("terminated");
    }
}

void Adapter::EndProgram()
{
    if (process_) {
        Tell({"exit"});
        process_->End(kExitGraceMs);
        process_.reset();
    }
    std::error_code ignored;
    if (!temporaryFolder_.empty()) fs::remove_all(temporaryFolder_, ignored);
    temporaryFolder_.clear();
    stopped_ = false;
}

std::optional<ChannelValue> Adapter::Fetch(const std::string& path, std::string& error)
{
    const std::optional<ChannelReply> reply = Ask({"get", path}, error);
    if (!reply) return std::nullopt;
    if (reply->data.empty() || reply->data[0][0] != "value") {
        error = "the program sent no value for " + path;
        return std::nullopt;
    }
    return ValueFrom(reply->data[0], 1);
}

bool Adapter::LoadFrames(std::string& error)
{
    if (!stopped_) {
        error = "the program is running";
        return false;
    }
    if (framesLoaded_) return true;
    const std::optional<ChannelReply> reply = Ask({"stack"}, error);
    if (!reply) return false;
    frames_.clear();
    for (const Fields& data : reply->data) {
        if (data[0] != "frame" || data.size() < 4) continue;
        const int line = Whole(data[3]);
        frames_.push_back({Latin1ToUtf8(data[1]), sources_.PathOf(Whole(data[2])), line < 0 ? 0 : line + 1});
    }
    framesLoaded_ = true;
    return true;
}

std::string Adapter::FrameScope(const Json& frameId, std::string& error)
{
    if (!stopped_) {
        error = "the program is running: pause it first";
        return "";
    }
    if (frameId.IsNull()) return "F0";
    const int id = frameId.AsInt(0);
    if (!LoadFrames(error)) return "";
    if (id < 1 || static_cast<std::size_t>(id) > frames_.size()) {
        error = "there is no such frame";
        return "";
    }
    return "F" + std::to_string(id - 1);
}

// --- The requests ---

void Adapter::Initialize(const Json& request, const Json&)
{
    initialized_ = true;
    Respond(request, Capabilities());
}

void Adapter::Launch(const Json& request, const Json& arguments)
{
    if (launched_) return Fail(request, "this session has already launched its program");
    const std::string& program = arguments["program"].AsString();
    if (program.empty()) return Fail(request, "launch needs \"program\": the .bas file to debug");
    const std::string source = NormalisedPath(program);
    std::error_code error;
    if (!fs::is_regular_file(source, error)) return Fail(request, "there is no program " + program);
    if (!starter_) return Fail(request, "this adapter starts no programs");
    LaunchRequest launch;
    launch.source = source;
    for (const Json& argument : arguments["args"].Items())
        if (argument.IsString()) launch.arguments.push_back(argument.AsString());
    if (arguments["cwd"].IsString() && !arguments["cwd"].AsString().empty()) launch.workingFolder = arguments["cwd"].AsString();
    for (const auto& [name, value] : arguments["env"].Members())
        if (value.IsString() && !name.empty() && name.find('=') == std::string::npos)
            launch.environment.emplace_back(name, value.AsString());
    stopOnEntry_ = arguments["stopOnEntry"].AsBool();
    launched_ = true;

    sources_ = SourceMap(source);
    std::string buildOutput, failure;
    LaunchedProgram started = starter_(launch, buildOutput, failure);
    if (!started.process) {
        ended_ = true;
        Output("stderr", buildOutput);
        std::string message = failure;
        if (!buildOutput.empty()) message += ":\n" + buildOutput;
        return Fail(request, message);
    }
    Output("console", buildOutput);
    process_ = std::move(started.process);
    temporaryFolder_ = started.temporaryFolder;

    // The program says it is ready before its first line.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kReadyTimeoutMs);
    bool ready = false;
    while (!ready) {
        for (auto event = channel_.Events().begin(); event != channel_.Events().end(); ++event)
            if ((*event)[0] == "ready") {
                channel_.Events().erase(event);
                ready = true;
                break;
            }
        if (ready) break;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (channelEnded_ || left.count() <= 0) {
            const std::string why = channelEnded_ ? "the program ended before it was ready to be debugged"
                                                  : "the program did not get ready to be debugged";
            ended_ = true;
            EndProgram();
            return Fail(request, why);
        }
        Absorb(process_->Wait(-1, static_cast<int>(left.count())));
    }
    Tell({"errors", errorMode_});
    for (const Breakpoint& changed : breakpoints_.Replace(sources_)) {
        Json breakpoint = Json::Object().Set("id", changed.id).Set("verified", changed.line >= 0);
        if (changed.line >= 0) breakpoint.Set("line", changed.line + 1);
        else breakpoint.Set("message", changed.message);
        SendEvent("breakpoint", Json::Object().Set("reason", "changed").Set("breakpoint", std::move(breakpoint)));
    }
    for (const int file : breakpoints_.Files(sources_)) SendBreakpoints(file);
    SendEvent("initialized");
    Respond(request);
    if (configured_) Tell({"start", stopOnEntry_ ? "entry" : "run"});
}

void Adapter::SetBreakpoints(const Json& request, const Json& arguments)
{
    const std::string& path = arguments["source"]["path"].AsString();
    if (path.empty()) return Fail(request, "setBreakpoints needs the source's path");
    std::vector<BreakpointRequest> requests;
    for (const Json& wanted : arguments["breakpoints"].Items())
        requests.push_back({wanted["line"].AsInt(0), wanted["condition"].AsString(), wanted["hitCondition"].AsString()});
    if (arguments["breakpoints"].IsNull())
        for (const Json& line : arguments["lines"].Items()) requests.push_back({line.AsInt(0), "", ""});
    const std::vector<Breakpoint>& placed = breakpoints_.Set(path, requests, sources_);
    Json list = Json::Array();
    for (const Breakpoint& breakpoint : placed) {
        Json item = Json::Object().Set("id", breakpoint.id).Set("verified", breakpoint.line >= 0).Set("source", Source(NormalisedPath(path)));
        if (breakpoint.line >= 0) item.Set("line", breakpoint.line + 1);
        else item.Set("message", breakpoint.message);
        list.Push(std::move(item));
    }
    if (const int file = sources_.FileNumber(path); file >= 0) SendBreakpoints(file);
    Respond(request, Json::Object().Set("breakpoints", std::move(list)));
}

void Adapter::SetExceptionBreakpoints(const Json& request, const Json& arguments)
{
    bool all = false, fatal = false;
    for (const Json& filter : arguments["filters"].Items()) {
        all = all || filter.AsString() == "all";
        fatal = fatal || filter.AsString() == "fatal";
    }
    errorMode_ = all ? "all" : fatal ? "fatal" : "none";
    Tell({"errors", errorMode_});
    Respond(request);
}

void Adapter::ConfigurationDone(const Json& request, const Json&)
{
    Respond(request);
    if (configured_) return;
    configured_ = true;
    if (Running()) Tell({"start", stopOnEntry_ ? "entry" : "run"});
}

void Adapter::Threads(const Json& request, const Json&)
{
    Respond(request, Json::Object().Set("threads", Json::Array().Push(Json::Object().Set("id", kThreadId).Set("name", "main"))));
}

void Adapter::StackTrace(const Json& request, const Json& arguments)
{
    std::string error;
    if (!LoadFrames(error)) return Fail(request, error);
    const int start = Count(arguments["startFrame"], 0);
    const int levels = Count(arguments["levels"], 0);
    Json frames = Json::Array();
    for (std::size_t k = static_cast<std::size_t>(start); k < frames_.size(); ++k) {
        if (levels > 0 && k >= static_cast<std::size_t>(start) + static_cast<std::size_t>(levels)) break;
        const Frame& frame = frames_[k];
        Json item = Json::Object().Set("id", static_cast<int>(k) + 1).Set("name", frame.name).Set("line", frame.line).Set("column", 1);
        if (!frame.path.empty()) item.Set("source", Source(frame.path));
        frames.Push(std::move(item));
    }
    Respond(request, Json::Object().Set("stackFrames", std::move(frames)).Set("totalFrames", static_cast<int>(frames_.size())));
}

void Adapter::Scopes(const Json& request, const Json& arguments)
{
    std::string error;
    const std::string scope = FrameScope(arguments["frameId"], error);
    if (scope.empty()) return Fail(request, error);
    const std::string call = scope.substr(1);
    Json scopes = Json::Array();
    const bool mainProgram = !LoadFrames(error) || frames_.empty() || frames_[Whole(call)].name == "main program";
    if (!mainProgram) {
        const int locals = handles_.Add({kvdap::Handle::Kind::Scope, "L" + call, "", 0});
        scopes.Push(Json::Object().Set("name", "Locals").Set("presentationHint", "locals").Set("variablesReference", locals).Set("expensive", false));
    }
    const int globals = handles_.Add({kvdap::Handle::Kind::Scope, "G", "", 0});
    scopes.Push(Json::Object().Set("name", "Globals").Set("variablesReference", globals).Set("expensive", false));
    Respond(request, Json::Object().Set("scopes", std::move(scopes)));
}

void Adapter::Variables(const Json& request, const Json& arguments)
{
    if (!stopped_) return Fail(request, "the program is running: pause it first");
    const kvdap::Handle* found = handles_.Find(arguments["variablesReference"].AsInt(0));
    if (found == nullptr) return Fail(request, "these variables are no longer shown (the program ran on)");
    const kvdap::Handle parent = *found;  // a copy: adding handles may move it
    Fields command;
    if (parent.kind == kvdap::Handle::Kind::Scope) {
        command = {"vars", parent.path};
    } else if (parent.kind == kvdap::Handle::Kind::Record) {
        command = {"children", parent.path, "0", "0"};
    } else {
        if (arguments["filter"].AsString() == "named") return Respond(request, Json::Object().Set("variables", Json::Array()));
        const int start = std::min(Count(arguments["start"], 0), parent.elements);
        int count = Count(arguments["count"], 0);
        if (count == 0 || count > parent.elements - start) count = parent.elements - start;
        command = {"children", parent.path, std::to_string(start), std::to_string(std::min(count, kMostChildren))};
    }
    std::string error;
    const std::optional<ChannelReply> reply = Ask(command, error);
    if (!reply) return Fail(request, error);
    Json variables = Json::Array();
    for (const Fields& child : reply->data)
        if (child[0] == "child" && child.size() >= 3) variables.Push(handles_.Variable(parent, child[1], ValueFrom(child, 2)));
    Respond(request, Json::Object().Set("variables", std::move(variables)));
}

void Adapter::SetVariable(const Json& request, const Json& arguments)
{
    if (!stopped_) return Fail(request, "the program is running: pause it first");
    const kvdap::Handle* found = handles_.Find(arguments["variablesReference"].AsInt(0));
    if (found == nullptr) return Fail(request, "this variable is no longer shown (the program ran on)");
    const kvdap::Handle parent = *found;
    std::string error;
    const std::optional<std::string> name = Utf8ToLatin1(arguments["name"].AsString(), error);
    if (!name) return Fail(request, error);
    const std::string path = VariableHandles::ChildPath(parent, *name);
    const std::optional<ChannelValue> current = Fetch(path, error);
    if (!current) return Fail(request, error);
    const std::string& typed = arguments["value"].AsString();
    std::string stored;
    if (current->kind == "string") {
        // A string is typed as its text, in quotes or not.
        std::string text = typed;
        if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = text.substr(1, text.size() - 2);
        const std::optional<std::string> latin1 = Utf8ToLatin1(text, error);
        if (!latin1) return Fail(request, error);
        stored = *latin1;
    } else if (current->kind == "number") {
        // A number may be typed as an expression (`x + 1`), in the scope the variable is in.
        // (Names in it are read as that call sees them; for a global, as the globals are.)
        const std::string scope = parent.path.rfind("L", 0) == 0 ? "F" + parent.path.substr(1, parent.path.find(':') - 1) : "G";
        const std::optional<Value> value =
            Evaluate(typed, scope, [this](const std::string& p, std::string& e) { return Fetch(p, e); }, error);
        if (!value) return Fail(request, error);
        if (value->kind != Value::Kind::Number) return Fail(request, "a number variable takes a number");
        stored = NumberText(value->number);
    } else {
        return Fail(request, "only numbers and strings can be set: set the elements or fields one by one");
    }
    const std::optional<ChannelReply> reply = Ask({"set", path, stored}, error);
    if (!reply) return Fail(request, error);
    const ChannelValue now = !reply->data.empty() && reply->data[0][0] == "value" ? ValueFrom(reply->data[0], 1) : *current;
    Respond(request, handles_.Described(now, path, VariableHandles::ChildExpression(parent, *name)));
}

void Adapter::EvaluateRequest(const Json& request, const Json& arguments)
{
    std::string error;
    const std::string scope = FrameScope(arguments["frameId"], error);
    if (scope.empty()) return Fail(request, error);
    const std::string& expression = arguments["expression"].AsString();
    const std::optional<Value> value =
        Evaluate(expression, scope, [this](const std::string& path, std::string& e) { return Fetch(path, e); }, error);
    if (!value) return Fail(request, error);
    Json body;
    if (value->kind == Value::Kind::Structured) {
        body = handles_.Described(value->structured, value->path, expression);
    } else if (value->kind == Value::Kind::String) {
        body = Json::Object().Set("type", "string").Set("variablesReference", 0);
        body.Set("value", DisplayText({"string", value->text, ""}));
    } else {
        body = Json::Object().Set("value", NumberText(value->number)).Set("type", "number").Set("variablesReference", 0);
    }
    // evaluate answers with "result" where variables have "value".
    body.Set("result", body["value"].AsString());
    Respond(request, std::move(body));
}

void Adapter::Continue(const Json& request, const Json&)
{
    if (!stopped_) return Fail(request, "the program is running");
    Respond(request, Json::Object().Set("allThreadsContinued", true));
    Resume("continue");
}

void Adapter::Next(const Json& request, const Json&) { Step(request, "next"); }
void Adapter::StepIn(const Json& request, const Json&) { Step(request, "stepin"); }
void Adapter::StepOut(const Json& request, const Json&) { Step(request, "stepout"); }

void Adapter::Step(const Json& request, const char* command)
{
    if (!stopped_) return Fail(request, "the program is running");
    std::string error;
    const std::size_t depth = LoadFrames(error) ? frames_.size() : 0;
    Respond(request);
    Resume(command);
    stepping_ = Stepping{command, depth};
}

bool Adapter::StepGoesOn()
{
    std::string error;
    if (!stepping_ || stepping_->command == "stepin" || !LoadFrames(error)) return false;
    // `next` ends in its own call or a caller, `stepout` in a caller.
    const std::size_t target = stepping_->command == "next" ? stepping_->depth : stepping_->depth - std::min<std::size_t>(stepping_->depth, 1);
    if (frames_.size() <= target) return false;
    const Stepping step = *stepping_;
    Resume("stepout");
    stepping_ = step;
    return true;
}

void Adapter::Pause(const Json& request, const Json&)
{
    if (!Running()) return Fail(request, "no program runs");
    Respond(request);
    if (!stopped_) Tell({"pause"});
}

void Adapter::ExceptionInfo(const Json& request, const Json&)
{
    if (!exception_) return Fail(request, "the program did not stop at a runtime error");
    const std::string text = Latin1ToUtf8(exception_->text);
    Respond(request, Json::Object()
                         .Set("exceptionId", "runtime error " + exception_->number)
                         .Set("description", text)
                         .Set("breakMode", exception_->fatal ? "unhandled" : "always")
                         .Set("details", Json::Object().Set("message", text).Set("typeName", "runtime error")));
}

void Adapter::Terminate(const Json& request, const Json&)
{
    const bool wasRunning = Running() && !ended_;
    EndProgram();
    ended_ = true;
    Respond(request);
    if (wasRunning) SendEvent("terminated");
}

void Adapter::Disconnect(const Json& request, const Json&)
{
    EndProgram();
    ended_ = true;
    Respond(request);
}

// --- The loop ---

namespace {

int ReadRequests(Adapter& adapter, std::istream& in, std::ostream& log)
{
    kvlsp::MessageReader reader(in);
    std::string body, error;
    for (;;) {
        const kvlsp::ReadStatus status = reader.Next(body, error);
        if (status == kvlsp::ReadStatus::End) return 0;
        if (status == kvlsp::ReadStatus::Bad) {
            log << "kvbasic dap: skipped a message: " << error << "\n";
            continue;
        }
        if (!adapter.Handle(body)) return 0;
    }
}

}  // namespace

int RunDebugAdapter(std::istream& in, std::ostream& out, std::ostream& log, ProgramStarter starter)
{
    Adapter adapter(out, log, std::move(starter));
    return ReadRequests(adapter, in, log);
}

int RunDebugAdapterOnStandardStreams(const std::string& sdk)
{
    IgnoreBrokenPipes();
    Adapter adapter(std::cout, std::cerr, BuildAndStart(sdk));
    EditorInput input(0, [&adapter](int fd) { adapter.WaitForEditor(fd); });
    std::istream in(&input);
    return ReadRequests(adapter, in, std::cerr);
}

}  // namespace kvdap
