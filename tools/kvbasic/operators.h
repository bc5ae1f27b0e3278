// The binary operators of the language in one table, which the parser
// (how tightly each binds) and the checker and emitter (what it takes and
// how it is written in C++) share.
#pragma once

#include "token_kinds.h"

namespace kvbasic {

struct BinaryOperator {
    enum class Kind {
        Logical,     // AND, OR: numbers in, 1 or 0 out, the right side only when it matters
        Comparison,  // two numbers or two strings, 1 or 0 out
        Arithmetic,  // numbers (and strings for + alone)
    };
    TokenKind token;   // the token that writes it
    const char* word;  // as written, keywords in upper case
    int level;         // BASIC binding: higher binds tighter (NOT is 3, the unary minus 9, ^ 10)
    Kind kind;
    const char* cpp;   // the C++ operator, or the runtime function for a call
    bool isCall;       // written as cpp(left, right)
    int cppLevel;      // the C++ binding of the written form, loosest 1 (||) to 7 (a call)
};

inline constexpr BinaryOperator kBinaryOperators[] = {
    {TokenKind::Or, "OR", 1, BinaryOperator::Kind::Logical, "||", false, 1},
    {TokenKind::And, "AND", 2, BinaryOperator::Kind::Logical, "&&", false, 2},
    {TokenKind::Equal, "=", 4, BinaryOperator::Kind::Comparison, "==", false, 3},
    {TokenKind::NotEqual, "<>", 4, BinaryOperator::Kind::Comparison, "!=", false, 3},
    {TokenKind::Less, "<", 4, BinaryOperator::Kind::Comparison, "<", false, 3},
    {TokenKind::Greater, ">", 4, BinaryOperator::Kind::Comparison, ">", false, 3},
    {TokenKind::LessEqual, "<=", 4, BinaryOperator::Kind::Comparison, "<=", false, 3},
    {TokenKind::GreaterEqual, ">=", 4, BinaryOperator::Kind::Comparison, ">=", false, 3},
    {TokenKind::Plus, "+", 5, BinaryOperator::Kind::Arithmetic, "+", false, 4},
    {TokenKind::Minus, "-", 5, BinaryOperator::Kind::Arithmetic, "-", false, 4},
    {TokenKind::Mod, "MOD", 6, BinaryOperator::Kind::Arithmetic, "MOD", true, 7},
    {TokenKind::Backslash, "\\", 7, BinaryOperator::Kind::Arithmetic, "IDIV", true, 7},
    {TokenKind::Star, "*", 8, BinaryOperator::Kind::Arithmetic, "*", false, 5},
    {TokenKind::Slash, "/", 8, BinaryOperator::Kind::Arithmetic, "/", false, 5},
    {TokenKind::Caret, "^", 10, BinaryOperator::Kind::Arithmetic, "POW", true, 7},
};

inline constexpr int kNotLevel = 3;          // NOT binds between AND and the comparisons
inline constexpr int kUnaryLevel = 9;        // - and + of one operand
inline constexpr int kPowerLevel = 10;       // ^, tighter than the unary minus: -2 ^ 2 is -4
inline constexpr int kUnaryCppLevel = 6;     // C++ binding of the written unary operators
inline constexpr int kAtomCppLevel = 7;      // literals, names, calls

// The operator a token of `kind` writes, or nullptr.
inline const BinaryOperator* FindBinaryOperator(TokenKind kind)
{
    for (const BinaryOperator& op : kBinaryOperators)
        if (kind == op.token) return &op;
    return nullptr;
}

}  // namespace kvbasic
