// OpenGLRainbows: the alpha mode and sprites drawn as single textured
// quads: plain, stretched, rotated, rotated with size and tint, and as
// camera-facing billboards for the 3D layer.
#include <algorithm>
#include <cstdint>

#include "gfx/opengl_rainbows.h"
#include "gl/gl_calls.h"

namespace {

// Screen coordinates are 16-bit: sums wrap like the renderer's own.
std::int16_t Add16(int a, int b) { return static_cast<std::int16_t>(a + b); }

// The picture's share of its texture: s runs 0..u, t 0 (bottom row)..v.
struct PictureExtent {
    float u = 0, v = 0;
    int width = 0, height = 0;
};

PictureExtent ExtentOf(const SpriteSlots& slots, int slot)
{
    PictureExtent e;
    if (!ValidSlot(slot)) return e;
    e.width = slots.imgWidth[slot];
    e.height = slots.imgHeight[slot];
    e.u = static_cast<float>(slots.imgWidth[slot]) / static_cast<float>(slots.texWidth[slot]);
    e.v = static_cast<float>(slots.imgHeight[slot]) / static_cast<float>(slots.texHeight[slot]);
    return e;
}

// The corners of a picture's quad around (cx, cy), counter-clockwise as
// OpenGL sees it: x, y, s, t.
struct Corners {
    float c[4][4];
};

Corners CentredQuad(float cx, float cy, float u, float v, int hw, int hh)
{
    const float l = cx - static_cast<float>(hw), r = cx + static_cast<float>(hw);
    const float b = cy - static_cast<float>(hh), t = cy + static_cast<float>(hh);
    return {{{l, b, 0, 0}, {r, b, u, 0}, {r, t, u, v}, {l, t, 0, v}}};
}

}  // namespace

void OpenGLRainbows::DoAlpha(float a)
{
    if (a == 0) {
        SetBlending(false, GL_ONE, GL_ZERO);
        a = 1;
    } else if (a > 0) {
        SetBlending(true, GL_ONE, GL_ONE);
    } else {
        SetBlending(true, GL_SRC_ALPHA, GL_SRC_COLOR);
        a = -a;
    }
    if (a > 1) a = 1;
    alpha = a;
    SetColor(a, a, a, 1);
}

void OpenGLRainbows::DrawSprite(int slot, std::int16_t x, std::int16_t y)
{
    if (!ValidSlot(slot)) return;
    StretchSprite(slot, x, y, slots.imgWidth[slot], slots.imgHeight[slot]);
}

void OpenGLRainbows::StretchSprite(int slot, std::int16_t x, std::int16_t y, std::int16_t w, std::int16_t h)
{
    if (!ValidSlot(slot)) return;
    const PictureExtent e = ExtentOf(slots, slot);
    SelectTextures(slot, -1, 0);
    const float right = Add16(x, w);
    const float bottom = Add16(y, h);
    const float left = x, top = y;
    const float corners[4][4] = {{left, -bottom, 0, 0}, {right, -bottom, e.u, 0}, {right, -top, e.u, e.v}, {left, -top, 0, e.v}};
    const PixelArea area{static_cast<int>(std::min(left, right)), static_cast<int>(std::min(top, bottom)),
                         static_cast<int>(std::max(left, right)), static_cast<int>(std::max(top, bottom))};
    const bool ownSize = w == e.width && h == e.height;
    if (!OffDrawingArea(area)) AppendQuad(PictureKey(slot, ownSize), corners, CurrentColor(), &area);
    CommitTextures();
}

void OpenGLRainbows::RotoSprite(int slot, std::int16_t x, std::int16_t y, std::int16_t angle)
{
    if (!ValidSlot(slot)) return;
    const PictureExtent e = ExtentOf(slots, slot);
    const int hw = e.width >> 1;
    const int hh = e.height >> 1;
    SelectTextures(slot, -1, 0);
    DrawTurned(slot, static_cast<float>(Add16(x, hw)), static_cast<float>(-y - hh), angle, e.u, e.v, hw, hh,
               CurrentColor());
    CommitTextures();
}

