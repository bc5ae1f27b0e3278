#include "source_text.h"

#include <cctype>

namespace kvlsp {

bool IsNameCharacter(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$';
}

Span NameAt(std::string_view line, std::size_t at)
{
    // Names as the lexer reads them, from the start of the line, so that
    // the digits of a number (1e3) are no name.
    for (std::size_t k = 0; k < line.size();) {
        const unsigned char c = static_cast<unsigned char>(line[k]);
        if (std::isalpha(c)) {
            const std::size_t start = k;
            while (k < line.size() && (std::isalnum(static_cast<unsigned char>(line[k])) || line[k] == '_')) ++k;
            if (k < line.size() && line[k] == '$') ++k;
            if (start <= at && at <= k) return {start, k};
            if (start > at) break;
        } else if (std::isdigit(c)) {
            while (k < line.size() && (std::isalnum(static_cast<unsigned char>(line[k])) || line[k] == '.')) ++k;
        } else {
            ++k;
        }
    }
    return {at, at};
}

Span NameStartingAt(std::string_view line, std::size_t at)
{
    if (at >= line.size() || !std::isalpha(static_cast<unsigned char>(line[at]))) return {at, at};
    if (at > 0) {
        const char before = line[at - 1];
        if (IsNameCharacter(before)) return {at, at};
        // The exponent of "1.e3" belongs to its number.
        if (before == '.' && at > 1 && std::isdigit(static_cast<unsigned char>(line[at - 2]))) return {at, at};
    }
    std::size_t end = at;
    while (end < line.size() && (std::isalnum(static_cast<unsigned char>(line[end])) || line[end] == '_')) ++end;
    if (end < line.size() && line[end] == '$') ++end;
    return {at, end};
}

std::string WordBefore(std::string_view line, std::size_t at)
{
    if (at > line.size()) at = line.size();
    while (at > 0 && IsNameCharacter(line[at - 1])) --at;
    while (at > 0 && (line[at - 1] == ' ' || line[at - 1] == '\t')) --at;
    std::size_t start = at;
    while (start > 0 && IsNameCharacter(line[start - 1])) --start;
    return Upper(line.substr(start, at - start));
}

bool InStringOrComment(std::string_view line, std::size_t at)
{
    bool inString = false;
    for (std::size_t k = 0; k < at && k < line.size(); ++k) {
        if (line[k] == '"') inString = !inString;
        else if (line[k] == '\'' && !inString) return true;
    }
    if (inString) return true;
    // REM as the first word of the line (or after a label) starts a comment.
    std::size_t word = line.find_first_not_of(" \t");
    if (word == std::string_view::npos) return false;
    Span first = NameAt(line, word);
    if (!first.Empty() && first.end < line.size() && line[first.end] == ':') {
        word = line.find_first_not_of(" \t", first.end + 1);
        if (word == std::string_view::npos) return false;
        first = NameAt(line, word);
    }
    return !first.Empty() && Upper(line.substr(first.start, first.end - first.start)) == "REM" && at > first.end;
}

std::string Upper(std::string_view text)
{
    std::string upper(text);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

Json MakeRange(int startLine, int startCharacter, int endLine, int endCharacter)
{
    return Json::Object()
        .Set("start", Json::Object().Set("line", startLine).Set("character", startCharacter))
        .Set("end", Json::Object().Set("line", endLine).Set("character", endCharacter));
}

}  // namespace kvlsp
