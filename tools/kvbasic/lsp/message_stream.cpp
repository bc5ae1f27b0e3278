#include "message_stream.h"

#include <cctype>
#include <istream>
#include <ostream>

namespace kvlsp {

namespace {

// Header lines are short; a longer one is no header.
constexpr std::size_t kMaxHeaderLine = 1024;
constexpr int kEnd = std::char_traits<char>::eof();

// The field that starts every frame, matched without regard to case.
constexpr char kField[] = "content-length:";
constexpr std::size_t kFieldLength = sizeof kField - 1;

bool EqualsIgnoringCase(const std::string& a, const char* b)
{
    std::size_t k = 0;
    for (; k < a.size() && b[k]; ++k)
        if (std::tolower(static_cast<unsigned char>(a[k])) != std::tolower(static_cast<unsigned char>(b[k]))) return false;
    return k == a.size() && b[k] == 0;
}

bool IsFieldName(const std::string& name)
{
    if (name.empty()) return false;
    for (const char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_') return false;
    return true;
}

// Follows bytes as JSON does (inside a string or not) and tells when the
// bytes outside strings have spelt "Content-Length:". A raw line end ends a
// string: JSON has none inside one, and a broken body must not hide the
// headers after it.
class FieldScanner {
public:
    // True when `c` completes the field name.
    bool Feed(int c)
    {
        if (c == '\r' || c == '\n') {
            inString_ = escaped_ = false;
            matched_ = 0;
            return false;
        }
        if (inString_) {
            if (escaped_) escaped_ = false;
            else if (c == '\\') escaped_ = true;
            else if (c == '"') inString_ = false;
            return false;
        }
        if (c == '"') {
            inString_ = true;
            matched_ = 0;
            return false;
        }
        if (std::tolower(c) == kField[matched_]) {
            if (++matched_ == kFieldLength) {
                matched_ = 0;
                return true;
            }
            return false;
        }
        // The field name repeats no prefix of itself but its first letter.
        matched_ = std::tolower(c) == kField[0] ? 1 : 0;
        return false;
    }
    std::size_t Matched() const { return matched_; }

private:
    bool inString_ = false, escaped_ = false;
    std::size_t matched_ = 0;
};

}  // namespace

MessageReader::MessageReader(std::istream& in) : in_(in) {}

int MessageReader::Get()
{
    if (!pushedBack_.empty()) {
        const unsigned char c = static_cast<unsigned char>(pushedBack_.back());
        pushedBack_.pop_back();
        return c;
    }
    return in_.rdbuf()->sbumpc();
}

bool MessageReader::InputWaiting() const
{
    return !pushedBack_.empty() || in_.rdbuf()->in_avail() > 0;
}

bool MessageReader::SkipToHeader()
{
    FieldScanner scanner;
    for (;;) {
        const int c = Get();
        if (c == kEnd) return false;
        if (scanner.Feed(c)) return true;
    }
}

ReadStatus MessageReader::Header(long long& length, std::string& error)
{
    length = -1;
    bool sawHeader = false;
    std::string line;
    for (;;) {
        line.clear();
        if (fieldRead_) line = "Content-Length:";
        const bool continued = fieldRead_;
        fieldRead_ = false;
        int c;
        while ((c = Get()) != kEnd && c != '\n' && line.size() <= kMaxHeaderLine) line += static_cast<char>(c);
        if (c == kEnd) return ReadStatus::End;
        if (c != '\n') {
            // Too long for a header: search the rest of it for one.
            // (Past a field name already read, so that the search moves on.)
            line += static_cast<char>(c);
            pushedBack_.append(line.rbegin(), line.rend() - (continued ? kFieldLength : 0));
            error = "header line longer than 1024 bytes";
            return ReadStatus::Bad;
        }
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) {
            if (!sawHeader) continue;  // stray blank lines between messages
            return ReadStatus::Message;
        }
        sawHeader = true;
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos || !IsFieldName(line.substr(0, colon))) {
            // No header line: perhaps a body whose frame was lost, with the
            // next header behind it. Searched again from its start.
            if (!continued) {
                pushedBack_ += '\n';
                pushedBack_.append(line.rbegin(), line.rend());
            }
            error = colon == std::string::npos ? "header line without ':'" : "a header line that is no field";
            return ReadStatus::Bad;
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
            if (error.empty()) error = "Content-Length is not a number";
            continue;
        }
        length = value;
    }
}

bool MessageReader::Body(long long length, std::string& body, bool& ended)
{
    ended = false;
    body.clear();
    body.reserve(static_cast<std::size_t>(length));
    FieldScanner scanner;
    for (long long k = 0; k < length; ++k) {
        const int c = Get();
        if (c == kEnd) {
            ended = true;
            return false;
        }
        body += static_cast<char>(c);
        if (scanner.Feed(c)) {
            // The length ran past this body into the next message's header.
            body.resize(body.size() - kFieldLength);
            fieldRead_ = true;
            return false;
        }
    }
    // The body ends inside what may be the next header's field name (its
    // length was a few bytes too long): look at the bytes after it.
    if (scanner.Matched() > 0) {
        std::string ahead;
        while (scanner.Matched() > 0) {
            const int c = Get();
            if (c == kEnd) break;
            ahead += static_cast<char>(c);
            if (scanner.Feed(c)) {
                fieldRead_ = true;
                return false;
            }
        }
        pushedBack_.append(ahead.rbegin(), ahead.rend());
    }
    return true;
}

ReadStatus MessageReader::Next(std::string& body, std::string& error)
{
    body.clear();
    error.clear();
    if (searching_) {
        searching_ = false;
        if (!SkipToHeader()) return ReadStatus::End;
        fieldRead_ = true;
    }
    long long length = -1;
    const ReadStatus header = Header(length, error);
    if (header == ReadStatus::End) return header;
    if (header == ReadStatus::Bad || !error.empty() || length <= 0 ||
        static_cast<unsigned long long>(length) > kMaxMessageBytes) {
        if (error.empty())
            error = length < 0    ? "message without Content-Length"
                    : length == 0 ? "message of Content-Length 0"
                                  : "message of " + std::to_string(length) + " bytes is too large";
        searching_ = true;
        return ReadStatus::Bad;
    }
    bool ended = false;
    if (Body(length, body, ended)) return ReadStatus::Message;
    if (ended) return ReadStatus::End;
    error = "message shorter than its Content-Length of " + std::to_string(length);
    body.clear();
    return ReadStatus::Bad;
}

void WriteMessage(std::ostream& out, const std::string& body)
{
    out << "Content-Length: " << body.size() << "\r\n\r\n" << body;
    out.flush();
}

}  // namespace kvlsp
