// The language server's wire format: JSON read from untrusted bytes (escapes,
// surrogate pairs, bounded nesting) and written as valid UTF-8, and the
// protocol's Content-Length framing with its malformed variants, after
// which the server reads on from the next header; the answer to
// initialize. The features themselves are tested with real clients
// (tests/lsp/).
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "lsp/json.h"
#include "lsp/command_reference.h"
#include "lsp/message_stream.h"
#include "lsp/server.h"

namespace {

using kvlsp::Json;

TEST(LanguageServerWireTest, JsonReadsEscapesNumbersAndNesting)
{
    const auto value = Json::Parse(R"({"text":"\u00e4\ud83d\ude00\ud800x\n","n":-1.5e3,"list":[true,false,null,{}]})");
    ASSERT_TRUE(value);
    // A lone surrogate becomes U+FFFD.
    EXPECT_EQ((*value)["text"].AsString(), "\xC3\xA4\xF0\x9F\x98\x80\xEF\xBF\xBDx\n");
    EXPECT_EQ((*value)["n"].AsNumber(), -1500);
    EXPECT_EQ((*value)["n"].AsInt(7), -1500);
    EXPECT_EQ((*value)["list"].Size(), 4u);
    EXPECT_TRUE((*value)["list"][0].AsBool());
    EXPECT_TRUE((*value)["list"][2].IsNull());
    // What is not there reads as null, 0 or "".
    EXPECT_TRUE((*value)["missing"]["deeper"][3].IsNull());
    EXPECT_EQ((*value)["text"].AsInt(), 0);
    EXPECT_EQ((*value)["list"].AsString(), "");

    std::string error;
    for (const char* bad : {"{", "[1,]", "\"\\x\"", "01", "{\"a\" 1}", "nul", "\"a\tb\"", "[] []", "-", "1."})
        EXPECT_FALSE(Json::Parse(bad, &error)) << bad;
    EXPECT_FALSE(Json::Parse(std::string(Json::kMaxDepth + 1, '['), &error));
    EXPECT_NE(error.find("nested too deeply"), std::string::npos) << error;
    EXPECT_TRUE(Json::Parse(std::string(Json::kMaxDepth, '[') + std::string(Json::kMaxDepth, ']')));

    // Bytes that are no UTF-8 read as Latin-1; a whole number is written
    // back without a fraction, whatever its form.
    const auto latin1 = Json::Parse("{\"text\":\"\xE4\",\"id\":2.0,\"big\":1e3}");
    ASSERT_TRUE(latin1);
    EXPECT_EQ((*latin1)["text"].AsString(), "\xC3\xA4");
    EXPECT_EQ(latin1->Dump(), "{\"text\":\"\xC3\xA4\",\"id\":2,\"big\":1000}");

    // A member kept (in an optional, a container, a copy) outlives its message.
    std::optional<Json> kept;
    {
        const auto message = Json::Parse(R"({"a":{"b":[1,"x"]}})");
        ASSERT_TRUE(message);
        kept = (*message)["a"];
    }
    EXPECT_EQ(kept->Dump(), R"({"b":[1,"x"]})");
}

TEST(LanguageServerWireTest, JsonWritesValidUtf8)
{
    Json message = Json::Object()
                       .Set("latin1", std::string("\xE4\"\\\x01"))  // a Latin-1 byte, a quote, a backslash, a control
                       .Set("utf8", "\xC3\xA4")
                       .Set("whole", 3)
                       .Set("half", 0.5)
                       .Set("wholeDouble", 3.0)
                       .Set("list", Json::Array().Push(nullptr).Push(false));
    EXPECT_EQ(message.Dump(),
              R"({"latin1":"ä\"\\\u0001","utf8":"ä","whole":3,"half":0.5,"wholeDouble":3,"list":[null,false]})");
    const auto back = Json::Parse(message.Dump());
    ASSERT_TRUE(back);
    EXPECT_EQ((*back)["utf8"].AsString(), "\xC3\xA4");
}

