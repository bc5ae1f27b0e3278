// What a person sees when a runtime error ends the program: one line on
// stderr naming the BASIC file, the line (counted from 1, as editors count)
// and the error, then that source line. The generated code hands over its
// source lines once at start-up; they are read only for this message.
#pragma once

#include <cstdio>
#include <string>

#include "core/call_depth.h"

// One source file of the program as the generated code lists it.
struct KvSourceFile {
    int number;                // the file number __dLn reports for it
    const char* name;          // "game.bas"
    const char* const* lines;  // its lines; lines[0] is the first
    int lineCount;
};

// Called by the generated code's static initialisation; keeps the pointer.
void __SetSourceFiles(const KvSourceFile* files, int count);

// The source file with this number, or null when the program listed none.
const KvSourceFile* FindSourceFile(double number);

// The text of a runtime error number; "unknown error" for a number that is
// not in the table.
const char* RuntimeErrorText(double code);

// Names what went wrong where the error number's text alone would mislead
// (READ past the last DATA item is error 7, "out of memory or value out of
// range"): ReportRuntimeError writes `reason` in place of that text. The
// text must outlive the program (a literal).
void SetRuntimeErrorReason(const char* reason);

// "runtime error 9: array index out of bounds": what the message below
// says of the error itself, without its place.
std::string RuntimeErrorMessage(double code);

// Writes the message for error `code` raised on line `line` (counted from
// 0) of file `file`: "game.bas:58: runtime error 9: array index out of
// bounds" and the source line, or "file 0, line 58: ..." without the line
// when the program listed no source files.
void ReportRuntimeError(std::FILE* out, double code, double line, double file);

// Writes, under that message, the calls that led to the error, innermost
// first, one a line: "  in FUNCTION Cell (lib/grid.bas:14)", then
// "  called from FUNCTION SumAll (game.bas:30)" for each caller, and last
// "  called from game.bas:2", the line that made the outermost call.
// frames[0] is the outermost call; nothing is written without calls. At
// most kMaxCallLines lines: of a deeper stack the innermost and the
// outermost calls, and between them how many are left out.
constexpr int kMaxCallLines = 20;
void ReportCalls(std::FILE* out, const KvCallFrame* frames, int count, double line, double file);
