// Where a debugger attached to the program takes part in the lower layers:
// the commands that wait call the wait hook on every pass, so that the
// debugger can stop the program there too, and every runtime error calls
// the error hook before anything is reported or released, so that the
// debugger can show the error with the program's variables still in place.
// Both are null in a program without a debugger; only the debugger
// (runtime/debug) sets them.
#pragma once

using KvDebugWaitHook = void (*)();
// `code`: the error number; `fatal`: the error ends the program.
using KvDebugErrorHook = void (*)(double code, bool fatal);

struct KvDebuggerHooks {
    KvDebugWaitHook waitPass = nullptr;
    KvDebugErrorHook error = nullptr;
};

extern KvDebuggerHooks g_debuggerHooks;

// One pass of a command that waits: SHOWSCREEN's pacing, KEYWAIT,
// MOUSEWAIT, the pauses of video playback.
inline void __DebugWaitPass()
{
    if (g_debuggerHooks.waitPass != nullptr) [[unlikely]]
        g_debuggerHooks.waitPass();
}
