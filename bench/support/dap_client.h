// A client of the Debug Adapter Protocol for the benchmarks: starts
// `kvbasic dap` on pipes and speaks to it as an editor does (requests,
// their responses, events), waiting with a time limit.
#pragma once

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "lsp/json.h"
#include "support/child_process.h"
#include "support/measure.h"

namespace bench {

class DapClient {
public:
    using Json = kvlsp::Json;

    DapClient() = default;
    DapClient(const DapClient&) = delete;
    DapClient& operator=(const DapClient&) = delete;
    ~DapClient()
    {
        if (child_.started()) {
            kill(child_.pid, SIGKILL);
            WaitSucceeded(child_);
        }
    }

    // Starts `<kvbasic> dap` with the environment `env`.
    bool Start(const std::string& kvbasic, const std::vector<std::string>& env)
    {
        // A write to an adapter that has ended must fail, not end the benchmark.
        signal(SIGPIPE, SIG_IGN);
        child_ = Spawn({kvbasic, "dap"}, env, {.pipes = true, .quietStderr = true});
        if (!child_.started()) problem_ = "cannot start " + kvbasic + " dap";
        return child_.started();
    }

    pid_t pid() const { return child_.pid; }
    const std::string& problem() const { return problem_; }

    // Sends a request; its sequence number.
    int Send(const std::string& command, Json arguments = Json::Object())
    {
        const int seq = ++seq_;
        const std::string body = Json::Object()
                                     .Set("seq", seq)
                                     .Set("type", "request")
                                     .Set("command", command)
                                     .Set("arguments", std::move(arguments))
                                     .Dump();
        const std::string frame = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
        for (std::size_t written = 0; written < frame.size();) {
            const ssize_t n = write(child_.input, frame.data() + written, frame.size() - written);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                problem_ = "the adapter does not read its input";
                return -1;
            }
            written += static_cast<std::size_t>(n);
        }
        return seq;
    }

    // The body of the response to `seq`, when it came in time and succeeded.
    std::optional<Json> Response(int seq, const std::string& command, double timeoutSeconds = 60)
    {
        std::optional<Json> response = Take(
            [&](const Json& m) { return m["type"].AsString() == "response" && m["request_seq"].AsInt() == seq; },
            "the answer to " + command, timeoutSeconds);
        if (!response) return std::nullopt;
        if (!(*response)["success"].AsBool()) {
            problem_ = command + " failed: " + (*response)["message"].AsString();
            return std::nullopt;
        }
        return (*response)["body"];
    }

    std::optional<Json> Request(const std::string& command, Json arguments = Json::Object(), double timeoutSeconds = 60)
    {
        const int seq = Send(command, std::move(arguments));
        if (seq < 0) return std::nullopt;
        return Response(seq, command, timeoutSeconds);
    }

    // The body of the next event `name` (earlier ones of other names stay
    // queued).
    std::optional<Json> Event(const std::string& name, double timeoutSeconds = 60)
    {
        std::optional<Json> event = Take(
            [&](const Json& m) { return m["type"].AsString() == "event" && m["event"].AsString() == name; },
            "the event " + name, timeoutSeconds);
        if (!event) return std::nullopt;
        return (*event)["body"];
    }

    // Drops the events received so far (output, breakpoint changes ...).
    void DropEvents()
    {
        ReadAvailable(0);
        std::erase_if(messages_, [](const Json& m) { return m["type"].AsString() == "event"; });
    }

    // initialize, launch with `launch` as its arguments, the breakpoints
    // (file and 1-based lines) once the adapter is initialized, then
    // configurationDone: the program runs (or stops on entry).
    bool Launch(Json launch, const std::string& breakpointFile = "", const std::vector<int>& lines = {})
    {
        if (!Request("initialize", Json::Object()
                                       .Set("clientID", "bench")
                                       .Set("adapterID", "kvbasic")
                                       .Set("pathFormat", "path")
                                       .Set("linesStartAt1", true)
                                       .Set("columnsStartAt1", true)))
            return false;
        const int launchSeq = Send("launch", std::move(launch));
        // The build for debugging comes before `initialized`.
        if (launchSeq < 0 || !Event("initialized", 300)) return false;
        if (!breakpointFile.empty()) {
            Json breakpoints = Json::Array();
            for (int line : lines) breakpoints.Push(Json::Object().Set("line", line));
            if (!Request("setBreakpoints", Json::Object()
                                                .Set("source", Json::Object().Set("path", breakpointFile))
                                                .Set("breakpoints", std::move(breakpoints))))
                return false;
        }
        return Request("configurationDone") && Response(launchSeq, "launch");
    }

    // disconnect (the program ends with it) and the adapter's end.
    bool Finish()
    {
        if (!Request("disconnect", Json::Object().Set("terminateDebuggee", true), 30)) return false;
        close(child_.input);
        child_.input = -1;
        if (!WaitSucceeded(child_)) {
            problem_ = "the adapter did not end with exit code 0";
            return false;
        }
        return true;
    }

private:
    template <typename Matches>
    std::optional<Json> Take(Matches matches, const std::string& what, double timeoutSeconds)
    {
        const double deadline = WallSeconds() + timeoutSeconds;
        for (;;) {
            for (auto it = messages_.begin(); it != messages_.end(); ++it) {
                if (matches(*it)) {
                    Json found = std::move(*it);
                    messages_.erase(it);
                    return found;
                }
            }
            const double left = deadline - WallSeconds();
            if (left <= 0 || !ReadAvailable(static_cast<int>(left * 1000) + 1)) {
                problem_ = (left <= 0 ? "timed out waiting for " : "the adapter ended while waiting for ") + what;
                return std::nullopt;
            }
        }
    }

    // Waits up to `timeoutMs` for output and parses the frames that came;
    // false when the adapter's output ended.
    bool ReadAvailable(int timeoutMs)
    {
        pollfd ready{child_.output, POLLIN, 0};
        const int n = poll(&ready, 1, timeoutMs);
        if (n < 0) return errno == EINTR;
        if (n == 0) return true;
        char chunk[65536];
        const ssize_t got = read(child_.output, chunk, sizeof chunk);
        if (got < 0) return errno == EINTR || errno == EAGAIN;
        if (got == 0) return false;
        received_.append(chunk, static_cast<std::size_t>(got));
        for (;;) {
            const std::size_t headerEnd = received_.find("\r\n\r\n");
            if (headerEnd == std::string::npos) break;
            const std::size_t field = received_.find("Content-Length:");
            if (field == std::string::npos || field > headerEnd) {
                received_.erase(0, headerEnd + 4);
                continue;
            }
            const std::size_t length = std::strtoul(received_.c_str() + field + 15, nullptr, 10);
            if (received_.size() < headerEnd + 4 + length) break;
            if (std::optional<Json> message = Json::Parse(std::string_view(received_).substr(headerEnd + 4, length)))
                messages_.push_back(std::move(*message));
            received_.erase(0, headerEnd + 4 + length);
        }
        return true;
    }

    Child child_;
    int seq_ = 0;
    std::string received_;
    std::deque<Json> messages_;
    std::string problem_;
};

}  // namespace bench