TEST(LanguageServerWireTest, FramingSkipsBadHeadersAndStopsAtTheEnd)
{
    std::istringstream in(
        "Content-Length: 2\r\n\r\n{}"
        "\r\n"                                                // a stray blank line between messages
        "Content-Type: application/vscode-jsonrpc\ncontent-length: 2\n\n[]"  // bare LFs, another field, any case
        "Content-Length: abc\r\n\r\n"                          // no number
        "Nonsense\r\n\r\n"                                     // no field at all: skipped in the search
        "Content-Length: 5\r\n\r\n{}");                        // ends early
    kvlsp::MessageReader reader(in);
    std::string body, error;
    EXPECT_EQ(reader.Next(body, error), kvlsp::ReadStatus::Message);
    EXPECT_EQ(body, "{}");
    EXPECT_EQ(reader.Next(body, error), kvlsp::ReadStatus::Message);
    EXPECT_EQ(body, "[]");
    EXPECT_EQ(reader.Next(body, error), kvlsp::ReadStatus::Bad);
    EXPECT_EQ(error, "Content-Length is not a number");
    EXPECT_EQ(reader.Next(body, error), kvlsp::ReadStatus::End);

    std::ostringstream out;
    kvlsp::WriteMessage(out, "{\"a\":1}");
    EXPECT_EQ(out.str(), "Content-Length: 7\r\n\r\n{\"a\":1}");
}

std::string Frame(const std::string& body) { return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body; }

// The server's whole output for `input`, and its exit code.
std::string Serve(const std::string& input, int* code = nullptr)
{
    static const kvlsp::CommandReference reference(kvlsp::CommandReference::BuiltInMarkdown());
    std::istringstream in(input);
    std::ostringstream out, log;
    const int exit = kvlsp::RunLanguageServer(in, out, log, reference);
    if (code) *code = exit;
    return out.str();
}

TEST(LanguageServerWireTest, ABadFrameCostsOnlyItself)
{
    // A message a client meant to send; its text holds a header, which is
    // no header inside a JSON string.
    const std::string open = R"({"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":)"
                             R"({"uri":"file:///x.bas","version":1,"text":"PRINT \"Content-Length: 9\"\r\n"}}})";
    const std::string session = Frame(R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{}})") +
                                Frame(R"({"jsonrpc":"2.0","id":2,"method":"shutdown"})") +
                                Frame(R"({"jsonrpc":"2.0","method":"exit"})");
    const std::string badFrames[] = {
        "Content-Length: 4000\r\n\r\n" + open,           // longer than its body: runs into the next message
        "Content-Length: " + std::to_string(open.size() + 3) + "\r\n\r\n" + open,  // ends in the next field name
        "Content-Length: -5\r\n\r\n" + open,             // negative
        "Content-Length: 1099511627776\r\n\r\n" + open,  // 2^40
        "Content-Length: 99999999999\r\n\r\n" + open,    // larger than any message
        "Content-Type: application/json\r\n\r\n" + open,  // no length at all
        "Content-Length: 0\r\n\r\n" + open,              // nothing
        open,                                            // no header
        "Content-Length: 20\r\n\r\n\"" + std::string(3000, 'x') + "\r\n",  // an unclosed string, a line end
    };
    // Each bad frame is followed at once by the next message, as clients send them.
    for (const std::string& bad : badFrames) {
        int code = -1;
        const std::string out = Serve(bad + session, &code);
        EXPECT_NE(out.find(R"("id":1,"result":{"capabilities")"), std::string::npos) << bad.substr(0, 40) << "\n" << out;
        EXPECT_NE(out.find(R"("id":2,"result":null)"), std::string::npos) << bad.substr(0, 40);
        EXPECT_EQ(code, 0) << bad.substr(0, 40);
    }
    // A whole message with a header in its text stays one message.
    const std::string out = Serve(Frame(R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{}})") + Frame(open) +
                                  Frame(R"({"jsonrpc":"2.0","id":3,"method":"textDocument/hover","params":{"textDocument":)"
                                        R"({"uri":"file:///x.bas"},"position":{"line":0,"character":2}}})"));
    EXPECT_NE(out.find(R"("id":3,"result":{"contents")"), std::string::npos) << out;
}

TEST(LanguageServerWireTest, InitializeIsAnsweredOnceAndNotAfterShutdown)
{
    const std::string initialize = Frame(R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{}})");
    std::string out = Serve(initialize + Frame(R"({"jsonrpc":"2.0","id":2,"method":"initialize","params":{}})"));
    EXPECT_NE(out.find(R"("id":1,"result":{"capabilities")"), std::string::npos) << out;
    EXPECT_NE(out.find(R"("id":2,"error":{"code":-32600,)"), std::string::npos) << out;
    out = Serve(initialize + Frame(R"({"jsonrpc":"2.0","id":2,"method":"shutdown"})") +
                Frame(R"({"jsonrpc":"2.0","id":3,"method":"initialize","params":{}})"));
    EXPECT_NE(out.find(R"("id":3,"error":{"code":-32600,)"), std::string::npos) << out;
    EXPECT_EQ(out.find(R"("id":3,"result")"), std::string::npos) << out;
}

}  // namespace
