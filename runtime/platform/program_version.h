// "<program> --version": every program built with the runtime answers it
// before it opens a window, so that a player can tell which version to name
// in a bug report. It is the one command-line word the runtime reads itself;
// any other command line goes to the program (GETCOMMANDLINE$).
#pragma once

// The program's own version, defined by its build (kv_add_basic_program
// with VERSION) as extern "C" const char KV_PROGRAM_VERSION[] = "1.2.3";
// a program without one reports the runtime's version instead.
extern "C" const char KV_PROGRAM_VERSION[];

// When the whole command line is "--version", prints "<program> <version>"
// (or "<program> (kvruntime <version>)" for a program without a version of
// its own) on standard output and ends the process with exit code 0,
// before the window, the error log or any engine object is touched.
void AnswerVersionRequest(const char* commandLine);
