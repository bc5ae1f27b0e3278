// The language server's wire format: JSON read from untrusted bytes (escapes,
// surrogate pairs, bounded nesting) and written as valid UTF-8, and the
// protocol's Content-Length framing with its malformed variants. The
// features themselves are tested with real clients (tests/lsp/).
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "lsp/json.h"
#include "lsp/message_stream.h"

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
}

TEST(LanguageServerWireTest, JsonWritesValidUtf8)
{
    Json message = Json::Object()
                       .Set("latin1", std::string("\xE4\"\\\x01"))  // a Latin-1 byte, a quote, a backslash, a control
                       .Set("utf8", "\xC3\xA4")
                       .Set("whole", 3)
                       .Set("half", 0.5)
                       .Set("list", Json::Array().Push(nullptr).Push(false));
    EXPECT_EQ(message.Dump(),
              R"({"latin1":"ä\"\\\u0001","utf8":"ä","whole":3,"half":0.5,"list":[null,false]})");
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
        "Nonsense\r\n\r\n"                                     // no field at all
        "Content-Length: 5\r\n\r\n{}");                        // ends early
    std::string body, error;
    EXPECT_EQ(kvlsp::ReadMessage(in, body, error), kvlsp::ReadStatus::Message);
    EXPECT_EQ(body, "{}");
    EXPECT_EQ(kvlsp::ReadMessage(in, body, error), kvlsp::ReadStatus::Message);
    EXPECT_EQ(body, "[]");
    EXPECT_EQ(kvlsp::ReadMessage(in, body, error), kvlsp::ReadStatus::Bad);
    EXPECT_EQ(error, "Content-Length is not a number");
    EXPECT_EQ(kvlsp::ReadMessage(in, body, error), kvlsp::ReadStatus::Bad);
    EXPECT_EQ(error, "header line without ':'");
    EXPECT_EQ(kvlsp::ReadMessage(in, body, error), kvlsp::ReadStatus::End);

    std::ostringstream out;
    kvlsp::WriteMessage(out, "{\"a\":1}");
    EXPECT_EQ(out.str(), "Content-Length: 7\r\n\r\n{\"a\":1}");
}

}  // namespace
