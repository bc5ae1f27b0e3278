// The profiler on Windows: there is no CPU-time timer that interrupts the
// main thread, so a request to profile is answered once on stderr and the
// program runs unprofiled.
#include "platform/platform.h"

#include <cstdio>

namespace platform {

bool StartProfileTimer(ProfileSampler, long)
{
    std::fprintf(stderr, "Zorvelin runtime: profiling is not available on Windows\n");
    return false;
}

void StopProfileTimer() {}

}  // namespace platform
