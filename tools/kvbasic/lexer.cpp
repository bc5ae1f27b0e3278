#include "lexer.h"

#include <cctype>
#include <cstdio>

#include "utf8.h"

namespace kvbasic {

namespace {

// The kind of the symbol starting with `c` (`next` may join it: <>, <=,
// >=), or EndOfLine when `c` starts none.
TokenKind SymbolKind(char c, char next, bool& twoCharacters)
{
    twoCharacters = false;
    switch (c) {
    case '+': return TokenKind::Plus;
    case '-': return TokenKind::Minus;
    case '*': return TokenKind::Star;
    case '/': return TokenKind::Slash;
    case '\\': return TokenKind::Backslash;
    case '^': return TokenKind::Caret;
    case '=': return TokenKind::Equal;
    case '(': return TokenKind::LeftParen;
    case ')': return TokenKind::RightParen;
    case '[': return TokenKind::LeftBracket;
    case ']': return TokenKind::RightBracket;
    case ',': return TokenKind::Comma;
    case ':': return TokenKind::Colon;
    case '<':
        twoCharacters = next == '>' || next == '=';
        return next == '>' ? TokenKind::NotEqual : next == '=' ? TokenKind::LessEqual : TokenKind::Less;
    case '>':
        twoCharacters = next == '=';
        return twoCharacters ? TokenKind::GreaterEqual : TokenKind::Greater;
    default: return TokenKind::EndOfLine;
    }
}

}  // namespace

bool CheckLineEncoding(std::string_view text, int lineNumber, Diagnostics& diagnostics)
{
    int column = 1;
    for (std::size_t pos = 0; pos < text.size(); ++column) {
        char32_t code = 0;
        const int length = DecodeUtf8(text, pos, code);
        if (length == 0) {
            diagnostics.Error(lineNumber, column, "the line is not valid UTF-8");
            return false;
        }
        if ((code < 0x20 && code != '\t') || code == 0x7F) {
            char message[80];
            std::snprintf(message, sizeof message, "control character U+%04X in the source", static_cast<unsigned>(code));
            diagnostics.Error(lineNumber, column, message);
            return false;
        }
        pos += length;
    }
    return true;
}

std::vector<Token> TokenizeLine(std::string_view line, int lineNumber, Diagnostics& diagnostics)
{
    std::vector<Token> tokens;
    std::size_t pos = 0;
    int column = 1;
    // Advances over one character (of any length) and counts its column.
    auto advance = [&]() {
        char32_t code = 0;
        const int length = DecodeUtf8(line, pos, code);
        pos += length > 0 ? length : 1;
        ++column;
    };
    while (pos < line.size()) {
        const char c = line[pos];
        if (c == ' ' || c == '\t') {
            advance();
            continue;
        }
        if (c == '\'') break;  // a comment runs to the end of the line
        Token token;
        token.column = column;
        if (std::isalpha(static_cast<unsigned char>(c))) {
            while (pos < line.size() && (std::isalnum(static_cast<unsigned char>(line[pos])) || line[pos] == '_')) {
                token.text += line[pos];
                advance();
            }
            if (pos < line.size() && line[pos] == '$') {
                token.text += '$';
                advance();
            }
            // REM at the start of a statement (first on the line, or after
            // a label's or a separator's ':') makes the rest a comment,
            // whatever characters it holds.
            token.kind = WordKind(token.text);
            if (token.kind == TokenKind::Rem && (tokens.empty() || tokens.back().kind == TokenKind::Colon)) {
                tokens.push_back(std::move(token));
                break;
            }
        } else if (std::isdigit(static_cast<unsigned char>(c)) ||
                   (c == '.' && pos + 1 < line.size() && std::isdigit(static_cast<unsigned char>(line[pos + 1])))) {
            token.kind = TokenKind::Number;
            auto digits = [&]() {
                while (pos < line.size() && std::isdigit(static_cast<unsigned char>(line[pos]))) {
                    token.text += line[pos];
                    advance();
                }
            };
            digits();
            if (pos < line.size() && line[pos] == '.') {
                token.text += '.';
                advance();
                digits();
            }
            if (pos < line.size() && (line[pos] == 'e' || line[pos] == 'E')) {
                std::size_t look = pos + 1;
                if (look < line.size() && (line[look] == '+' || line[look] == '-')) ++look;
                if (look < line.size() && std::isdigit(static_cast<unsigned char>(line[look]))) {
                    while (pos < look) {
                        token.text += line[pos];
                        advance();
                    }
                    digits();
                }
            }
            if (pos < line.size() && (std::isalpha(static_cast<unsigned char>(line[pos])) || line[pos] == '_')) {
                diagnostics.Error(lineNumber, column, "a number cannot run into a name");
                return {{TokenKind::EndOfLine, "", column}};
            }
        } else if (c == '"') {
            token.kind = TokenKind::String;
            advance();
            bool closed = false;
            while (pos < line.size()) {
                if (line[pos] == '"') {
                    closed = true;
                    advance();
                    break;
                }
                char32_t code = 0;
                const int length = DecodeUtf8(line, pos, code);
                if (code > 0xFF) {
                    char message[120];
                    std::snprintf(message, sizeof message,
                                  "the character U+%04X in this string is not in Latin-1, the character set of the fonts",
                                  static_cast<unsigned>(code));
                    diagnostics.Error(lineNumber, column, message);
                }
                token.text += static_cast<char>(code & 0xFF);
                pos += length > 0 ? length : 1;
                ++column;
            }
            if (!closed) {
                diagnostics.Error(lineNumber, token.column, "the string has no closing quote");
                return {{TokenKind::EndOfLine, "", column}};
            }
            if (token.text.size() > 1022)
                diagnostics.Error(lineNumber, token.column, "the string is longer than the 1022 characters a string holds");
        } else if (c == '.') {
            // The '.' of a record's field (a '.' before a digit starts a number).
            token.kind = TokenKind::Dot;
            token.text = ".";
            advance();
        } else if (bool two = false;
                   (token.kind = SymbolKind(c, pos + 1 < line.size() ? line[pos + 1] : '\0', two)) != TokenKind::EndOfLine) {
            token.text = c;
            advance();
            if (two) {
                token.text += line[pos];
                advance();
            }
        } else {
            char32_t code = 0;
            DecodeUtf8(line, pos, code);
            char message[80];
            if (code < 0x80)
                std::snprintf(message, sizeof message, "unexpected character '%c'", static_cast<char>(code));
            else
                std::snprintf(message, sizeof message, "unexpected character U+%04X outside a string or comment",
                              static_cast<unsigned>(code));
            diagnostics.Error(lineNumber, column, message);
            return {{TokenKind::EndOfLine, "", column}};
        }
        // REM as the statement of a line (after a label, if any) makes the
        // rest of the line a comment, whatever characters it holds.
        const bool statementStart =
            tokens.empty() || (tokens.size() == 2 && IsIdentifierKind(tokens[0].kind) && tokens[1].kind == TokenKind::Colon);
        const bool rem = token.kind == TokenKind::Rem;
        tokens.push_back(std::move(token));
        if (rem && statementStart) break;
    }
    tokens.push_back({TokenKind::EndOfLine, "", column});
    return tokens;
}

}  // namespace kvbasic
