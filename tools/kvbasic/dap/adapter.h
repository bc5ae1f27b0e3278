// The debug adapter: answers one editor's Debug Adapter Protocol requests
// (framed as the language server's messages are) and drives the program
// over its debug channel. One thread: while it waits for the editor it
// serves the program (its events, its output), and while it waits for a
// reply of the program it keeps the program's output flowing.
#pragma once

#include <iosfwd>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "../lsp/json.h"
#include "breakpoints.h"
#include "channel.h"
#include "program_launch.h"
#include "source_map.h"
#include "variables.h"

namespace kvdap {

class Adapter {
public:
    Adapter(std::ostream& out, std::ostream& log, ProgramStarter starter);
    // Ends the program if it still runs.
    ~Adapter();

    // Handles one message's bytes. False after `disconnect`.
    bool Handle(const std::string& body);
    // Serves the program until `editorFd` has bytes (returns at once when
    // no program runs).
    void WaitForEditor(int editorFd);

private:
    using Handler = void (Adapter::*)(const Json& request, const Json& arguments);
    // The requests by name, the one list of them (initialize, allowed
    // first, and disconnect, the last, are told apart by their handler).
    static const std::map<std::string, Handler>& Handlers();

    // The requests.
    void Initialize(const Json& request, const Json& arguments);
    void Launch(const Json& request, const Json& arguments);
    void SetBreakpoints(const Json& request, const Json& arguments);
    void SetExceptionBreakpoints(const Json& request, const Json& arguments);
    void ConfigurationDone(const Json& request, const Json& arguments);
    void Threads(const Json& request, const Json& arguments);
    void StackTrace(const Json& request, const Json& arguments);
    void Scopes(const Json& request, const Json& arguments);
    void Variables(const Json& request, const Json& arguments);
    void SetVariable(const Json& request, const Json& arguments);
    void EvaluateRequest(const Json& request, const Json& arguments);
    void Continue(const Json& request, const Json& arguments);
    void Next(const Json& request, const Json& arguments);
    void StepIn(const Json& request, const Json& arguments);
    void StepOut(const Json& request, const Json& arguments);
    void Pause(const Json& request, const Json& arguments);
    void ExceptionInfo(const Json& request, const Json& arguments);
    void Terminate(const Json& request, const Json& arguments);
    void Disconnect(const Json& request, const Json& arguments);

    // The messages to the editor.
    void Respond(const Json& request, Json body = nullptr);
    void Fail(const Json& request, const std::string& message);
    void SendEvent(const std::string& event, Json body = nullptr);
    void Output(const std::string& category, const std::string& text);
    void Send(Json message);

    // The program.
    bool Running() const { return process_ != nullptr; }
    // Sends a command and waits for its reply; nothing with `error`.
    std::optional<ChannelReply> Ask(const Fields& command, std::string& error);
    // Sends a command whose reply does not matter.
    void Tell(const Fields& command);
    // Takes what came from the program: channel bytes, output.
    void Absorb(const ProgramInput& input);
    void ServeEvents();
    void ProgramEvent(const Fields& event);
    void Stopped(const Fields& event);
    // Whether a breakpoint at the stop holds (its condition and hit count).
    bool BreakpointHolds(int file, int line, std::vector<int>& ids);
    void SendBreakpoints(int file);
    // Sends a command that lets the program run on; the handles go.
    void Resume(const char* command);
    void Step(const Json& request, const char* command);
    // At a stop on the way of a step (a breakpoint whose condition does not
    // hold, deeper in the calls than the step ends): runs on out of the
    // call, true. False when the step ends here.
    bool StepGoesOn();
    // The program ended on its own: `exited` and `terminated`.
    void Finished();
    // Ends the program now (exit, then its process group after a grace).
    void EndProgram();
    std::optional<ChannelValue> Fetch(const std::string& path, std::string& error);
    // The frames of the stop, read once per stop.
    bool LoadFrames(std::string& error);
    std::string FrameScope(const Json& frameId, std::string& error);

    std::ostream& out_;
    std::ostream& log_;
    ProgramStarter starter_;
    int seq_ = 1;
    bool initialized_ = false, launched_ = false, configured_ = false, stopOnEntry_ = false;
    bool ended_ = false;  // the program has ended (or was ended): no `exited` to send again

    std::unique_ptr<DebuggeeProcess> process_;
    std::string temporaryFolder_;
    ChannelClient channel_;
    bool channelEnded_ = false;

    SourceMap sources_;
    Breakpoints breakpoints_;
    std::string errorMode_ = "all";

    struct Frame {
        std::string name, path;
        int line = 0;  // 1-based
    };
    bool stopped_ = false;
    std::vector<Frame> frames_;
    bool framesLoaded_ = false;
    VariableHandles handles_;
    struct ExceptionStop {
        std::string number, text;
        bool fatal = false;
    };
    std::optional<ExceptionStop> exception_;
    // The step the program was last sent on, and how deep the calls were.
    struct Stepping {
        std::string command;
        std::size_t depth = 0;
    };
    std::optional<Stepping> stepping_;
};

// Reads messages from `in` until `disconnect` or the end of the stream;
// the exit code for the process. With no starter, `launch` fails.
int RunDebugAdapter(std::istream& in, std::ostream& out, std::ostream& log, ProgramStarter starter);
// `kvbasic dap`: the editor on standard input and output, programs built
// against `sdk` ("" for kvbasic's own).
int RunDebugAdapterOnStandardStreams(const std::string& sdk);

}  // namespace kvdap
