// The random generator behind RND: ISAAC (32-bit words, 256-word state)
// with the dialect's own seeding. One global context, zero-filled at start.
#pragma once

#include <cstdint>

struct IsaacContext {
    std::uint32_t randcnt;
    std::uint32_t randrsl[256];
    std::uint32_t randmem[256];
    std::uint32_t randa, randb, randc;
};

extern IsaacContext g_ctx;

// One ISAAC generation step: 256 new results into ctx.randrsl.
void IsaacGenerate(IsaacContext& ctx);

void Tzsrand(unsigned long seed);
// Runs a whole generation step and returns its first result.
std::uint32_t Tzrand();
