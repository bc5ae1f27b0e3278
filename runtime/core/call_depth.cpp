#include "core/call_depth.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "core/runtime_state.h"
#include "platform/platform.h"

int g_callDepth = 0;
const char* g_callStackFloor = nullptr;
KvCallFrame g_callStack[kMaxCallDepth + 1];

namespace {
// Kept free below the deepest call: what the commands called from there
// (the renderer and the sound driver among them) and the shutdown after
// the error need.
constexpr std::size_t kStackReserve = std::size_t{1} << 20;
}  // namespace

void __CallsNestedTooDeep()
{
    __FatalError(28);
}

void __MarkCallStackTop()
{
    const char* top = static_cast<const char*>(__builtin_frame_address(0));
    const std::size_t size = platform::MainThreadStackSize();
    // A small stack keeps at least a quarter of itself for the reserve.
    const std::size_t usable = size - std::min(kStackReserve, size / 4);
    // A stack said to be larger than the addresses below its top (a
    // platform that does not know its limit guesses) gets no floor: the
    // depth limit alone then guards it, and the subtraction cannot wrap.
    g_callStackFloor = reinterpret_cast<std::uintptr_t>(top) > usable ? top - usable : nullptr;
}
