// Other programs: SHELLCMD starts one, GETCOMMANDLINE$ gives this one's
// command line.
#pragma once

#include "core/kvstr.h"

// Starts the program named by the first word of commandLine (words split by
// the quoting rules of command_line.h; no shell). With wait non-zero, blocks
// until it ends and stores its exit code; otherwise exitCode stays 0. show is
// accepted for compatibility: a started program opens its own windows.
// Returns 1 when the program started, 0 when it could not.
double SHELLCMD(KvStr commandLine, double wait, double show, double& exitCode);
// The process command line; the generated WinMain stores it first.
extern KvStr g_cmdline;

// The arguments the program was started with, as one line (g_cmdline).
KvStr GETCOMMANDLINE_Str();
