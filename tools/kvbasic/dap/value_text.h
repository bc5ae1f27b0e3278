// How the program's values read as text in the editor: its strings are
// Latin-1 bytes, the protocol's are UTF-8; numbers show the shortest text
// that reads back to them, as the program writes them on the channel.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kvdap {

std::string Latin1ToUtf8(std::string_view latin1);
// The Latin-1 bytes of UTF-8 text; nothing, with `error`, when a character
// is not in Latin-1 (or the text is no UTF-8).
std::optional<std::string> Utf8ToLatin1(std::string_view utf8, std::string& error);
// "3", "0.1", "-2.5e-07", "inf", "nan".
std::string NumberText(double number);

}  // namespace kvdap
