// The BASIC commands of the runtime as data: for every keyword its argument
// kinds, its result kind and the C++ function that implements it. The
// translator (tools/kvbasic) knows the commands only from this table, and a
// test keeps it and docs/commands.md in step.
#pragma once

namespace kvcommands {

// Argument kinds, one letter per argument, separated by blanks; a '?' after
// the letter marks an argument that may be left out (only at the end):
//   n  number                 s  string               v  string or number
//   N  number variable        S  string variable      V  string or number variable
//   a  array of numbers       A  array of strings     x  array of either kind
// Variables and arrays are passed by reference: the command may change them.
struct Command {
    const char* name;       // the BASIC keyword, '$' included
    const char* arguments;  // argument kinds as above, "" for none
    char result;            // 'n' number, 's' string
    const char* function;   // the C++ function
};

extern const Command kCommands[];
extern const int kCommandCount;

// The row of a keyword (compared without regard to case), or nullptr.
const Command* FindCommand(const char* name);

}  // namespace kvcommands
