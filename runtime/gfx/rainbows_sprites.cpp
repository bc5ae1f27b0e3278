// OpenGLRainbows: the alpha mode and sprites drawn as single textured
// quads: plain, stretched, rotated, rotated with size and tint, and as
// camera-facing billboards for the 3D layer.
#include <cstdint>

#include "gfx/opengl_rainbows.h"

namespace {

bool ValidSlot(int slot) { return slot >= 0 && slot < kSpriteSlots; }

// Screen coordinates are 16-bit: sums wrap like the renderer's own.
std::int16_t Add16(int a, int b) { return static_cast<std::int16_t>(a + b); }

// The picture's share of its texture: s runs 0..u, t 0 (bottom row)..v.
struct PictureExtent {
    float u = 0, v = 0;
    int width = 0, height = 0;
};

PictureExtent ExtentOf(const OpenGLRainbows& r, int slot)
{
    PictureExtent e;
    if (!ValidSlot(slot)) return e;
    e.width = r.imgWidth[slot];
    e.height = r.imgHeight[slot];
    e.u = static_cast<float>(r.imgWidth[slot]) / static_cast<float>(r.texWidth[slot]);
    e.v = static_cast<float>(r.imgHeight[slot]) / static_cast<float>(r.texHeight[slot]);
    return e;
}

// The quad of a picture around the origin, counter-clockwise as OpenGL sees it.
void CentredFan(float u, float v, int hw, int hh)
{
    glBegin(GL_TRIANGLE_FAN);
    glTexCoord2f(0, 0); glVertex2i(-hw, -hh);
    glTexCoord2f(u, 0); glVertex2i(hw, -hh);
    glTexCoord2f(u, v); glVertex2i(hw, hh);
    glTexCoord2f(0, v); glVertex2i(-hw, hh);
    glEnd();
}

}  // namespace

void OpenGLRainbows::DoAlpha(float a)
{
    glEnable(GL_BLEND);
    if (a == 0) {
        glDisable(GL_BLEND);
        glColor4f(1, 1, 1, 1);
        a = 1;
    } else if (a > 0) {
        glBlendFunc(GL_ONE, GL_ONE);
    } else {
        glBlendFunc(GL_SRC_ALPHA, GL_SRC_COLOR);
        a = -a;
    }
    if (a > 1) a = 1;
    alpha = a;
    glColor4f(a, a, a, 1);
}

void OpenGLRainbows::DrawSprite(int slot, std::int16_t x, std::int16_t y)
{
    if (!ValidSlot(slot)) return;
    StretchSprite(slot, x, y, imgWidth[slot], imgHeight[slot]);
}

void OpenGLRainbows::StretchSprite(int slot, std::int16_t x, std::int16_t y, std::int16_t w, std::int16_t h)
{
    if (!ValidSlot(slot)) return;
    const PictureExtent e = ExtentOf(*this, slot);
    SetTexture3D(slot, -1, 0);
    const std::int16_t right = Add16(x, w);
    const std::int16_t bottom = Add16(y, h);
    glBegin(GL_TRIANGLE_FAN);
    glTexCoord2f(0, 0); glVertex2i(x, -bottom);
    glTexCoord2f(e.u, 0); glVertex2i(right, -bottom);
    glTexCoord2f(e.u, e.v); glVertex2i(right, -y);
    glTexCoord2f(0, e.v); glVertex2i(x, -y);
    glEnd();
}

void OpenGLRainbows::RotoSprite(int slot, std::int16_t x, std::int16_t y, std::int16_t angle)
{
    if (!ValidSlot(slot)) return;
    const PictureExtent e = ExtentOf(*this, slot);
    const int hw = e.width >> 1;
    const int hh = e.height >> 1;
    SetTexture3D(slot, -1, 0);
    glPushMatrix();
    glTranslatef(static_cast<float>(Add16(x, hw)), static_cast<float>(-y - hh), 0);
    glRotatef(angle, 0, 0, 1);
    CentredFan(e.u, e.v, hw, hh);
    glPopMatrix();
}

void OpenGLRainbows::DrawSpriteFX(int slot, std::int16_t x, std::int16_t y, const OPENGL_SPRITEFX& fx)
{
    if (!ValidSlot(slot)) return;
    float r = 1, g = 1, b = 1;
    if (fx.color != 0) {
        r = static_cast<float>(fx.color & 0xFF) / 255.0f;
        g = static_cast<float>((fx.color >> 8) & 0xFF) / 255.0f;
        b = static_cast<float>((fx.color >> 16) & 0xFF) / 255.0f;
    }
    glColor4f(alpha * r, alpha * g, alpha * b, 1);
    const PictureExtent e = ExtentOf(*this, slot);
    const int hw = fx.width > 0 ? fx.width >> 1 : e.width >> 1;
    const int hh = fx.height > 0 ? fx.height >> 1 : e.height >> 1;
    SetTexture3D(slot, -1, 0);
    glPushMatrix();
    // Turned about the centre of the picture at its own size.
    glTranslatef(static_cast<float>(Add16(x, e.width >> 1)), static_cast<float>(-y - (e.height >> 1)), 0);
    glRotatef(fx.angle, 0, 0, 1);
    CentredFan(e.u, e.v, hw, hh);
    glPopMatrix();
    glColor4f(alpha, alpha, alpha, 1);
}

void OpenGLRainbows::GetSpriteSize(int slot, int& w, int& h) const
{
    w = h = 0;
    if (!ValidSlot(slot)) return;
    w = imgWidth[slot];
    h = imgHeight[slot];
}

void OpenGLRainbows::DrawBillboard(int slot, float px, float py, float pz, float scale)
{
    if (!ValidSlot(slot)) return;
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    const float right[3] = {m[0], m[4], m[8]};
    const float up[3] = {m[1], m[5], m[9]};
    const PictureExtent e = ExtentOf(*this, slot);
    const float hw = static_cast<float>(e.width >> 2) * scale;
    const float hh = static_cast<float>(e.height >> 1) * scale;
    const float p[3] = {px, py, pz};

    const int savedFirst = curTexture, savedSecond = curTexture2, savedMipmap = curMipmap;
    SetTexture3D(slot, -1, 0);
    glBegin(GL_TRIANGLE_FAN);
    glTexCoord2f(0, 0);
    glVertex3f(p[0] - hw * right[0], p[1] - hw * right[1], p[2] - hw * right[2]);
    glTexCoord2f(e.u, 0);
    glVertex3f(p[0] + hw * right[0], p[1] + hw * right[1], p[2] + hw * right[2]);
    glTexCoord2f(e.u, e.v);
    glVertex3f(p[0] + hw * right[0] + hh * up[0], p[1] + hw * right[1] + hh * up[1],
               p[2] + hw * right[2] + hh * up[2]);
    glTexCoord2f(0, e.v);
    glVertex3f(p[0] - hw * right[0] + hh * up[0], p[1] - hw * right[1] + hh * up[1],
               p[2] - hw * right[2] + hh * up[2]);
    glEnd();
    SetTexture3D(savedFirst, savedSecond, savedMipmap);
}
