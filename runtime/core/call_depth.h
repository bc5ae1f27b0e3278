// The calls of the program's SUBs and FUNCTIONs now running. Every call of
// one holds a guard for its duration, which keeps a fixed stack of who was
// called from which line: a runtime error that ends the program shows the
// way it got there (error_report.h). A call beyond the depth limit, or one
// that would leave too little of the machine stack for the commands it
// calls and for the shutdown after an error, ends the program with runtime
// error 28 "calls nested too deep" on the line of that call, instead of a
// crash on a stack that has run out.
#pragma once

#include "core/runtime_state.h"

// Calls of the program's own SUBs and FUNCTIONs nested more deeply than
// this are an error whatever their frames take: deep enough for any
// recursion a game needs (a flood fill of a 100 x 100 map), and small
// enough that 10,000 frames of a few locals fit the default 8 MiB stack
// also under AddressSanitizer, whose frames are several times larger.
constexpr int kMaxCallDepth = 10000;

// One running call: what was called, and the line that called it.
struct KvCallFrame {
    const char* callee;  // "FUNCTION Cell", "SUB Draw"
    double callerFile;   // g_debugfile and g_debugline when it was called
    double callerLine;
};

extern int g_callDepth;               // calls of SUBs and FUNCTIONs now running
extern const char* g_callStackFloor;  // lowest frame address a call may have; null: no check
// The running calls, outermost first: g_callStack[g_callDepth - 1] is the
// innermost. One more than the limit: a SUB or FUNCTION that calls none
// may run one deeper than the limit its caller was checked against.
extern KvCallFrame g_callStack[kMaxCallDepth + 1];

// Ends the program with runtime error 28 on the current line.
[[noreturn, gnu::cold]] void __CallsNestedTooDeep();

// Notes the stack the program runs on: called by start-up, on the main
// thread, near the top of its stack. Calls that would use the stack beyond
// its size, less a reserve for the commands and the shutdown, are refused.
void __MarkCallStackTop();

// A call's entry in the stack: the caller's line is noted on entry and is
// the current line again on return, so that an error after the call, on
// the calling line, names that line. Stores and loads of a fixed array,
// inline; nothing is allocated.
inline void __EnterCall(const char* callee)
{
    KvCallFrame& frame = g_callStack[g_callDepth++];
    frame.callee = callee;
    frame.callerFile = g_debugfile;
    frame.callerLine = g_debugline;
}

inline void __LeaveCall()
{
    const KvCallFrame& frame = g_callStack[--g_callDepth];
    g_debugfile = frame.callerFile;
    g_debugline = frame.callerLine;
}

// The guard of a SUB or FUNCTION that calls none: it cannot nest deeper
// than its caller's check allowed (that check keeps stack in reserve for
// it), so only the one comparison that keeps the array's bounds is made.
class __CallFrame {
public:
    explicit __CallFrame(const char* callee)
    {
        if (g_callDepth > kMaxCallDepth) [[unlikely]]
            __CallsNestedTooDeep();
        __EnterCall(callee);
    }
    ~__CallFrame() { __LeaveCall(); }
    __CallFrame(const __CallFrame&) = delete;
    __CallFrame& operator=(const __CallFrame&) = delete;
};

// The guard of a SUB or FUNCTION that calls others: the depth and the
// machine stack are checked before its call is entered.
class __CallDepthGuard {
public:
    explicit __CallDepthGuard(const char* callee)
    {
        const char* frame = static_cast<const char*>(__builtin_frame_address(0));
        if (g_callDepth >= kMaxCallDepth || frame < g_callStackFloor) [[unlikely]]
            __CallsNestedTooDeep();
        __EnterCall(callee);
    }
    ~__CallDepthGuard() { __LeaveCall(); }
    __CallDepthGuard(const __CallDepthGuard&) = delete;
    __CallDepthGuard& operator=(const __CallDepthGuard&) = delete;
};
