// Profiling a run: with the environment variable KV_PROFILE naming a file
// (`kvbasic run --profile` sets it), the main thread's CPU time is sampled
// from the start of the program's code to its end, however it ends (END,
// the window closed, Ctrl+C, a runtime error), and the report of
// profile_report.h is written to that file. Without KV_PROFILE nothing is
// sampled and the program runs as it always does.
#pragma once

// One sample per millisecond of the main thread's CPU time.
constexpr long kProfileIntervalMicroseconds = 1000;

// Called by start-up just before the program's code runs.
void StartProfilingIfRequested();
// Called first thing on the way out: stops sampling (the shutdown is not
// the program's time) and writes the report. Does nothing when the run is
// not profiled or the report was written already.
void FinishProfiling();
