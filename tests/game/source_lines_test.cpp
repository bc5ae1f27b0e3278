// Every line of the game reports its index through __dLn, so that the
// error log names the failing line: in the C++ that kvbasic translates from
// game/zorvelin.bas, each subroutine numbers its lines consecutively over
// its own range of the BASIC source.
#include <gtest/gtest.h>

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

TEST(SourceLinesTest, EverySubroutineNumbersItsDesignedLinesWithoutGaps)
{
    std::map<std::string, std::vector<int>> lines = LinesPerSubroutine();
    for (const auto& [name, range] : kLineRanges) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(lines.count(name));
        const std::vector<int>& numbers = lines[name];
        ASSERT_EQ(static_cast<int>(numbers.size()), range.second - range.first + 1);
        for (std::size_t k = 0; k < numbers.size(); ++k) ASSERT_EQ(numbers[k], range.first + static_cast<int>(k));
    }
    // No line is reported from anywhere else (WinMain reports none).
    for (const auto& [name, numbers] : lines) EXPECT_TRUE(kLineRanges.count(name)) << name;
}

}  // namespace
