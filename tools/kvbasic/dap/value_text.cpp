#include "value_text.h"

#include <charconv>
#include <cmath>

#include "utf8.h"

namespace kvdap {

std::string Latin1ToUtf8(std::string_view latin1)
{
    std::string out;
    out.reserve(latin1.size());
    for (const char c : latin1) kvbasic::AppendUtf8(out, static_cast<unsigned char>(c));
    return out;
}

std::optional<std::string> Utf8ToLatin1(std::string_view utf8, std::string& error)
{
    std::string out;
    char32_t code = 0;
    for (std::size_t pos = 0; pos < utf8.size();) {
        const int length = kvbasic::DecodeUtf8(utf8, pos, code);
        if (length == 0 || code > 0xFF) {
            error = "the text holds a character outside Latin-1, which the program's strings cannot hold";
            return std::nullopt;
        }
        out += static_cast<char>(code);
        pos += length;
    }
    return out;
}

std::string NumberText(double number)
{
    if (std::isnan(number)) return "nan";
    if (std::isinf(number)) return number < 0 ? "-inf" : "inf";
    if (number == 0) return "0";
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
    return std::string(buffer, result.ptr);
}

}  // namespace kvdap
