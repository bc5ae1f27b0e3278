// The runtime's configuration and error state, shared by every subsystem:
// the bottom of the runtime, so that every folder may set an error.
#pragma once

// Configuration, written once by the generated WinMain before start-up.
extern int KV_RESX;        // width of the window and the 2D drawing area
extern int KV_RESY;        // height
extern int KV_FULLSCREEN;  // non-zero: full screen at start-up
extern int KV_FRAMERATE;   // frame-rate limit, frames per second
extern int KV_DEBUG;       // non-zero: write the error state to the log at shutdown
extern int KV_WANTMOUSE;   // non-zero: the input layer acquires the mouse

// Runtime error state. Error numbers: 3 file or media missing or unreadable,
// 7 allocation failure or value out of range, 8 array used before DIM,
// 9 array index out of bounds, 28 calls of SUBs and FUNCTIONs nested too
// deep.
extern double g_error;      // last runtime error, 0 = none
extern double g_errorline;  // g_debugline when g_error was last set
extern double g_debugline;  // source line now executing
extern double g_debugfile;  // source file now executing

// Records a runtime error on the current line; execution continues.
void __Error(double code);
// The generated code calls this at the start of every statement's line.
// Two plain stores, inline: the compiler may merge or move them past code
// that cannot fail, but every call that can report an error sees them.
inline void __dLn(double file, double line)
{
    g_debugfile = file;
    g_debugline = line;
}
// Records a fatal runtime error on the current line and ends the program:
// the error log as __EndProgram writes it, the error and its source line on
// stderr, exit code 1.
[[noreturn]] void __FatalError(double code);
// The one way out: writes the error log, releases the engine objects in
// their fixed order and exits with code 0. (A fatal runtime error takes the
// same way through __FatalError, which also writes the error and its
// source line on stderr and exits with code 1.)
[[noreturn]] void __EndProgram();

// How the program leaves, `fatal` or not: the program frame, which owns
// what must be written and released on the way out, registers its way as
// the program loads; it does not return. Without one (the runtime never
// started), the error log's closing lines and, on a fatal error, the
// message on stderr are written here and the process exits.
using KvProgramExit = void (*)(bool fatal);
void SetProgramExit(KvProgramExit exit);
// What every way out writes last to the error log when KV_DEBUG is on, and,
// on a fatal error, the error and its place on stderr.
void WriteClosingReport(bool fatal);
