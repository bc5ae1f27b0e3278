// What the generated code of a program built for debugging calls. Each
// line report is followed by
//     if (--::g_debugCountdown < 0) [[unlikely]] ::__DebugTrap();
// one decrement and one branch: the debugger arms the countdown so that the
// trap comes after 4096 reports while the program simply runs (it then
// reads the channel), and at every report while it steps or has
// breakpoints. The globals are listed once (__SetDebugProgram); each SUB
// and FUNCTION holds a __DebugScope that lists its parameters and LOCALs
// for the time of its call.
#pragma once

#include "debug/debug_tables.h"

extern int g_debugCountdown;

[[gnu::cold]] void __DebugTrap();

// Called by the generated code's static initialisation; keeps the pointer.
void __SetDebugProgram(const KvDebugProgram* program);

// Called by the generated WinMain after start-up, before the first line:
// with KV_DEBUG_CHANNEL, tells the debugger the program is ready and waits
// for its `start`; without it, the program runs as any other.
void __DebugStart();

// The variables of one call, declared after its call-stack guard so that it
// stands beside that call's entry in g_callStack.
class __DebugScope {
public:
    __DebugScope(const KvDebugVariable* variables, int count);
    ~__DebugScope();
    __DebugScope(const __DebugScope&) = delete;
    __DebugScope& operator=(const __DebugScope&) = delete;
};
