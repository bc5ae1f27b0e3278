#include "path/search_stop.h"

#include "platform/platform.h"

namespace {

constexpr int kDikEscape = 0x01;

}  // namespace

bool SearchStopRequested()
{
    // The live key state: no frame runs during a search, so nothing else
    // would bring the keyboard state up to date. A termination signal ends
    // the search too (FINDPATH then takes the close path).
    return platform::TerminationRequested() || platform::KeyDownNow(kDikEscape);
}
