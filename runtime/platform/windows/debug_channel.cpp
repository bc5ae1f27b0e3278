// Windows has no debugger channel: a program built for debugging runs as
// any other, and says so when a debugger asked for the channel.
#include "platform/platform.h"

#include <cstdio>
#include <cstdlib>

namespace platform {

bool OpenDebugChannel()
{
    const char* named = std::getenv("KV_DEBUG_CHANNEL");
    if (named != nullptr && *named != 0)
        std::fprintf(stderr, "Zorvelin runtime: the debugger is not available on Windows\n");
    return false;
}

DebugChannelRead ReadDebugChannel(std::string&, bool) { return DebugChannelRead::Ended; }

bool WriteDebugChannel(const std::string&) { return false; }

}  // namespace platform
