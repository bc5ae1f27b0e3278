// OpenGLRainbows: a ring of 1024 particles, emitted from a template and
// moved and drawn once per frame as small spinning additive triangles.
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "gfx/opengl_rainbows.h"

namespace {

// Spin rate in degrees per millisecond of remaining life; its sign flips
// for every slot visited, so neighbouring particles turn opposite ways.
float g_particleSpin = 2.0f;

int Random15() { return std::rand() % 32768; }

}  // namespace

void OpenGLRainbows::Particles(OPENGL_PARTICLE& particleTemplate, std::uint32_t color)
{
    if (color != 0) {
        // Half intensity.
        particleTemplate.r = static_cast<float>(color & 0xFF) / 510.0f;
        particleTemplate.g = static_cast<float>((color >> 8) & 0xFF) / 510.0f;
        particleTemplate.b = static_cast<float>((color >> 16) & 0xFF) / 510.0f;
    }
    std::int32_t& next = particleRing.nextParticle;
    for (int i = 0; i < particleTemplate.count; ++i) {
        OPENGL_PARTICLE& particle = particleRing.particles[next];
        particle = particleTemplate;
        const int a = Random15();
        const int b = Random15();
        Random15();
        const float angle = static_cast<float>(a - 16383) / 16383.0f * 3.1415f;
        const float speed = static_cast<float>(b - 16383) / 16383.0f;
        particle.vx = std::sin(angle) * speed * particle.vx;
        Random15();
        particle.vy = speed * std::cos(angle) * particle.vy;
        next = next >= kParticleCount - 1 ? 0 : next + 1;
    }
}

void OpenGLRainbows::DrawParticles()
{
    const TextureSelection saved = selection;
    SelectTextures(-1, -1, 0);
    SetAlphaTest(false);
    SetBlending(true, GL_ONE, GL_ONE);
    BatchKey key;
    key.mode = GL_TRIANGLES;
    const float dt = static_cast<float>(timer.frameTime);
    for (OPENGL_PARTICLE& p : particleRing.particles) {
        g_particleSpin = -g_particleSpin;
        if (p.life < 1) continue;
        p.life -= dt;
        p.x += dt * p.vx;
        p.vx = (p.vx + dt * p.ax) * p.fx;
        p.y += dt * p.vy;
        p.vy = (p.vy + dt * p.ay) * p.fy;
        if (p.x < 0 || p.y < 0 || p.x > window.width || p.y > window.height) {
            p.life = 0;
            continue;
        }
        // A small triangle spinning about the particle's position.
        const double radians = static_cast<double>(p.life * g_particleSpin) * 3.14159265358979323846 / 180.0;
        const float sine = static_cast<float>(std::sin(radians));
        const float cosine = static_cast<float>(std::cos(radians));
        static constexpr float kShape[3][2] = {{-5, 8}, {-5, -8}, {10, 0}};
        BatchVertex* v = AppendVertices(key, 3);
        for (const auto& corner : kShape)
            *v++ = {p.x + cosine * corner[0] - sine * corner[1], -p.y + sine * corner[0] + cosine * corner[1], 0, 0, 0,
                    p.r, p.g, p.b, 1};
    }
    SetColor(1, 1, 1, 1);
    SelectTextures(saved.curTexture, saved.curTexture2, saved.curMipmap);
    CommitTextures();
    SetAlphaTest(true);
    SetBlending(false, GL_ONE, GL_ONE);
}
