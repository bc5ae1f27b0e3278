// What the browser cannot do (UDP networking, video files, other processes,
// keyboard layout files): each such service fails the way its callers
// already handle, and says so once on the browser console.
#pragma once

namespace platform::web {

// Writes "<what> is not available in the browser" to stderr (the console),
// once per distinct text.
void SayUnavailable(const char* what);

}  // namespace platform::web
