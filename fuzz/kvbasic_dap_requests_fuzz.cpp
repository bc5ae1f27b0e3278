// Fuzzes the debug adapter from what it is sent on: the editor's requests
// (the framing is the language server's, fuzzed by its own harnesses) with
// any JSON in their arguments, the program's side of the debug channel
// (escaped fields, replies and events in any order), and BASIC expressions
// evaluated over values the program could send. Whatever the bytes, the
// adapter must not crash, hang or read out of bounds; all it writes to the
// editor must be well-framed messages of valid JSON, every request gets
// exactly one response, and escaping a field and reading it back gives the
// field again.
//
// The first byte chooses: 0 a recipe of well-formed requests with chosen
// arguments, 1 channel bytes, 2 an expression; any other input is the
// editor's byte stream itself. No program is ever started: launch is
// refused as in an adapter without a way to start one.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>

#include "dap/adapter.h"
#include "dap/channel.h"
#include "dap/expression.h"
#include "framed_json.h"
#include "lsp/json.h"

namespace {

using fuzz::Frame;
using kvlsp::Json;

[[noreturn]] void Fail(const std::string& what)
{
    std::fprintf(stderr, "%s\n", what.c_str());
    std::abort();
}

class RecipeSession {
public:
    explicit RecipeSession(FuzzedDataProvider& bytes) : bytes_(bytes) {}

    std::string Text()
    {
        Send("initialize", Json::Object().Set("adapterID", "kvbasic"));
        while (bytes_.remaining_bytes() > 0) Step();
        Send("disconnect", Json::Object());
        return stream_;
    }
    int Requests() const { return seq_; }

private:
    int Pick(int n) { return n <= 1 ? 0 : bytes_.ConsumeIntegralInRange(0, n - 1); }

    // Any value: the arguments' fields are read whatever their type.
    Json Anything(int depth = 0)
    {
        switch (Pick(depth > 2 ? 4 : 6)) {
        case 0: return Json(bytes_.ConsumeIntegralInRange(-3, 40));
        case 1: return Json(bytes_.ConsumeRandomLengthString(16));
        case 2: return Json(bytes_.ConsumeBool());
        case 3: return Json();
        case 4: {
            Json array = Json::Array();
            for (int k = Pick(4); k > 0; --k) array.Push(Anything(depth + 1));
            return array;
        }
        default: {
            Json object = Json::Object();
            static const char* const kKeys[] = {"line", "condition", "hitCondition", "path", "name", "value", "start", "count"};
            for (int k = Pick(4); k > 0; --k) object.Set(kKeys[Pick(8)], Anything(depth + 1));
            return object;
        }
        }
    }

    void Step()
    {
        static const char* const kCommands[] = {
            "launch", "setBreakpoints", "setExceptionBreakpoints", "configurationDone", "threads", "stackTrace",
            "scopes", "variables", "setVariable", "evaluate", "continue", "next", "stepIn", "stepOut", "pause",
            "exceptionInfo", "terminate", "initialize", "source", "kvbasic/unknown"};
        const char* command = kCommands[Pick(20)];
        Json arguments = Json::Object();
        switch (Pick(6)) {
        case 0:
            arguments.Set("source", Json::Object().Set("path", Pick(2) ? "/fuzz/prog.bas" : bytes_.ConsumeRandomLengthString(20)));
            arguments.Set("breakpoints", Json::Array().Push(Anything()).Push(Json::Object()
                                                                               .Set("line", Pick(50) - 2)
                                                                               .Set("condition", bytes_.ConsumeRandomLengthString(12))
                                                                               .Set("hitCondition", bytes_.ConsumeRandomLengthString(6))));
            break;
        case 1:
            arguments.Set("program", Pick(2) ? "/nonexistent/prog.bas" : bytes_.ConsumeRandomLengthString(20));
            arguments.Set("args", Anything()).Set("env", Anything()).Set("stopOnEntry", Anything());
            break;
        case 2:
            arguments.Set("expression", bytes_.ConsumeRandomLengthString(30)).Set("frameId", Anything()).Set("context", "watch");
            break;
        case 3:
            arguments.Set("variablesReference", Pick(6)).Set("name", bytes_.ConsumeRandomLengthString(8)).Set("value", Anything());
            break;
        case 4: arguments = Anything(); break;
        default: break;
        }
        Json request = Json::Object().Set("seq", ++seq_).Set("type", "request").Set("command", command);
        if (Pick(8) != 0) request.Set("arguments", std::move(arguments));
        stream_ += Frame(request);
    }

