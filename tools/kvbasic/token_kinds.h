// What a token is, decided once by the lexer: the parser compares kinds,
// never spellings. Words are matched case-insensitively. A word token keeps
// its kind even where the word is only a name (LOCAL, TYPE, CASE, ... are
// words only where they start their statement, so that older programs keep
// variables of these names): the reserved words alone can never be names.
#pragma once

#include <string_view>

namespace kvbasic {

enum class TokenKind : unsigned char {
    // Not a symbol or word
    EndOfLine,
    Name,
    Number,
    String,
    // Symbols
    Plus,
    Minus,
    Star,
    Slash,
    Backslash,
    Caret,
    Equal,
    NotEqual,
    Less,
    Greater,
    LessEqual,
    GreaterEqual,
    LeftParen,
    RightParen,
    LeftBracket,
    RightBracket,
    Comma,
    Colon,
    Dot,
    // Reserved words: never names
    If,
    Then,
    Else,
    ElseIf,
    EndIf,
    For,
    To,
    Step,
    Next,
    While,
    Wend,
    Repeat,
    Until,
    Break,
    Continue,
    Return,
    Gosub,
    Goto,
    Sub,
    EndSub,
    Dim,
    Rem,
    And,
    Or,
    Not,
    // Contextual words: names except where they start their statement
    // (or, for MOD, stand between two operands)
    End,
    Select,
    EndSelect,
    Case,
    Is,
    Function,
    EndFunction,
    Local,
    Exit,
    Data,
    Read,
    Restore,
    Const,
    Type,
    EndType,
    Include,
    As,
    Mod,
};

// The kind of a word as written (any case), or Name.
TokenKind WordKind(std::string_view word);

// The word of a word kind in upper case, the symbol of a symbol kind.
std::string_view KindSpelling(TokenKind kind);

// A word (reserved or contextual), which is written like a name.
inline bool IsWordKind(TokenKind kind) { return kind >= TokenKind::If; }

// A name or any word: what starts with a letter.
inline bool IsIdentifierKind(TokenKind kind) { return kind == TokenKind::Name || IsWordKind(kind); }

// A word that can never be a name.
inline bool IsReservedWord(TokenKind kind) { return kind >= TokenKind::If && kind <= TokenKind::Not; }

}  // namespace kvbasic
