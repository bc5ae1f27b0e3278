// Every statement of the game reports its line's index through __dLn, so
// that the error log names the failing line: in the C++ that kvbasic
// translates from game/zorvelin.bas, each subroutine reports exactly the
// lines of its own range of the BASIC source that hold a statement, in
// order; comment and blank lines report nothing.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "support/child_process.h"

namespace {

const std::map<std::string, std::pair<int, int>> kLineRanges = {
    {"__MainGameSub_", {0, 150}}, {"level", {162, 188}},      {"zorvelin", {197, 304}},
    {"einsammeln", {313, 382}},   {"gegner1", {391, 413}},    {"gegner2", {422, 456}},
    {"gegner_vom_typ3", {465, 494}}, {"leben", {504, 513}},   {"intro", {523, 554}},
    {"gefangen", {575, 603}},     {"verloren", {614, 642}},   {"nextlevel", {653, 704}},
    {"gewonnen", {716, 743}},     {"music", {754, 778}},      {"vogel", {796, 825}},
};

// The __dLn line numbers of each subroutine defined in the translated game.
std::map<std::string, std::vector<int>> LinesPerSubroutine()
{
    std::map<std::string, std::vector<int>> lines;
    const std::regex definition(R"(^void (\w+)\(\)$)"), report(R"(__dLn\(0, (\d+)\);)");
    std::string text = testing_support::ReadWholeFile(std::string(KV_BUILD_DIR) + "/game/basic/zorvelin.cpp");
    std::string current;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        std::smatch match;
        if (std::regex_match(line, match, definition)) current = match[1];
        for (std::sregex_iterator it(line.begin(), line.end(), report), stop; it != stop; ++it)
            lines[current].push_back(std::stoi((*it)[1]));
        start = end + 1;
    }
    return lines;
}

// Whether a line of the BASIC source holds a statement or a label: not
// blank, not only a comment.
bool HoldsStatement(std::string line)
{
    const std::size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos || line[first] == '\'') return false;
    std::string word = line.substr(first, 4);
    for (char& c : word) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return !(word == "REM" || (word.substr(0, 3) == "REM" && (word.size() < 4 || word[3] == ' ' || word[3] == '\t')));
}

TEST(SourceLinesTest, EverySubroutineReportsTheStatementLinesOfItsDesignedRange)
{
    std::vector<bool> statement;
    {
        const std::string source = testing_support::ReadWholeFile(std::string(KV_SOURCE_DIR) + "/game/zorvelin.bas");
        std::size_t start = 0;
        while (start < source.size()) {
            std::size_t end = source.find('\n', start);
            if (end == std::string::npos) end = source.size();
            statement.push_back(HoldsStatement(source.substr(start, end - start)));
            start = end + 1;
        }
    }
    std::map<std::string, std::vector<int>> lines = LinesPerSubroutine();
    for (const auto& [name, range] : kLineRanges) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(lines.count(name));
        std::vector<int> expected;
        for (int index = range.first; index <= range.second; ++index)
            if (statement.at(static_cast<std::size_t>(index))) expected.push_back(index);
        // Each range ends on a statement (ENDSUB for the SUBs).
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(expected.back(), range.second);
        EXPECT_EQ(lines[name], expected);
    }
    // No line is reported from anywhere else (WinMain reports none).
    for (const auto& [name, numbers] : lines) EXPECT_TRUE(kLineRanges.count(name)) << name;
}

}  // namespace
