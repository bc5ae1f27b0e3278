// The framing of the Language Server Protocol on a byte stream: each
// message is a header ("Content-Length: N", other fields ignored, each line
// ending in CR LF) followed by an empty line and N bytes of JSON.
//
// A bad frame must not cost the messages after it: a header without a
// usable length (missing, 0, negative, no number, too large) and a length
// that runs past its body into the next message both end in a search for
// the next "Content-Length:", and reading goes on from there. The search
// skips JSON strings, so that a header written inside a document's text is
// no header; a valid JSON body never holds the field name outside a string.
#pragma once

#include <iosfwd>
#include <string>

namespace kvlsp {

enum class ReadStatus {
    Message,  // `body` holds the message's bytes
    Bad,      // a malformed frame; `error` says why. Reading goes on with
              // the next header
    End,      // the stream ended (between messages or inside one)
};

// Messages larger than this are refused (their bytes are skipped).
constexpr std::size_t kMaxMessageBytes = 64u << 20;

class MessageReader {
public:
    explicit MessageReader(std::istream& in);

    ReadStatus Next(std::string& body, std::string& error);

    // Whether bytes of a next message can be read without waiting (as far
    // as the stream can tell; false when it cannot).
    bool InputWaiting() const;

private:
    int Get();
    // Reads the header up to its empty line: the Content-Length or -1.
    ReadStatus Header(long long& length, std::string& error);
    // Skips to just past the next "Content-Length:" outside JSON strings.
    // False at the end of the stream.
    bool SkipToHeader();
    // Reads `length` bytes of body; false when the bytes ran into the next
    // header (which is then read next).
    bool Body(long long length, std::string& body, bool& ended);

    std::istream& in_;
    std::string pushedBack_;  // bytes read ahead, read again first (last byte first)
    bool searching_ = false;  // after a bad frame: the next header is searched for
    bool fieldRead_ = false;  // "Content-Length:" of the next header is already read
};

void WriteMessage(std::ostream& out, const std::string& body);

}  // namespace kvlsp
