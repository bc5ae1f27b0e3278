#include "value_text.h"

#include <charconv>
#include <cmath>

namespace kvdap {

std::string Latin1ToUtf8(std::string_view latin1)
{
    std::string out;
    out.reserve(latin1.size());
    for (const char c : latin1) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (u >> 6));
            out += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return out;
}

std::optional<std::string> Utf8ToLatin1(std::string_view utf8, std::string& error)
{
    std::string out;
    for (std::size_t k = 0; k < utf8.size(); ++k) {
        const unsigned char u = static_cast<unsigned char>(utf8[k]);
        if (u < 0x80) {
            out += static_cast<char>(u);
        } else if ((u == 0xC2 || u == 0xC3) && k + 1 < utf8.size() && (static_cast<unsigned char>(utf8[k + 1]) & 0xC0) == 0x80) {
            out += static_cast<char>(((u & 0x03) << 6) | (static_cast<unsigned char>(utf8[k + 1]) & 0x3F));
            ++k;
        } else {
            error = "the text holds a character outside Latin-1, which the program's strings cannot hold";
            return std::nullopt;
        }
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
