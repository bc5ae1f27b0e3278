#include "debug/stepping.h"

namespace kvdebug {

void Stepping::Start(StepKind kind, const CodePlace& from)
{
    kind_ = kind;
    from_ = from;
    // Out of the main program there is nowhere to go: it runs on.
    if (kind == StepKind::StepOut && from.depth == 0) kind_ = StepKind::None;
}

bool Stepping::EndsAt(const CodePlace& here) const
{
    const bool sameCall = here.depth == from_.depth && here.call == from_.call;
    const bool sameLine = sameCall && here.file == from_.file && here.line == from_.line;
    switch (kind_) {
    case StepKind::None: return false;
    case StepKind::Entry: return true;
    // A later call at the same depth (the call stepped from has returned
    // without a report in its caller) is one this call did not make: on to
    // the caller.
    case StepKind::Next: return here.depth < from_.depth || (sameCall && !sameLine);
    case StepKind::StepIn: return !sameLine;
    case StepKind::StepOut: return here.depth < from_.depth;
    }
    return false;
}

}  // namespace kvdebug
