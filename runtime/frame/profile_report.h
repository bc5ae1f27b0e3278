// The profiler's report: the BASIC lines and the SUBs and FUNCTIONs that
// took the most CPU time, as a person reads it at the end of a run.
#pragma once

#include <cstdio>

#include "frame/profile_samples.h"

constexpr int kReportedLines = 20;
constexpr int kReportedRoutines = 10;

// Writes the report of `counts`, each interval being `intervalMicroseconds`
// of CPU time:
//
//   Profile: 381 samples of the main thread's CPU time, 1523 ms in all (a sample every 4.0 ms, timer interval 1.0 ms)
//
//   Lines taking the most time:
//      share        ms  line        in        source
//     84.2 %   1282 ms  burn.bas:4  SUB Burn  x = x + SIN(i)
//
//   SUBs and FUNCTIONs taking the most time (total: with what they call):
//      total        ms     self        ms  name
//    100.0 %   1523 ms    6.1 %     93 ms  main program
//     91.0 %   1386 ms   84.2 %   1282 ms  SUB Burn
//
// Lines are counted from 1 and named by their file, as error messages
// name them.
void WriteProfileReport(std::FILE* out, const KvProfileCounts& counts, long intervalMicroseconds);
