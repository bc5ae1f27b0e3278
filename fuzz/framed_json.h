// What the language server's and the debug adapter's harnesses share: the
// framing of the messages a recipe sends, and the check that all a server
// wrote is a sequence of well-framed messages of valid JSON.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "lsp/json.h"
#include "lsp/message_stream.h"

namespace fuzz {

inline std::string Frame(const kvlsp::Json& message)
{
    const std::string body = message.Dump();
    return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

// Calls `visit` with each message of `written` (the server's whole output,
// body text and value); aborts at the first that is not a framed JSON value.
template <class Visit>
void ForEachWrittenMessage(const std::string& written, Visit visit)
{
    std::istringstream in(written);
    kvlsp::MessageReader reader(in);
    std::string body, error;
    for (;;) {
        const kvlsp::ReadStatus status = reader.Next(body, error);
        if (status == kvlsp::ReadStatus::End) return;
        const std::optional<kvlsp::Json> message =
            status == kvlsp::ReadStatus::Message ? kvlsp::Json::Parse(body) : std::nullopt;
        if (!message) {
            std::fprintf(stderr, "the server wrote a bad message: %s\n", body.c_str());
            std::abort();
        }
        visit(body, *message);
    }
}

}  // namespace fuzz
