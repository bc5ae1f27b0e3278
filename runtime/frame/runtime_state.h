// The runtime's configuration and error state, shared by every subsystem.
#pragma once

#include "core/kvstr.h"

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

extern KvStr g_cmdline;     // the process command line
extern double g_mx, g_my;   // stored mouse position
extern int nCurFont;        // font the text commands use

// Millisecond clock readings behind GETTIMER and GETTIMERALL.
extern double g_FirstTime, g_LastTime, g_ThisTime;

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
