// Checks a parsed program as a whole, walking the block tree the parser
// built: what each statement's place allows, SUBs and labels, variables and
// arrays, the kinds of every expression and the arguments of
// every command (from the runtime's command table). What it accepts
// translates to C++ that compiles.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "diagnostics.h"
#include "syntax_tree.h"

namespace kvbasic {

struct Variable {
    bool isString = false;
    bool isArray = false;
    bool isConst = false;  // set once by CONST, a C++ constant
};

// A field of a TYPE: a number, a string ('$') or an array of either with
// the sizes the TYPE gives.
struct RecordField {
    std::string name;
    bool isString = false;
    std::vector<int> sizes;  // empty: not an array
};

// A TYPE: its fields in the order written.
struct RecordType {
    std::string name;
    int line = 0;  // 1-based, in the program's numbering
    std::vector<RecordField> fields;
};

// A variable of a TYPE (DIM e AS Enemy) or an array of them (DIM foes[20] AS Enemy).
struct Record {
    int type = 0;  // in CheckedProgram::types
    bool isArray = false;
    int line = 0;  // of its first DIM
};

// The main program, one SUB or one FUNCTION: a run of source lines.
struct Function {
    std::string name;  // "" for the main program
    int firstLine = 0, lastLine = 0;  // 0-based, both included
    std::set<std::string> jumpTargets;  // labels some GOTO names
    bool isFunction = false;        // FUNCTION: it has a value (a string when its name ends in '$')
    bool hasParameterList = false;  // SUB name(...) or FUNCTION; not the old SUB name:
    std::vector<std::string> parameters;  // BASIC names, in order
    std::vector<std::string> locals;      // the names LOCAL declares, in order
    // Parameters and LOCALs by BASIC name: inside the function they hide
    // the globals of the same name.
    std::map<std::string, Variable> scope;
    // The parameters that are records or arrays of records (also in scope),
    // passed by reference.
    std::map<std::string, Record> records;
};

// The configuration compiled into the generated WinMain.
struct Configuration {
    int resX = 640, resY = 480, fullscreen = 1, frameRate = 60, debug = 1, wantMouse = 0;
    std::string caption;  // Latin-1; empty: the program's name
};

struct CheckedProgram {
    std::vector<Function> functions;       // the main program first
    std::map<std::string, Variable> variables;  // the globals, by BASIC name
    std::vector<std::string> texts;        // constant strings, by Expr::textIndex
    std::vector<bool> selectIsString;      // per SELECT CASE (by selectId): the kind of its value
    Configuration configuration;
    std::vector<RecordType> types;              // in the order defined
    std::map<std::string, Record> records;      // by BASIC name; not in `variables`
};

CheckedProgram Check(Program& program, Diagnostics& diagnostics);

}  // namespace kvbasic