    void Send(const char* command, Json arguments)
    {
        stream_ += Frame(Json::Object().Set("seq", ++seq_).Set("type", "request").Set("command", command).Set("arguments", std::move(arguments)));
    }

    FuzzedDataProvider& bytes_;
    std::string stream_;
    int seq_ = 0;
};

// Runs the adapter over `input`; checks what it wrote. `requests` > 0: the
// input is a recipe of that many requests, each to be answered once.
void RunAdapter(const std::string& input, int requests)
{
    std::istringstream in(input);
    std::ostringstream out, log;
    if (kvdap::RunDebugAdapter(in, out, log, nullptr) != 0) Fail("the adapter ended with an error");
    std::set<int> answered;
    fuzz::ForEachWrittenMessage(out.str(), [&](const std::string& body, const Json& message) {
        if (message["type"].AsString() != "response") return;
        // (A raw stream may repeat its numbers; a recipe numbers each request anew.)
        if (!answered.insert(message["request_seq"].AsInt(-1)).second && requests > 0)
            Fail("a request was answered twice: " + body);
    });
    if (requests > 0 && static_cast<int>(answered.size()) != requests) Fail("a request went unanswered");
}

// The program's bytes fed in pieces; the fields' escaping read back.
void FeedChannel(FuzzedDataProvider& bytes)
{
    kvdap::ChannelClient client;
    std::vector<int> tickets;
    while (bytes.remaining_bytes() > 0) {
        switch (bytes.ConsumeIntegralInRange(0, 3)) {
        case 0: tickets.push_back(client.Expect(bytes.ConsumeBool())); break;
        case 1:
            if (!tickets.empty()) client.TakeReply(tickets[bytes.ConsumeIntegralInRange<std::size_t>(0, tickets.size() - 1)]);
            break;
        case 2: {
            const std::string field = bytes.ConsumeRandomLengthString(40);
            const std::string line = kvdebug::Message(std::vector<std::string>{field, field});
            const kvdap::Fields fields = kvdebug::SplitMessage(line.substr(0, line.size() - 1));
            if (fields.size() != 2 || fields[0] != field || fields[1] != field) Fail("a message does not read back");
            break;
        }
        default: client.Feed(bytes.ConsumeRandomLengthString(64)); break;
        }
        while (!client.Events().empty()) client.Events().pop_front();
    }
}

// An expression over variables whose values the input also chooses.
void EvaluateExpression(FuzzedDataProvider& bytes)
{
    const std::string expression = bytes.ConsumeRandomLengthString(80);
    int fetches = 0;
    const kvdap::FetchValue fetch = [&](const std::string&, std::string& error) -> std::optional<kvdap::ChannelValue> {
        if (++fetches > 64 || bytes.ConsumeIntegralInRange(0, 7) == 0) {
            error = "no such variable";
            return std::nullopt;
        }
        static const char* const kKinds[] = {"number", "string", "array", "record", "records", "other"};
        return kvdap::ChannelValue{kKinds[bytes.ConsumeIntegralInRange(0, 5)], bytes.ConsumeRandomLengthString(12),
                                   bytes.ConsumeRandomLengthString(12)};
    };
    std::string error;
    const std::optional<kvdap::Value> value = kvdap::Evaluate(expression, "F0", fetch, error);
    if (!value && error.empty()) Fail("an expression failed without saying why: " + expression);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 0 && data[0] < 3) {
        FuzzedDataProvider bytes(data + 1, size - 1);
        if (data[0] == 0) {
            RecipeSession session(bytes);
            const std::string text = session.Text();
            RunAdapter(text, session.Requests());
        } else if (data[0] == 1) {
            FeedChannel(bytes);
        } else {
            EvaluateExpression(bytes);
        }
        return 0;
    }
    RunAdapter(std::string(reinterpret_cast<const char*>(data), size), 0);
    return 0;
}
