#include "files/command_line.h"

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

}  // namespace

std::vector<std::string> SplitCommandLine(const char* line)
{
    std::vector<std::string> words;
    const char* p = line;
    for (;;) {
        while (IsBlank(*p)) ++p;
        if (*p == 0) break;
        std::string word;
        bool quoted = false;
        while (*p != 0 && (quoted || !IsBlank(*p))) {
            if (*p == '\\') {
                int backslashes = 0;
                while (*p == '\\') {
                    ++backslashes;
                    ++p;
                }
                if (*p == '"') {
                    word.append(static_cast<std::size_t>(backslashes / 2), '\\');
                    if (backslashes % 2 == 1) {
                        word += '"';
                        ++p;
                    }
                    // An even run leaves the quote to group, below.
                } else {
                    word.append(static_cast<std::size_t>(backslashes), '\\');
                }
            } else if (*p == '"') {
                if (quoted && p[1] == '"') {
                    word += '"';
                    p += 2;
                } else {
                    quoted = !quoted;
                    ++p;
                }
            } else {
                word += *p++;
            }
        }
        words.push_back(word);
    }
    return words;
}

std::string JoinCommandLine(const std::vector<std::string>& words)
{
    std::string line;
    for (const std::string& word : words) {
        if (!line.empty()) line += ' ';
        if (!word.empty() && word.find_first_of(" \t\"") == std::string::npos) {
            line += word;
            continue;
        }
        line += '"';
        std::size_t backslashes = 0;
        for (char c : word) {
            if (c == '\\') {
                ++backslashes;
                continue;
            }
            // Backslashes before a quote are doubled, and the quote escaped.
            line.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
            backslashes = 0;
            line += c;
        }
        // Backslashes before the closing quote are doubled too.
        line.append(backslashes * 2, '\\');
        line += '"';
    }
    return line;
}
