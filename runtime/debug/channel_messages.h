// The lines of the debug channel (docs/debug-channel.md): one message a
// line, its fields separated by TAB, and in a field `\` written `\\`, TAB
// `\t`, line feed `\n`, carriage return `\r` and any other byte below 32
// `\xHH`. Both ends of the channel use these: the program's agent and the
// debug adapter.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace kvdebug {

std::string EscapeField(std::string_view bytes);

// A whole message: the fields escaped, TAB between them, `\n` at the end.
std::string Message(std::initializer_list<std::string_view> fields);
std::string Message(const std::vector<std::string>& fields);

// The fields of one line (its `\n` already taken off), unescaped. A
// backslash that starts no known escape stands for itself.
std::vector<std::string> SplitMessage(std::string_view line);

}  // namespace kvdebug