void OpenGLRainbows::DrawTurned(int slot, float cx, float cy, float angle, float u, float v, int hw, int hh,
                                const float* rgba)
{
    const float c[4] = {rgba[0], rgba[1], rgba[2], rgba[3]};
    if (angle == 0) {
        // Unturned, the corners are whole numbers OpenGL would add exactly.
        const bool ownSize = ValidSlot(slot) && 2 * hw == slots.imgWidth[slot] && 2 * hh == slots.imgHeight[slot];
        AppendQuad(PictureKey(slot, ownSize), CentredQuad(cx, cy, u, v, hw, hh).c, c);
        return;
    }
    // Turned by OpenGL itself, so the corners land exactly where the
    // driver's own arithmetic puts them. Popping the matrix puts the
    // projection back as it was.
    const bool plain = plainProjection;
    Flush2D();
    gl::PushMatrix();
    gl::Translatef(cx, cy, 0);
    gl::Rotatef(angle, 0, 0, 1);
    AppendQuad(SpriteKey(slot, GL_TRIANGLES), CentredQuad(0, 0, u, v, hw, hh).c, c);
    Flush2D();
    gl::PopMatrix();
    plainProjection = plain;
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
    const float tint[4] = {alpha * r, alpha * g, alpha * b, 1};
    const PictureExtent e = ExtentOf(slots, slot);
    const int hw = fx.width > 0 ? fx.width >> 1 : e.width >> 1;
    const int hh = fx.height > 0 ? fx.height >> 1 : e.height >> 1;
    SelectTextures(slot, -1, 0);
    // Turned about the centre of the picture at its own size.
    DrawTurned(slot, static_cast<float>(Add16(x, e.width >> 1)), static_cast<float>(-y - (e.height >> 1)), fx.angle,
               e.u, e.v, hw, hh, tint);
    SetColor(alpha, alpha, alpha, 1);
    CommitTextures();
}

void OpenGLRainbows::GetSpriteSize(int slot, int& w, int& h) const
{
    w = h = 0;
    if (!ValidSlot(slot)) return;
    w = slots.imgWidth[slot];
    h = slots.imgHeight[slot];
}

void OpenGLRainbows::DrawBillboard(int slot, float px, float py, float pz, float scale)
{
    if (!ValidSlot(slot)) return;
    GLfloat m[16];
    gl::GetFloatv(GL_MODELVIEW_MATRIX, m);
    const float right[3] = {m[0], m[4], m[8]};
    const float up[3] = {m[1], m[5], m[9]};
    const PictureExtent e = ExtentOf(slots, slot);
    const float hw = static_cast<float>(e.width >> 2) * scale;
    const float hh = static_cast<float>(e.height >> 1) * scale;
    const float p[3] = {px, py, pz};

    const TextureSelection saved = selection;
    SelectTextures(slot, -1, 0);
    const float* c = CurrentColor();
    const float corner[4][5] = {
        {p[0] - hw * right[0], p[1] - hw * right[1], p[2] - hw * right[2], 0, 0},
        {p[0] + hw * right[0], p[1] + hw * right[1], p[2] + hw * right[2], e.u, 0},
        {p[0] + hw * right[0] + hh * up[0], p[1] + hw * right[1] + hh * up[1], p[2] + hw * right[2] + hh * up[2], e.u,
         e.v},
        {p[0] - hw * right[0] + hh * up[0], p[1] - hw * right[1] + hh * up[1], p[2] - hw * right[2] + hh * up[2], 0,
         e.v},
    };
    static constexpr int kFanTriangles[6] = {0, 1, 2, 0, 2, 3};
    BatchVertex* v = AppendVertices(SpriteKey(slot, GL_TRIANGLES), 6);
    for (int i : kFanTriangles)
        *v++ = {corner[i][0], corner[i][1], corner[i][2], corner[i][3], corner[i][4], c[0], c[1], c[2], c[3]};
    SelectTextures(saved.curTexture, saved.curTexture2, saved.curMipmap);
    CommitTextures();
}
