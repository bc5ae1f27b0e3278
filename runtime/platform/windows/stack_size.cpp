// The main thread's stack on Windows: the size reserved for it (the
// program's header says how much; the system commits it as it grows).
#include "platform/platform.h"

#include <windows.h>

namespace platform {

std::size_t MainThreadStackSize()
{
    constexpr std::size_t kLargest = std::size_t{1} << 30;
    // Asked on the main thread at start-up, as on POSIX.
    ULONG_PTR low = 0, high = 0;
    GetCurrentThreadStackLimits(&low, &high);
    if (high <= low) return std::size_t{1} << 20;  // Windows' default reserve
    const std::size_t size = static_cast<std::size_t>(high - low);
    return size > kLargest ? kLargest : size;
}

}  // namespace platform
