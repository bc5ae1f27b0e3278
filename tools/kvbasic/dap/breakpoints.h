// The editor's breakpoints, by source file: each placed on the nearest
// line at or after the one asked for that reports itself, or left
// unverified with the reason. Conditions and hit conditions are kept here
// and judged by the adapter when the program stops at the line: the
// program itself stops at every breakpoint line.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "source_map.h"

namespace kvdap {

struct Breakpoint {
    int id = 0;
    int requestedLine = 0;  // 1-based, as the editor asked
    int line = -1;          // 0-based, where it stands; -1: unverified
    std::string condition, hitCondition;
    std::string message;  // why it is unverified
    int hits = 0;         // stops at it whose condition held
};

struct BreakpointRequest {
    int line = 0;  // 1-based
    std::string condition, hitCondition;
};

class Breakpoints {
public:
    // The breakpoints of `path` are now these (placed with `map`).
    const std::vector<Breakpoint>& Set(const std::string& path, const std::vector<BreakpointRequest>& requests,
                                       const SourceMap& map);
    // Places every breakpoint again (the program's files are known now);
    // the ones whose place or state changed.
    std::vector<Breakpoint> Replace(const SourceMap& map);
    // The 0-based lines of file `file` that hold breakpoints.
    std::set<int> LinesOf(const SourceMap& map, int file) const;
    // The files that hold breakpoints (their numbers in `map`).
    std::set<int> Files(const SourceMap& map) const;
    // The breakpoints at a line of a file.
    std::vector<Breakpoint*> At(const SourceMap& map, int file, int line);

private:
    void Place(Breakpoint& breakpoint, int file, const SourceMap& map) const;

    std::map<std::string, std::vector<Breakpoint>> byPath_;  // by normalised path
    int nextId_ = 1;
};

// Whether the hit count `hits` satisfies `condition`: "5" (the fifth hit),
// "= 5", "== 5", "> 5", ">= 5", "< 5", "<= 5", "% 3" (every third). Nothing
// with `error` set when the text is none of these.
std::optional<bool> HitConditionMet(const std::string& condition, int hits, std::string& error);

}  // namespace kvdap
