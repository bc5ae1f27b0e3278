// Particles: a ring of 1024, emitted from templates and moved and drawn
// once a frame.
#pragma once

#include <cstdint>

constexpr int kParticleCount = 1024;

// A particle, or a template to emit particles from.
struct OPENGL_PARTICLE {
    std::int32_t count;     // in a template: how many particles to emit
    std::int32_t reserved;
    float life;             // remaining milliseconds
    float vx, vy;           // pixels per millisecond
    float ax, ay;           // acceleration per millisecond
    float fx, fy;           // velocity factor per update
    float x, y;             // screen position
    float r, g, b;          // colour 0..1
};
static_assert(sizeof(OPENGL_PARTICLE) == 14 * 4, "particle record is fourteen 32-bit fields");

// Emitting overwrites the particle at nextParticle and moves it on,
// wrapping after the last.
struct ParticleRing {
    OPENGL_PARTICLE particles[kParticleCount] = {};
    std::int32_t nextParticle = 0;  // 0..1023
};
