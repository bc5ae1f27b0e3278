// The commands as the editor shows them: for each command of the runtime's
// table its row of docs/commands.md (built into kvbasic, so an installed
// server needs no copy of the page) and its signature with parameter names.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/command_table.h"

namespace kvlsp {

// One table row of docs/commands.md, its cells as written (Markdown).
struct CommandRow {
    std::string section;  // the "## " heading above the table
    std::string names;    // first cell: `SIN`, `COS`, `TAN`
    std::string arguments, result, errors;
};

struct Signature {
    std::string label;                    // MID$(string, start, count) -> string
    std::vector<std::string> parameters;  // string, start, count (optional ones in [ ])
};

class CommandReference {
public:
    // From the Markdown text of docs/commands.md.
    explicit CommandReference(std::string_view markdown);
    // The reference built into the program.
    static std::string_view BuiltInMarkdown();

    // The row documenting the command (any case), or nullptr.
    const CommandRow* Row(std::string_view name) const;
    Signature SignatureOf(const kvcommands::Command& command) const;
    // Markdown for hover: the signature and the row's cells.
    std::string HoverText(const kvcommands::Command& command) const;

private:
    std::vector<CommandRow> rows_;
    std::map<std::string, std::size_t> byName_;  // upper-case name -> row
};

// The words of argument kinds ("n s?" -> "number", "[string]").
std::string KindName(char kind);

}  // namespace kvlsp
