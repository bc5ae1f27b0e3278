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

// ISAAC's own initialisation: stirs ctx.randrsl (the seed material) into
// the memory, starting from the eight mixing words given, then runs one
// generation step. From the eight golden-ratio words and an all-zero
// context this is the published reference initialisation.
void IsaacInit(IsaacContext& ctx, const std::uint32_t startWords[8]);

void Tzsrand(unsigned long seed);
// Runs a whole generation step and returns its first result.
std::uint32_t Tzrand();
