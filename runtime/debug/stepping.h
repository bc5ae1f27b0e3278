// Stepping: where a `next`, `stepin` or `stepout` started, and whether a
// line report ends it. A place is a line with the call it runs in: the
// call's depth (0: the main program) and its serial number, which tells a
// call from a later one at the same depth.
#pragma once

#include <cstdint>

namespace kvdebug {

struct CodePlace {
    double file = 0, line = 0;
    int depth = 0;
    std::uint64_t call = 0;
};

enum class StepKind {
    None,
    Entry,    // start entry: the first line report
    Next,     // the next line report in this call or its caller that is not on this line
    StepIn,   // the next line report on another line or in another call
    StepOut,  // the next line report in a call below this one
};

class Stepping {
public:
    void Start(StepKind kind, const CodePlace& from);
    void Clear() { kind_ = StepKind::None; }
    bool Active() const { return kind_ != StepKind::None; }
    StepKind Kind() const { return kind_; }
    bool EndsAt(const CodePlace& here) const;

private:
    StepKind kind_ = StepKind::None;
    CodePlace from_;
};

}  // namespace kvdebug
