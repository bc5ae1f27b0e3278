// The profiler in the browser: a page has no CPU-time timer that interrupts
// the program, so a request to profile is answered once on the console.
#include "platform/platform.h"
#include "platform/web/unavailable.h"

namespace platform {

bool StartProfileTimer(ProfileSampler, long)
{
    web::SayUnavailable("profiling");
    return false;
}

void StopProfileTimer() {}

}  // namespace platform
