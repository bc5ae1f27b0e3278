// The profiler's counts: where the program was each time the main thread
// had used another interval of CPU time. A sample is taken inside a signal
// handler, so it only reads the current line (g_debugfile, g_debugline) and
// the call stack and adds to counters in fixed tables that exist from the
// start: no allocation, no lock. Read only after sampling has stopped.
#pragma once

#include <vector>

// Adds one sample of `intervals` intervals at the current line and call
// stack. Async-signal-safe; the platform's profile timer calls it.
void RecordProfileSample(long intervals);

// One BASIC line that was sampled.
struct KvProfiledLine {
    double file;          // as __dLn reports it
    double line;          // counted from 0, as __dLn reports it
    const char* routine;  // "SUB Draw", or null for the main program
    long intervals;       // CPU time spent on it, in sampling intervals
};

// One SUB or FUNCTION that was sampled, or the main program (name null).
struct KvProfiledRoutine {
    const char* name;
    long selfIntervals;   // while it was the innermost call
    long totalIntervals;  // while it was anywhere on the call stack
};

// What was counted, in no order.
struct KvProfileCounts {
    long samples = 0;            // signals handled
    long intervals = 0;          // intervals they stood for
    long unplacedIntervals = 0;  // of lines or routines beyond the tables' room
    std::vector<KvProfiledLine> lines;
    std::vector<KvProfiledRoutine> routines;  // the main program's row among them
};

// A copy of the counts; called once sampling has stopped.
KvProfileCounts ProfileCounts();
