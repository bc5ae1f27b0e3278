// Splits one line of BASIC source into tokens. The source is UTF-8: only
// string literals and comments may hold characters beyond ASCII, and the
// characters of a string literal must exist in Latin-1, the 8-bit code the
// fonts draw; the literal's token holds its Latin-1 bytes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "diagnostics.h"
#include "token_kinds.h"

namespace kvbasic {

struct Token {
    TokenKind kind = TokenKind::EndOfLine;
    std::string text;  // identifier ('$' included) as written, number, Latin-1 string bytes, or symbol
    int column = 0;    // 1-based, in characters
};

// The tokens of line `lineNumber` (1-based) up to a comment, always ending
// with an EndOfLine token. Errors go to `diagnostics`; the line's comment, if any,
// is left out.
std::vector<Token> TokenizeLine(std::string_view line, int lineNumber, Diagnostics& diagnostics);

// Checks that `text` is valid UTF-8 without control characters other than
// tab; reports the first fault of the line.
bool CheckLineEncoding(std::string_view text, int lineNumber, Diagnostics& diagnostics);

}  // namespace kvbasic
