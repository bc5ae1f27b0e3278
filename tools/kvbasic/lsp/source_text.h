// Reading a line of BASIC around the editor's cursor: the name under it,
// the word before it, whether it is inside a string or comment, and the
// protocol's ranges.
#pragma once

#include <string>
#include <string_view>

#include "json.h"

namespace kvlsp {

bool IsNameCharacter(char c);

// The name (letters, digits, '_', a final '$') around byte `at` of the
// line: [start, end) in bytes; start == end when there is none.
struct Span {
    std::size_t start = 0, end = 0;
    bool Empty() const { return start == end; }
};
Span NameAt(std::string_view line, std::size_t at);
// The name that starts at byte `at`, found without reading the line before
// it (a letter after no name character and no number); empty when none does.
Span NameStartingAt(std::string_view line, std::size_t at);

// The upper-case word before byte `at`, skipping the name being typed and
// blanks before it ("GOSUB ma|" -> "GOSUB").
std::string WordBefore(std::string_view line, std::size_t at);

// Whether byte `at` is inside a string literal or a comment.
bool InStringOrComment(std::string_view line, std::size_t at);

std::string Upper(std::string_view text);

// {"start": {line, character}, "end": {...}} in UTF-16 positions.
Json MakeRange(int startLine, int startCharacter, int endLine, int endCharacter);

}  // namespace kvlsp
