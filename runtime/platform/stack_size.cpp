#include <sys/resource.h>

#include "platform/platform.h"

namespace platform {

std::size_t MainThreadStackSize()
{
    constexpr std::size_t kUnknown = std::size_t{8} << 20;
    constexpr std::size_t kLargest = std::size_t{1} << 30;
    rlimit limit{};
    if (getrlimit(RLIMIT_STACK, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return kUnknown;
    return limit.rlim_cur > kLargest ? kLargest : static_cast<std::size_t>(limit.rlim_cur);
}

}  // namespace platform
