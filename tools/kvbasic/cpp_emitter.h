// Writes a checked program in generated form: the program's globals, one
// C++ function per SUB and __MainGameSub_ for the main program, with
// __dLn(file, line) before every line that holds a statement (comment and
// blank lines report nothing), and the WinMain that holds
// the configuration.
#pragma once

#include <string>

#include "checker.h"
#include "syntax_tree.h"

namespace kvbasic {

struct EmitOptions {
    std::string sourceName;   // shown in the generated file's first comment
    std::string programName;  // the default window caption
    int fileNumber = 0;       // the file number __dLn reports
    // The name under which the header is included; empty: one file with
    // WinMain, no header and no entry file.
    std::string headerName;
};

struct GeneratedCode {
    std::string program;  // globals and functions (and WinMain when there is no header)
    std::string header;   // declarations of the globals and SUBs
    std::string entry;    // WinMain alone
    int longestFunctionLines = 0;  // source lines of the longest SUB or main program
};

// A function longer than this makes `kvbasic build` compile without
// optimisation: the optimiser's time on one function grows much faster than
// the function's length.
constexpr int kHugeFunctionLines = 2000;

GeneratedCode Emit(const Program& program, const CheckedProgram& checked, const EmitOptions& options);

// The C++ name of a BASIC variable, SUB or label.
std::string CppName(const std::string& basicName);

// A C++ string literal with these Latin-1 bytes.
std::string CppStringLiteral(const std::string& bytes);

}  // namespace kvbasic
