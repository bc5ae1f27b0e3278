// The C library's heap, set up for a program that draws every frame.
//
// The software GL driver takes a scratch buffer from malloc for the vertices
// of every draw and frees it right after. By default the C library hands the
// top of the heap back to the kernel as soon as 128 KiB lie free there, so
// each draw grows the heap again and touches fresh pages: a page fault for
// every 4 KiB of vertices, every frame. Keeping freed memory (and serving
// large blocks from the heap instead of fresh mappings) lets the next draw
// reuse the same, already mapped pages.
#include "platform/platform.h"

#include <malloc.h>

#include <cstdio>

namespace platform {

namespace {

// Freed memory kept at the top of the heap before any is returned.
constexpr int kTrimThreshold = 64 << 20;
// Blocks from this size up get a mapping of their own (and give it back on free).
constexpr int kMmapThreshold = 16 << 20;

}  // namespace

void RetainFreedHeap()
{
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizer brings an allocator of its own that takes no such advice.
    return;
#endif
    if (mallopt(M_TRIM_THRESHOLD, kTrimThreshold) == 0 || mallopt(M_MMAP_THRESHOLD, kMmapThreshold) == 0)
        std::fprintf(stderr, "Zorvelin runtime: the heap keeps its default trimming (mallopt refused)\n");
}

}  // namespace platform
