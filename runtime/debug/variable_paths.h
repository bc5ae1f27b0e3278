// The paths the debugger names values by: a scope, ':', a variable's name
// as the program writes it, then element indices in parentheses (counted
// as in BASIC) and record fields: "F0:foes(2).x", "G:level$",
// "L1:grid(3,4)", "G:player.hist(4)".
#pragma once

#include <string>
#include <vector>

#include "debug/values.h"

namespace kvdebug {

// A scope: 'G' (the globals), 'L' (the parameters and LOCALs of call
// `call`, 0 the innermost) or 'F' (what the code of that call sees: those,
// then the globals).
struct Scope {
    char kind = 'G';
    int call = 0;
};

// One step after the name: indices into an array, or a field of a record.
struct PathStep {
    bool isField = false;
    std::string field;
    std::vector<double> indices;
};

struct VariablePath {
    Scope scope;
    std::string name;
    std::vector<PathStep> steps;
};

// "G", "L0", "F12"; false for anything else.
bool ParseScope(const std::string& text, Scope& scope);

// False with a text for the user when the path is not written as above.
bool ParsePath(const std::string& text, VariablePath& path, std::string& problem);

// Follows the steps from the variable's place; false with a text for the
// user when a step does not fit (an index out of bounds, no such field).
bool FollowSteps(const ValuePlace& variable, const VariablePath& path, ValuePlace& place, std::string& problem);

}  // namespace kvdebug
