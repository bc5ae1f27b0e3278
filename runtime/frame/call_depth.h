// How deep the program's SUBs and FUNCTIONs call each other. Every call of
// one holds a __CallDepthGuard for its duration; a call beyond the limit,
// or one that would leave too little of the stack for the commands it calls
// and for the shutdown after an error, ends the program with runtime error
// 28 "calls nested too deep" on the line of that call, instead of a crash
// on a stack that has run out.
#pragma once

// Calls of the program's own SUBs and FUNCTIONs nested more deeply than
// this are an error whatever their frames take: deep enough for any
// recursion a game needs (a flood fill of a 100 x 100 map), and small
// enough that 10,000 frames of a few locals fit the default 8 MiB stack
// also under AddressSanitizer, whose frames are several times larger.
constexpr int kMaxCallDepth = 10000;

extern int g_callDepth;               // calls of SUBs and FUNCTIONs now running
extern const char* g_callStackFloor;  // lowest frame address a call may have; null: no check

// Ends the program with runtime error 28 on the current line.
[[noreturn, gnu::cold]] void __CallsNestedTooDeep();

// Notes the stack the program runs on: called by start-up, on the main
// thread, near the top of its stack. Calls that would use the stack beyond
// its size, less a reserve for the commands and the shutdown, are refused.
void __MarkCallStackTop();

// Counts one call for its duration: an increment, two comparisons and a
// decrement, inline.
class __CallDepthGuard {
public:
    __CallDepthGuard()
    {
        const char* frame = static_cast<const char*>(__builtin_frame_address(0));
        if (++g_callDepth > kMaxCallDepth || frame < g_callStackFloor) [[unlikely]]
            __CallsNestedTooDeep();
    }
    ~__CallDepthGuard() { --g_callDepth; }
    __CallDepthGuard(const __CallDepthGuard&) = delete;
    __CallDepthGuard& operator=(const __CallDepthGuard&) = delete;
};
