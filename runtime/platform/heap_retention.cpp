// The C library's heap, set up for a program that draws every frame.
//
// The software GL driver takes a scratch buffer from malloc for the vertices
// of every draw and frees it right after. By default the C library hands the
// top of the heap back to the kernel as soon as 128 KiB lie free there, so
// each draw grows the heap again and touches fresh pages: a page fault for
// every 4 KiB of vertices, every frame. Keeping freed memory (and serving
// large blocks from the heap instead of fresh mappings) lets the next draw
// reuse the same, already mapped pages.
//
// The user's own word wins: with KV_NO_HEAP_RETENTION=1, or with any
// malloc tuning of their own in the environment (MALLOC_*_ variables or
// glibc.malloc tunables), the heap keeps the settings it has.
#include "platform/platform.h"

#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

// Freed memory kept at the top of the heap before any is returned.
constexpr int kTrimThreshold = 64 << 20;
// Blocks from this size up get a mapping of their own (and give it back on free).
constexpr int kMmapThreshold = 16 << 20;

bool Set(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != 0;
}

// The C library's own environment settings for its allocator.
bool UserTunedMalloc()
{
    for (const char* name : {"MALLOC_TRIM_THRESHOLD_", "MALLOC_MMAP_THRESHOLD_", "MALLOC_TOP_PAD_",
                             "MALLOC_MMAP_MAX_", "MALLOC_ARENA_MAX", "MALLOC_ARENA_TEST"})
        if (Set(name)) return true;
    const char* tunables = std::getenv("GLIBC_TUNABLES");
    return tunables != nullptr && std::strstr(tunables, "glibc.malloc.") != nullptr;
}

bool TurnedOff()
{
    const char* value = std::getenv("KV_NO_HEAP_RETENTION");
    return value != nullptr && value[0] != 0 && std::strcmp(value, "0") != 0;
}

}  // namespace

void RetainFreedHeap()
{
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizer brings an allocator of its own that takes no such advice.
    return;
#endif
    if (TurnedOff() || UserTunedMalloc()) return;
    if (mallopt(M_TRIM_THRESHOLD, kTrimThreshold) == 0 || mallopt(M_MMAP_THRESHOLD, kMmapThreshold) == 0)
        std::fprintf(stderr, "Zorvelin runtime: the heap keeps its default trimming (mallopt refused)\n");
}

}  // namespace platform
