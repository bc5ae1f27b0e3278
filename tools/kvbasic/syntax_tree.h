// The parsed program: one entry per source line, each holding at most a
// label and its statements, and the block tree over them: the main program
// and each SUB or FUNCTION as a unit whose blocks (IF, loops, SELECT CASE,
// TYPE) hold their statements. Expressions are trees; the checker fills in
// their kinds, the emitter turns them into C++.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/command_table.h"
#include "operators.h"

namespace kvbasic {

struct Expr {
    enum class Type {
        Number,    // text: the literal as written
        String,    // text: the Latin-1 bytes
        Variable,  // text: the name ('$' for strings)
        Element,   // text: the array's name; children: the indices
        Call,      // text: the command as written; children: the arguments
        Unary,     // text: "-", "+" or "NOT"; children: the operand
        Binary,    // text, op: the operator ("+", "<>", "AND", "MOD", ...); children: both operands
        Field,     // record.field: text: the field's name; children: the record, then the field's indices
    };
    Type type = Type::Number;
    std::string text;
    std::vector<std::unique_ptr<Expr>> children;
    int line = 0, column = 0;
    int depth = 1;  // of the chain of binary operators ending here
    const BinaryOperator* op = nullptr;  // for binary operators

    // Filled in by the checker.
    bool isString = false;   // the value is a string (else a number)
    bool isTruth = false;    // a comparison or logical result (a C++ bool)
    const kvcommands::Command* command = nullptr;  // for calls
    int textIndex = -1;      // for string literals: the program's constant text
    int functionIndex = -1;  // for calls of the program's SUBs and FUNCTIONs: CheckedProgram::functions
};

struct Statement {
    enum class Type {
        Assign,    // target = value
        Call,      // a command; call: the command expression
        Gosub,     // name
        Goto,      // name
        If,        // one line: IF cond THEN then [ELSE otherwise]
        IfBlock,   // IF cond (THEN)
        ElseIf,    // ELSEIF cond
        Else,
        EndIf,
        For,       // FOR target = from TO to [STEP step]
        Next,      // NEXT [name]
        While,
        Wend,
        Repeat,
        Until,     // UNTIL cond
        Break,
        Continue,
        Return,    // RETURN [value]; EXIT SUB and EXIT FUNCTION: name "SUB", "FUNCTION"
        Sub,       // SUB name: or SUB name(parameters), see hasParameterList
        EndSub,
        Dim,       // DIM target[...][...]: target is an Element; DIM target AS name: a record or an array of records
        Config,    // KV_... = value: name, value
        Sequence,  // statements after THEN or ELSE separated by ':': body
        Exit,      // EXIT FOR, EXIT WHILE, EXIT REPEAT: name "FOR", ...; EXIT SUB is a Return
        Const,     // CONST target = value
        Data,      // DATA items: number and string literals
        Read,      // READ items: variables and array elements
        Restore,   // RESTORE [name]: the label from whose line on READ takes DATA again
        Select,    // SELECT CASE value
        Case,      // CASE cases (empty: CASE ELSE)
        EndSelect,
        Function,     // FUNCTION name(parameters): name, items (see Sub)
        EndFunction,  // END FUNCTION, ENDFUNCTION
        Local,        // LOCAL names: items, plain variables or arrays with no indices (buf[])
        UserCall,     // a SUB or FUNCTION of the program as a statement; call: its call expression
        Include,   // INCLUDE "file": name (UTF-8, as written)
        Type,      // TYPE name: the fields follow, up to END TYPE
        Fields,    // a line of fields in a TYPE: items (names, or names with their sizes as an Element)
        EndType,
    };
    Type type = Type::Call;
    int column = 0;
    std::string name;
    std::unique_ptr<Expr> target, value, cond, from, to, step, call;
    std::unique_ptr<Statement> then, otherwise;
    std::vector<std::unique_ptr<Statement>> body;
    std::vector<std::unique_ptr<Expr>> items;
    // CASE: value, from TO to, or IS op value; checked against the SELECT.
    struct CaseItem {
        std::unique_ptr<Expr> value, to;  // to: for a range
        const BinaryOperator* is = nullptr;  // for IS op value
    };
    std::vector<CaseItem> cases;
    int selectId = -1;  // SELECT and CASE: which SELECT, counted in the program
    // SUB name(parameters) and FUNCTION: declared with a parameter list
    // (perhaps empty), each parameter in items: a plain variable, or an
    // array with no indices (grid[]), passed by reference. The old form
    // SUB name: has none.
    bool hasParameterList = false;
    // SUB and FUNCTION: for each parameter in items, the TYPE of a record
    // (e AS Enemy) or of an array of records (foes[] AS Enemy), else "".
    std::vector<std::string> itemTypes;
};

struct Line {
    int index = 0;        // 0-based position in Program::lines (of all files)
    std::string text;     // the source line, for the comment beside the generated code
    std::string label;    // "name" of "name:", or ""
    int labelColumn = 0;
    // In order, separated by ':' in the source; none on blank and comment lines.
    std::vector<std::unique_ptr<Statement>> statements;
    int file = 0;         // in Program::files; 0 is the main file
    int fileLine = 0;     // 0-based in its file, the number __dLn reports
};

// A place in the block tree: a statement with the line it stands on, or a
// line without statements (blank, a comment, or only a label), which the
// generated code keeps in its place. A block statement holds its parts:
//   IF:        body (the THEN part), branches (each ELSEIF and ELSE with its body), end (ENDIF)
//   FOR, WHILE, REPEAT: body, end (NEXT, WEND, UNTIL)
//   SELECT:    branches (each CASE with its body), end (END SELECT)
//   TYPE:      body (the lines of fields), end (END TYPE)
//   SUB, FUNCTION: body, end (ENDSUB, END FUNCTION), as the root of its Unit
// A block whose end is missing, and the statements that close nothing, are
// errors the parser reports; the tree keeps them (without an end, or as
// plain statements) so that the checker still sees every statement.
struct Node {
    int line = 0;                    // 0-based, in Program::lines
    Statement* statement = nullptr;  // nullptr: a line without statements
    bool isBlock = false;            // a block statement: body, branches and end are its parts
    std::vector<Node> body;
    std::vector<Node> branches;      // statement: the ELSEIF, ELSE or CASE; body: its statements
    Statement* end = nullptr;
    int endLine = 0;
};

// The main program, a SUB or a FUNCTION: the lines it spans (0-based, both
// included) and its tree. The root's statement is the SUB or FUNCTION
// (nullptr for the main program).
struct Unit {
    Node root;
    int firstLine = 0, lastLine = -1;
};

// One file of the program: the main file, then the files INCLUDE names, in
// the order they are first included.
struct SourceFile {
    std::string name;  // the main file's name, or an included file's path relative to the main file's folder
    std::string path;  // where it was read from; errors name it
    int lineCount = 0;
};

// The lines of every file in the order the program has them: the main
// program (an included file's lines before its first SUB stand where its
// INCLUDE stands), then the SUBs of the main file, then those of the
// included files.
struct Program {
    std::vector<Line> lines;
    std::vector<SourceFile> files;
    std::vector<Unit> units;  // the main program first, then the SUBs and FUNCTIONs in the order of the lines
};

}  // namespace kvbasic
