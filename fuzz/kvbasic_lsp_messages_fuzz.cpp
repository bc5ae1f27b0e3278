// Fuzzes the language server from its input stream on: the framing
// reader, the JSON parser, the dispatch and every feature. Whatever the
// bytes, the server must not crash, hang or read out of bounds, and all
// it writes must be well-framed messages of valid JSON.
//
// An input whose first byte is below 4 is a recipe: the bytes after it
// choose a session of well-formed messages (open a program made of the
// input's text and known lines, change it, ask for completion, hover,
// signature help, definition and the outline at chosen positions), so that
// most inputs reach the features. Any other input is the byte stream
// itself (the seeds are recorded sessions).
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "framed_json.h"
#include "lsp/json.h"
#include "lsp/server.h"

namespace {

using fuzz::Frame;
using kvlsp::Json;

class RecipeSession {
public:
    explicit RecipeSession(FuzzedDataProvider& bytes) : bytes_(bytes) {}

    std::string Text()
    {
        Send(Request("initialize", Json::Object()));
        Send(Notification("initialized", Json::Object()));
        Send(Notification("textDocument/didOpen",
                          Json::Object().Set("textDocument", Json::Object()
                                                                 .Set("uri", kUri)
                                                                 .Set("languageId", "kvbasic")
                                                                 .Set("version", 1)
                                                                 .Set("text", Program()))));
        while (bytes_.remaining_bytes() > 0) Step();
        if (bytes_.ConsumeBool()) Send(Request("shutdown", nullptr));
        Send(Notification("exit", nullptr));
        return stream_;
    }

private:
    static constexpr const char* kUri = "file:///fuzz.bas";
    int Pick(int n) { return n <= 1 ? 0 : bytes_.ConsumeIntegralInRange(0, n - 1); }

    std::string Program()
    {
        static const char* const kLines[] = {
            "x = MID$(a$, 1, 2)", "GOSUB work", "SUB work:", "ENDSUB", "here: PRINT \"hi\", 1, 2", "GOTO here",
            "DIM grid[3][4]", "FOR i = 0 TO 3 : NEXT", "IF x THEN y = 1 ELSE y = 2", "CONST c = 3", "t$ = \"\xF0\x9F\x98\x80\"",
            "REM a comment", "' another", "SELECT CASE x", "CASE 1", "END SELECT", "LOADSPRITE \"a.bmp\", 0",
        };
        std::string text;
        for (int k = Pick(12); k >= 0; --k)
            text += Pick(4) == 0 ? bytes_.ConsumeRandomLengthString(40) + "\n" : std::string(kLines[Pick(17)]) + "\n";
        return text;
    }

    Json Position()
    {
        return Json::Object().Set("line", Pick(20) - 1).Set("character", Pick(40) - 1);
    }

    void Step()
    {
        static const char* const kRequests[] = {"textDocument/completion", "textDocument/hover", "textDocument/signatureHelp",
                                                "textDocument/definition", "textDocument/documentSymbol", "kvbasic/unknown"};
        switch (Pick(5)) {
        case 0: {
            Json change = Json::Object().Set("text", bytes_.ConsumeBool() ? Program() : bytes_.ConsumeRandomLengthString(20));
            if (bytes_.ConsumeBool()) change.Set("range", Json::Object().Set("start", Position()).Set("end", Position()));
            Send(Notification("textDocument/didChange",
                              Json::Object()
                                  .Set("textDocument", Json::Object().Set("uri", kUri).Set("version", ++version_))
                                  .Set("contentChanges", Json::Array().Push(std::move(change)))));
            break;
        }
        case 4:
            Send(Request("completionItem/resolve",
                         Json::Object().Set("label", "x").Set("data", Json::Object().Set("command", bytes_.ConsumeRandomLengthString(12)))));
            break;
        case 1:
            if (Pick(8) == 0) {
                Send(Notification("textDocument/didClose", Json::Object().Set("textDocument", Json::Object().Set("uri", kUri))));
                break;
            }
            [[fallthrough]];
        default:
            Send(Request(kRequests[Pick(6)], Json::Object()
                                                 .Set("textDocument", Json::Object().Set("uri", kUri))
                                                 .Set("position", Position())));
            break;
        }
    }

    Json Request(const char* method, Json params)
    {
        return Json::Object().Set("jsonrpc", "2.0").Set("id", ++id_).Set("method", method).Set("params", std::move(params));
    }
    Json Notification(const char* method, Json params)
    {
        return Json::Object().Set("jsonrpc", "2.0").Set("method", method).Set("params", std::move(params));
    }
    void Send(const Json& message) { stream_ += Frame(message); }

    FuzzedDataProvider& bytes_;
    std::string stream_;
    int id_ = 0, version_ = 1;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string input;
    if (size > 0 && data[0] < 4) {
        FuzzedDataProvider bytes(data + 1, size - 1);
        input = RecipeSession(bytes).Text();
    } else {
        input.assign(reinterpret_cast<const char*>(data), size);
    }
    // Read once: parsing the reference is the same work for every input.
    static const kvlsp::CommandReference reference(kvlsp::CommandReference::BuiltInMarkdown());
    std::istringstream in(input);
    std::ostringstream out, log;
    const int code = kvlsp::RunLanguageServer(in, out, log, reference);
    if (code != 0 && code != 1) std::abort();

    // Everything written is a sequence of framed JSON messages.
    fuzz::ForEachWrittenMessage(out.str(), [](const std::string&, const Json&) {});
    return 0;
}
