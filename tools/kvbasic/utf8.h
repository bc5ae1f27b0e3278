// UTF-8, the encoding of BASIC sources and of the editors' protocols,
// beside Latin-1, the 8-bit code of the program's strings and fonts.
#pragma once

#include <string>
#include <string_view>

namespace kvbasic {

// Decodes the UTF-8 character at text[pos]; returns its length in bytes and
// stores its code point, or returns 0 for a malformed sequence (overlong
// forms, surrogates and values past U+10FFFF included).
int DecodeUtf8(std::string_view text, std::size_t pos, char32_t& code);

// Appends the UTF-8 bytes of `code` (at most U+10FFFF).
void AppendUtf8(std::string& out, char32_t code);

bool IsUtf8(std::string_view text);

// `text` as valid UTF-8: its UTF-8 characters as they are, every other byte
// read as a Latin-1 character (texts that mix the two, as the translator's
// messages quoting a string literal do).
std::string Utf8OrLatin1ToUtf8(std::string_view text);

}  // namespace kvbasic
