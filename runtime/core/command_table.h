// The BASIC commands of the runtime as data, made from the command list
// (core/command_list.def): for every keyword its argument kinds, its result
// kind and the C++ function that implements it. The translator
// (tools/kvbasic) knows the commands only from this table.
#pragma once

namespace kvcommands {

// One row of the command list; the argument kinds are the letters described
// there ("s n n?"), "" for none.
struct Command {
    const char* name;       // the BASIC keyword, '$' included
    const char* arguments;  // argument kinds, blank-separated
    char result;            // 'n' number, 's' string
    const char* function;   // the C++ function
};

extern const Command kCommands[];
extern const int kCommandCount;

// The row of a keyword (compared without regard to case), or nullptr.
const Command* FindCommand(const char* name);

}  // namespace kvcommands
