#include "files/wild_match.h"

namespace {

char Lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool CharacterMatches(char patternChar, char nameChar)
{
    if (patternChar == '?') return nameChar != '.';
    return patternChar != 0 && Lower(patternChar) == Lower(nameChar);
}

}  // namespace

bool szWildMatch(const char* pattern, const char* name)
{
    // Greedy with backtracking to the most recent '*': on a mismatch the '*'
    // swallows one more character of the name and matching resumes after it.
    const char* afterStar = nullptr;
    const char* starName = nullptr;
    while (*name != 0) {
        if (*pattern == '*') {
            while (*pattern == '*') ++pattern;  // a run of '*' is one '*'
            if (*pattern == 0) return true;
            afterStar = pattern;
            starName = name;
        } else if (CharacterMatches(*pattern, *name)) {
            ++pattern;
            ++name;
        } else if (afterStar != nullptr) {
            pattern = afterStar;
            name = ++starName;
        } else {
            return false;
        }
    }
    while (*pattern == '*') ++pattern;
    return *pattern == 0;
}
