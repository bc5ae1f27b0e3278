// The renderer's millisecond clock and frame-rate limit.
#pragma once

#include <cstdint>

struct RendererTimer {
    double nextFrameTime = 0;  // ms: clock time after which the next frame may be shown
    double frameTime = 0;      // ms: least time between two shown frames
    double perfFrequency = 0;  // counts per second of the high-resolution counter
    std::int32_t usePerfCounter = 0;  // 1: the high-resolution counter is usable
};
