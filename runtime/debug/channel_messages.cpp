#include "debug/channel_messages.h"

#include <cstdio>

namespace kvdebug {

namespace {

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string EscapeField(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (byte < 32) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02x", byte);
            out += escape;
        } else {
            out += c;
        }
    }
    return out;
}

namespace {

template <typename Fields>
std::string Joined(const Fields& fields)
{
    std::string out;
    bool first = true;
    for (const std::string_view field : fields) {
        if (!first) out += '\t';
        first = false;
        out += EscapeField(field);
    }
    return out + "\n";
}

}  // namespace

std::string Message(std::initializer_list<std::string_view> fields) { return Joined(fields); }

std::string Message(const std::vector<std::string>& fields) { return Joined(fields); }

std::vector<std::string> SplitMessage(std::string_view line)
{
    std::vector<std::string> fields(1);
    for (std::size_t k = 0; k < line.size(); ++k) {
        const char c = line[k];
        if (c == '\t') {
            fields.emplace_back();
            continue;
        }
        if (c != '\\' || k + 1 >= line.size()) {
            fields.back() += c;
            continue;
        }
        const char next = line[k + 1];
        if (next == '\\' || next == 't' || next == 'n' || next == 'r') {
            fields.back() += next == 't' ? '\t' : next == 'n' ? '\n' : next == 'r' ? '\r' : '\\';
            ++k;
        } else if (next == 'x' && k + 3 < line.size() && HexDigit(line[k + 2]) >= 0 && HexDigit(line[k + 3]) >= 0) {
            fields.back() += static_cast<char>(HexDigit(line[k + 2]) * 16 + HexDigit(line[k + 3]));
            k += 3;
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

}  // namespace kvdebug
