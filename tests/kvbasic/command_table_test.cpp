// The command table, made from the command list, is the translator's only
// knowledge of the runtime: docs/commands.md must document exactly its
// commands with their numbers of arguments, and every row must describe the
// C++ function as the translator calls it (a program calling every command
// with arguments of the listed kinds compiles).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "core/command_table.h"
#include "support/child_process.h"
#include "translator.h"

namespace {

// How many arguments a command takes: all of them, and those it needs.
struct ArgumentCount {
    int most = 0;
    int required = 0;
    bool operator==(const ArgumentCount&) const = default;
};

std::string Describe(const ArgumentCount& count)
{
    return count.required == count.most ? std::to_string(count.most)
                                        : std::to_string(count.required) + " to " + std::to_string(count.most);
}

ArgumentCount CountOfRow(const kvcommands::Command& command)
{
    ArgumentCount count;
    std::istringstream kinds(command.arguments);
    for (std::string kind; kinds >> kind;) {
        ++count.most;
        if (kind.back() != '?') count.required = count.most;
    }
    return count;
}

// The arguments cell of a docs table: "—" for none, else the arguments
// separated by commas (those inside a parenthesised remark do not count),
// the ones that may be left out in brackets: "string, find [, start]".
ArgumentCount CountOfCell(const std::string& cell)
{
    if (cell == "—") return {};
    int commas = 0;
    int depth = 0;
    int commasBeforeBracket = -1;
    for (const char c : cell) {
        if (c == '(') ++depth;
        if (c == ')') --depth;
        if (c == '[' && commasBeforeBracket < 0) commasBeforeBracket = commas;
        if (c == ',' && depth == 0) ++commas;
    }
    return {commas + 1, commasBeforeBracket < 0 ? commas + 1 : commasBeforeBracket + 1};
}

// The cells of a table row, "\|" being a '|' inside a cell.
std::vector<std::string> CellsOf(const std::string& line)
{
    std::vector<std::string> cells;
    std::string cell;
    for (std::size_t k = 1; k < line.size(); ++k) {
        if (line[k] == '|' && line[k - 1] != '\\') {
            const std::size_t first = cell.find_first_not_of(' ');
            const std::size_t last = cell.find_last_not_of(' ');
            cells.push_back(first == std::string::npos ? "" : cell.substr(first, last - first + 1));
            cell.clear();
        } else {
            cell += line[k];
        }
    }
    return cells;
}

struct DocumentedRow {
    std::string name;
    ArgumentCount count;
    int line = 0;
};

// Every command named in the first column of a table row of the docs, with
// the argument count of that row (a command may have several rows, such as
// the text and number forms of GETFILE).
std::vector<DocumentedRow> DocumentedCommands()
{
    std::vector<DocumentedRow> rows;
    std::ifstream in(std::string(KV_SOURCE_DIR) + "/docs/commands.md");
    const std::regex name("`([A-Z][A-Z0-9_]*\\$?)`");
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        if (line.rfind("| `", 0) != 0) continue;
        const std::vector<std::string> cells = CellsOf(line);
        if (cells.size() < 2) continue;
        for (std::sregex_iterator it(cells[0].begin(), cells[0].end(), name), end; it != end; ++it)
            rows.push_back({(*it)[1], CountOfCell(cells[1]), number});
    }
    return rows;
}

TEST(CommandTableTest, DocsListEveryCommandWithItsArgumentCount)
{
    std::map<std::string, const kvcommands::Command*> table;
    for (int k = 0; k < kvcommands::kCommandCount; ++k) {
        const kvcommands::Command& command = kvcommands::kCommands[k];
        EXPECT_TRUE(table.emplace(command.name, &command).second) << command.name << " is in the command list twice";
        EXPECT_EQ(kvcommands::FindCommand(command.name), &command);
    }
    const std::vector<DocumentedRow> documented = DocumentedCommands();
    EXPECT_GT(documented.size(), 100u);
    std::set<std::string> names;
    for (const DocumentedRow& row : documented) {
        names.insert(row.name);
        const auto found = table.find(row.name);
        if (found == table.end()) {
            ADD_FAILURE() << row.name << " is documented (docs/commands.md line " << row.line
                          << ") but not in runtime/core/command_list.def";
            continue;
        }
        const ArgumentCount listed = CountOfRow(*found->second);
        EXPECT_TRUE(row.count == listed) << row.name << " takes " << Describe(listed)
                                     << " arguments in runtime/core/command_list.def, " << Describe(row.count)
                                     << " in docs/commands.md line " << row.line;
    }
    for (const auto& [name, command] : table)
        EXPECT_TRUE(names.count(name)) << name << " is in runtime/core/command_list.def but not documented in a table "
                                       << "of docs/commands.md";
}

// A BASIC statement calling the command with arguments of its kinds; the
// optional arguments too when `all` is set.
std::string CallOf(const kvcommands::Command& command, bool all)
{
    std::istringstream kinds(command.arguments);
    std::string call = std::string(command.name[std::string(command.name).size() - 1] == '$' ? "r$ = " : "r = ") +
                       command.name + "(";
    int k = 0;
    for (std::string kind; kinds >> kind; ++k) {
        if (kind.size() > 1 && !all) break;
        static const char* const kArgument[] = {"n", "1.5", "s", "\"a\"", "v", "\"b\"", "N", "nv", "S", "sv$",
                                                "V", "vv", "a", "na", "A", "sa$", "x", "na"};
        std::string argument;
        for (int m = 0; m < 18; m += 2)
            if (kind[0] == kArgument[m][0]) argument = kArgument[m + 1];
        call += (k ? ", " : "") + argument;
    }
    return call + ")\n";
}

TEST(CommandTableTest, EveryRowCompilesAsItsFunction)
{
    std::string source = "DIM na[2]\nDIM sa$[2]\n";
    for (int k = 0; k < kvcommands::kCommandCount; ++k) {
        const kvcommands::Command& command = kvcommands::kCommands[k];
        // END would end the program early; DIM is a statement of its own.
        if (std::string(command.name) == "END" || std::string(command.name) == "DIM") continue;
        source += CallOf(command, false) + CallOf(command, true);
    }
    source += "END\n";
    kvbasic::TranslateRequest request;
    request.source = source;
    request.sourceName = "all_commands.bas";
    request.programName = "all_commands";
    const kvbasic::TranslateResult result = kvbasic::Translate(request);
    ASSERT_TRUE(result.ok) << kvbasic::FormatDiagnostic("all_commands.bas", result.errors.at(0));

    testing_support::ScratchFolder folder;
    std::ofstream(folder.File("all_commands.cpp")) << result.code.program;
    const std::string command = "c++ -std=c++20 -fsyntax-only -Wall -Wextra -Werror -I" + std::string(KV_SOURCE_DIR) +
                                "/runtime " + folder.File("all_commands.cpp") + " 2> " + folder.File("errors.txt");
    EXPECT_EQ(std::system(command.c_str()), 0) << testing_support::ReadWholeFile(folder.File("errors.txt"));
}

}  // namespace
