// The console's termination events (termination.cpp), for the event pump.
#pragma once

namespace platform::windows {

// True once for each termination request: the pump turns it into a Close
// message.
bool TakeTerminationRequest();

}  // namespace platform::windows
