#include "utf8.h"

namespace kvbasic {

int DecodeUtf8(std::string_view text, std::size_t pos, char32_t& code)
{
    const unsigned char first = static_cast<unsigned char>(text[pos]);
    int length = 0;
    if (first < 0x80) {
        code = first;
        return 1;
    } else if ((first & 0xE0) == 0xC0) {
        length = 2;
        code = first & 0x1F;
    } else if ((first & 0xF0) == 0xE0) {
        length = 3;
        code = first & 0x0F;
    } else if ((first & 0xF8) == 0xF0) {
        length = 4;
        code = first & 0x07;
    } else {
        return 0;
    }
    if (pos + length > text.size()) return 0;
    for (int k = 1; k < length; ++k) {
        const unsigned char next = static_cast<unsigned char>(text[pos + k]);
        if ((next & 0xC0) != 0x80) return 0;
        code = (code << 6) | (next & 0x3F);
    }
    static const char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

void AppendUtf8(std::string& out, char32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

bool IsUtf8(std::string_view text)
{
    char32_t code = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        if (static_cast<unsigned char>(text[pos]) < 0x80) {  // the common case, without a call
            ++pos;
            continue;
        }
        const int length = DecodeUtf8(text, pos, code);
        if (length == 0) return false;
        pos += length;
    }
    return true;
}

std::string Utf8OrLatin1ToUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    char32_t code = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        const int length = DecodeUtf8(text, pos, code);
        if (length == 0) {
            AppendUtf8(out, static_cast<unsigned char>(text[pos]));
            ++pos;
        } else {
            out.append(text, pos, length);
            pos += length;
        }
    }
    return out;
}

}  // namespace kvbasic
