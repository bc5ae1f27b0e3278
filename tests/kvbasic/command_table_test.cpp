// The command table is the translator's only knowledge of the runtime: it
// must list exactly the commands docs/commands.md documents, and every row
// must describe the C++ function correctly (a program calling every command
// with arguments of the listed kinds compiles).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "core/command_table.h"
#include "support/child_process.h"
#include "translator.h"

namespace {

// Every command named in the first column of a table row of the docs.
std::set<std::string> DocumentedCommands()
{
    std::set<std::string> names;
    std::ifstream in(std::string(KV_SOURCE_DIR) + "/docs/commands.md");
    const std::regex name("`([A-Z][A-Z0-9_]*\\$?)`");
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("| `", 0) != 0) continue;
        const std::string cell = line.substr(1, line.find('|', 1) - 1);
        for (std::sregex_iterator it(cell.begin(), cell.end(), name), end; it != end; ++it) names.insert((*it)[1]);
    }
    return names;
}

TEST(CommandTableTest, ListsExactlyTheDocumentedCommands)
{
    std::set<std::string> table;
    for (int k = 0; k < kvcommands::kCommandCount; ++k) {
        EXPECT_TRUE(table.insert(kvcommands::kCommands[k].name).second) << "twice: " << kvcommands::kCommands[k].name;
        EXPECT_EQ(kvcommands::FindCommand(kvcommands::kCommands[k].name), &kvcommands::kCommands[k]);
    }
    const std::set<std::string> documented = DocumentedCommands();
    EXPECT_GT(documented.size(), 100u);
    for (const std::string& name : documented) EXPECT_TRUE(table.count(name)) << name << " is documented, not in the table";
    for (const std::string& name : table) EXPECT_TRUE(documented.count(name)) << name << " is in the table, not documented";
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
