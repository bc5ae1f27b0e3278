#include "token_kinds.h"

#include <cctype>
#include <unordered_map>

namespace kvbasic {

namespace {

struct Spelling {
    TokenKind kind;
    std::string_view text;
};

// Every symbol and word with its spelling (words in upper case).
constexpr Spelling kSpellings[] = {
    {TokenKind::Plus, "+"},          {TokenKind::Minus, "-"},          {TokenKind::Star, "*"},
    {TokenKind::Slash, "/"},         {TokenKind::Backslash, "\\"},     {TokenKind::Caret, "^"},
    {TokenKind::Equal, "="},         {TokenKind::NotEqual, "<>"},      {TokenKind::Less, "<"},
    {TokenKind::Greater, ">"},       {TokenKind::LessEqual, "<="},     {TokenKind::GreaterEqual, ">="},
    {TokenKind::LeftParen, "("},     {TokenKind::RightParen, ")"},     {TokenKind::LeftBracket, "["},
    {TokenKind::RightBracket, "]"},  {TokenKind::Comma, ","},          {TokenKind::Colon, ":"},
    {TokenKind::Dot, "."},
    {TokenKind::If, "IF"},           {TokenKind::Then, "THEN"},        {TokenKind::Else, "ELSE"},
    {TokenKind::ElseIf, "ELSEIF"},   {TokenKind::EndIf, "ENDIF"},      {TokenKind::For, "FOR"},
    {TokenKind::To, "TO"},           {TokenKind::Step, "STEP"},        {TokenKind::Next, "NEXT"},
    {TokenKind::While, "WHILE"},     {TokenKind::Wend, "WEND"},        {TokenKind::Repeat, "REPEAT"},
    {TokenKind::Until, "UNTIL"},     {TokenKind::Break, "BREAK"},      {TokenKind::Continue, "CONTINUE"},
    {TokenKind::Return, "RETURN"},   {TokenKind::Gosub, "GOSUB"},      {TokenKind::Goto, "GOTO"},
    {TokenKind::Sub, "SUB"},         {TokenKind::EndSub, "ENDSUB"},    {TokenKind::Dim, "DIM"},
    {TokenKind::Rem, "REM"},         {TokenKind::And, "AND"},          {TokenKind::Or, "OR"},
    {TokenKind::Not, "NOT"},         {TokenKind::End, "END"},          {TokenKind::Select, "SELECT"},
    {TokenKind::EndSelect, "ENDSELECT"}, {TokenKind::Case, "CASE"},    {TokenKind::Is, "IS"},
    {TokenKind::Function, "FUNCTION"}, {TokenKind::EndFunction, "ENDFUNCTION"}, {TokenKind::Local, "LOCAL"},
    {TokenKind::Exit, "EXIT"},       {TokenKind::Data, "DATA"},        {TokenKind::Read, "READ"},
    {TokenKind::Restore, "RESTORE"}, {TokenKind::Const, "CONST"},      {TokenKind::Type, "TYPE"},
    {TokenKind::EndType, "ENDTYPE"}, {TokenKind::Include, "INCLUDE"},  {TokenKind::As, "AS"},
    {TokenKind::Mod, "MOD"},
};

constexpr std::size_t kLongestWord = 11;  // ENDFUNCTION

}  // namespace

TokenKind WordKind(std::string_view word)
{
    if (word.size() < 2 || word.size() > kLongestWord) return TokenKind::Name;
    char upper[kLongestWord];
    for (std::size_t k = 0; k < word.size(); ++k)
        upper[k] = static_cast<char>(std::toupper(static_cast<unsigned char>(word[k])));
    // Looked up for every name of every line: by hash, not by scanning.
    static const std::unordered_map<std::string_view, TokenKind> words = [] {
        std::unordered_map<std::string_view, TokenKind> table;
        for (const Spelling& spelling : kSpellings)
            if (IsWordKind(spelling.kind)) table.emplace(spelling.text, spelling.kind);
        return table;
    }();
    const auto found = words.find(std::string_view(upper, word.size()));
    return found == words.end() ? TokenKind::Name : found->second;
}

std::string_view KindSpelling(TokenKind kind)
{
    for (const Spelling& spelling : kSpellings)
        if (spelling.kind == kind) return spelling.text;
    return {};
}

}  // namespace kvbasic
