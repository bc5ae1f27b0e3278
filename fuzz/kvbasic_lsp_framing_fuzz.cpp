// Fuzzes the language server's framing reader (MessageReader) alone: any
// bytes, then a line end and two well-framed messages. Whatever came
// before, the reader must not crash or loop, must hand out no body larger
// than the limit, and must find its way back to the frames: the second
// message is the last one it reads, whole. (The first may fall to a
// header that the bytes before it left unfinished.)
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "lsp/message_stream.h"

namespace {

std::string Frame(const std::string& body) { return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body; }

// Reads `stream` to its end; the last message read, and whether the reader
// kept within its bounds.
bool ReadAll(const std::string& stream, std::string& last)
{
    std::istringstream in(stream);
    kvlsp::MessageReader reader(in);
    std::string body, error;
    // Every call takes at least one byte, or puts back a line once and then
    // takes it in the search for the next header.
    const std::size_t bound = 2 * stream.size() + 16;
    for (std::size_t calls = 0; calls < bound; ++calls) {
        const kvlsp::ReadStatus status = reader.Next(body, error);
        if (status == kvlsp::ReadStatus::End) return true;
        if (status == kvlsp::ReadStatus::Message) {
            if (body.size() > kvlsp::kMaxMessageBytes) return false;
            last = body;
        }
    }
    std::fprintf(stderr, "the reader did not reach the end in %zu calls\n", bound);
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string garbage(reinterpret_cast<const char*>(data), size);
    std::string last;
    if (!ReadAll(garbage, last)) std::abort();

    // A header inside a string is no header: the second body holds one.
    const std::string first = R"({"jsonrpc":"2.0","method":"initialized","params":{}})";
    const std::string second = R"({"jsonrpc":"2.0","id":7,"method":"shutdown","params":"Content-Length: 3\r\n"})";
    last.clear();
    if (!ReadAll(garbage + "\r\n" + Frame(first) + Frame(second), last)) std::abort();
    if (last != second) {
        std::fprintf(stderr, "the reader lost the frames: its last message is %s\n", last.c_str());
        std::abort();
    }
    return 0;
}
