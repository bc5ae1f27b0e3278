// The size of the generated code, as the C++ compiler meets it: how the
// main program's statements are cut into functions of a size the compiler
// handles, and the limits of what can be built at all. The compiler's time
// and memory grow with the length of one function and with the size of one
// file much faster than linearly; a program past these limits is refused
// with an error instead of being handed to a compiler that runs out of
// memory.
#pragma once

#include <cstddef>
#include <vector>

#include "checker.h"
#include "diagnostics.h"
#include "syntax_tree.h"

namespace kvbasic {

// The main program is cut into functions of about this many statements
// (a longer main program only; a shorter one stays one function).
constexpr int kMainPieceStatements = 1000;

// The most statements one function may hold: a SUB or FUNCTION, one block
// of the main program (IF ... ENDIF, a loop, SELECT CASE) with all it
// contains, or the stretch of the main program between a GOTO and its
// label, which must stay in one function. (20,000 statements in one
// function take the compiler about 12 s and 1 GB without optimisation.)
constexpr int kMaxPieceStatements = 20000;

// The most lines, and the most statements, of a whole program (all its
// files). Cut into functions and files, the compiler's work grows
// linearly (100,000 lines: 13 s of CPU without optimisation, 45 s at -O2,
// at most 320 MB); at this size a build takes a few minutes, and every
// file of it reads the program's declarations.
constexpr int kMaxProgramLines = 250000;
constexpr int kMaxProgramStatements = 250000;

// The statements of a node as the generated code has them: the statement
// itself, the parts of a block (each ELSEIF, ELSE and CASE, its end) and
// everything in its body; a line without statements counts one.
int StatementCount(const Node& node);

// The statements of the main program, a SUB or a FUNCTION.
long StatementCount(const Unit& unit);

// A stretch of the main program's top-level nodes, [begin, end), that
// becomes one function.
struct MainPiece {
    std::size_t begin = 0, end = 0;
    int statements = 0;
};

// The main program cut into pieces of about kMainPieceStatements where no
// GOTO crosses from one to another (a jump stays in its function): one
// piece when it is short. A piece may be longer than the target where a
// single block or a GOTO's stretch is.
std::vector<MainPiece> SplitMainProgram(const Program& program, const CheckedProgram& checked);

// Reports what is too large to build: a piece over kMaxPieceStatements, a
// program over kMaxProgramLines or kMaxProgramStatements.
void CheckBuildSize(const Program& program, const CheckedProgram& checked, Diagnostics& diagnostics);

}  // namespace kvbasic
