// The browser has no debugger channel: a program built for debugging runs
// as any other.
#include "platform/platform.h"

namespace platform {

bool OpenDebugChannel() { return false; }

DebugChannelRead ReadDebugChannel(std::string&, bool) { return DebugChannelRead::Ended; }

bool WriteDebugChannel(const std::string&) { return false; }

}  // namespace platform
