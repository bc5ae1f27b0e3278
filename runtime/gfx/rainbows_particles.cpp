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
    for (int i = 0; i < particleTemplate.count; ++i) {
        OPENGL_PARTICLE& particle = particles[nextParticle];
        particle = particleTemplate;
        const int a = Random15();
        const int b = Random15();
        Random15();
        const float angle = static_cast<float>(a - 16383) / 16383.0f * 3.1415f;
        const float speed = static_cast<float>(b - 16383) / 16383.0f;
        particle.vx = std::sin(angle) * speed * particle.vx;
        Random15();
        particle.vy = speed * std::cos(angle) * particle.vy;
        nextParticle = nextParticle >= kParticleCount - 1 ? 0 : nextParticle + 1;
    }
}

void OpenGLRainbows::DrawParticles()
{
    const int savedFirst = curTexture, savedSecond = curTexture2, savedMipmap = curMipmap;
    SetTexture3D(-1, -1, 0);
    glDisable(GL_ALPHA_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    const float dt = static_cast<float>(frameTime);
    for (OPENGL_PARTICLE& p : particles) {
        glColor4f(p.r, p.g, p.b, 1);
        g_particleSpin = -g_particleSpin;
        if (p.life < 1) continue;
        p.life -= dt;
        p.x += dt * p.vx;
        p.vx = (p.vx + dt * p.ax) * p.fx;
        p.y += dt * p.vy;
        p.vy = (p.vy + dt * p.ay) * p.fy;
        if (p.x < 0 || p.y < 0 || p.x > width || p.y > height) {
            p.life = 0;
            continue;
        }
        glPushMatrix();
        glTranslatef(p.x, -p.y, 0);
        glRotatef(p.life * g_particleSpin, 0, 0, 1);
        glBegin(GL_TRIANGLE_FAN);
        glVertex2i(-5, 8);
        glVertex2i(-5, -8);
        glVertex2i(10, 0);
        glEnd();
        glPopMatrix();
    }
    glColor4f(1, 1, 1, 1);
    SetTexture3D(savedFirst, savedSecond, savedMipmap);
    glEnable(GL_ALPHA_TEST);
    glDisable(GL_BLEND);
}
