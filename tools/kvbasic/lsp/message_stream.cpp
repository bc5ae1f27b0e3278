#include "message_stream.h"

#include <cctype>
#include <istream>
#include <ostream>

namespace kvlsp {

namespace {

// Header lines are short; a longer one is no header.
constexpr std::size_t kMaxHeaderLine = 1024;

// One header line without its CR LF (a bare LF is taken as well). False at
// the end of the stream; `tooLong` when the line exceeded the limit (the
// rest of it is skipped).
bool ReadHeaderLine(std::istream& in, std::string& line, bool& tooLong)
{
    line.clear();
    tooLong = false;
    for (;;) {
        const int c = in.get();
        if (c == std::char_traits<char>::eof()) return false;
        if (c == '\n') break;
        if (line.size() < kMaxHeaderLine) line += static_cast<char>(c);
        else tooLong = true;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

bool EqualsIgnoringCase(const std::string& a, const char* b)
{
    std::size_t k = 0;
    for (; k < a.size() && b[k]; ++k)
        if (std::tolower(static_cast<unsigned char>(a[k])) != std::tolower(static_cast<unsigned char>(b[k]))) return false;
    return k == a.size() && b[k] == 0;
}

}  // namespace

ReadStatus ReadMessage(std::istream& in, std::string& body, std::string& error)
{
    body.clear();
    error.clear();
    long long length = -1;
    bool sawHeader = false;
    std::string line;
    for (;;) {
        bool tooLong = false;
        if (!ReadHeaderLine(in, line, tooLong)) return ReadStatus::End;
        if (line.empty()) {
            if (!sawHeader) continue;  // stray blank lines between messages
            break;
        }
        sawHeader = true;
        if (tooLong) {
            error = "header line longer than 1024 bytes";
            continue;
        }
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos) {
            error = "header line without ':'";
            continue;
        }
        if (!EqualsIgnoringCase(line.substr(0, colon), "Content-Length")) continue;
        std::size_t at = colon + 1;
        while (at < line.size() && line[at] == ' ') ++at;
        long long value = 0;
        std::size_t digits = 0;
        for (; at < line.size() && std::isdigit(static_cast<unsigned char>(line[at])) && digits < 12; ++at, ++digits)
            value = value * 10 + (line[at] - '0');
        while (at < line.size() && line[at] == ' ') ++at;
        if (digits == 0 || at != line.size()) {
            error = "Content-Length is not a number";
            continue;
        }
        length = value;
    }
    if (!error.empty()) return ReadStatus::Bad;
    if (length < 0) {
        error = "message without Content-Length";
        return ReadStatus::Bad;
    }
    if (static_cast<unsigned long long>(length) > kMaxMessageBytes) {
        in.ignore(length);
        if (in.eof()) return ReadStatus::End;
        error = "message of " + std::to_string(length) + " bytes is too large";
        return ReadStatus::Bad;
    }
    body.resize(static_cast<std::size_t>(length));
    in.read(body.data(), length);
    if (in.gcount() != length) return ReadStatus::End;
    return ReadStatus::Message;
}

void WriteMessage(std::ostream& out, const std::string& body)
{
    out << "Content-Length: " << body.size() << "\r\n\r\n" << body;
    out.flush();
}

}  // namespace kvlsp
