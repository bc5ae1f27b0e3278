// Writes a checked program in generated form: the program's globals, one
// C++ function per SUB and __MainGameSub_ for the main program (a long one
// calling its pieces, see build_size.h), with
// __dLn(file, line) before every line that holds a statement (comment and
// blank lines report nothing), and the WinMain that holds
// the configuration.
#pragma once

#include <string>
#include <vector>

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
    // A program of more statements than this (0: no limit) is written in
    // parts: GeneratedCode::parts hold its functions, each part a file of
    // about this many statements that includes the header, which is then
    // written also without headerName, under partHeaderName.
    int partStatements = 0;
    std::string partHeaderName;
    // Built for debugging: each line report also checks the debugger, the
    // globals are listed in a table, each SUB and FUNCTION lists its
    // parameters and LOCALs for the time of its call, and WinMain starts
    // the debugger (runtime/debug/debug_trap.h).
    bool debug = false;
    // Loops whose counters are proven whole numbers in a safe range count
    // in 64-bit integers, and array indices built from them skip the
    // conversion from double (the results stay those of doubles). Off:
    // every number is a double in the C++ too. Never in a debug build, where
    // the debugger may change any variable between two lines.
    bool integerPaths = true;
};

struct GeneratedCode {
    std::string program;  // globals and functions (and WinMain when there is no header)
    std::string header;   // declarations of the globals and SUBs
    std::string entry;    // WinMain alone
    std::vector<std::string> parts;  // a program in parts: the files of its functions (see EmitOptions)
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
