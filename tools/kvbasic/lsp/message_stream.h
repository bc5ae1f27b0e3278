// The framing of the Language Server Protocol on a byte stream: each
// message is a header ("Content-Length: N", other fields ignored, each line
// ending in CR LF) followed by an empty line and N bytes of JSON.
#pragma once

#include <iosfwd>
#include <string>

namespace kvlsp {

enum class ReadStatus {
    Message,  // `body` holds the message's bytes
    Bad,      // a malformed header; `error` says why. The header was skipped,
              // reading may go on with the next message
    End,      // the stream ended (between messages or inside one)
};

// Messages larger than this are refused (their bytes are skipped).
constexpr std::size_t kMaxMessageBytes = 64u << 20;

ReadStatus ReadMessage(std::istream& in, std::string& body, std::string& error);

void WriteMessage(std::ostream& out, const std::string& body);

}  // namespace kvlsp
