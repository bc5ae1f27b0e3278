// OpenGLRainbows: text from bitmap fonts. A font is a picture of 16 x 8
// equal cells; the cell in column c and row r (row 0 at the top) holds code
// 16r + c. Text is monospaced and drawn one textured quad per byte.
#include <cstdint>
#include <cstring>

#include "gfx/opengl_rainbows.h"

void OpenGLRainbows::DrawTextA(std::int16_t font, const char* text, std::int16_t x, std::int16_t y)
{
    if (text == nullptr) return;
    const int slot = kFirstFontSlot + font;
    if (slot < 0 || slot >= kSpriteSlots) return;
    const std::size_t length = std::strlen(text);
    SelectTextures(slot, -1, 0);
    // One cell in texture coordinates, and in pixels.
    const float su = static_cast<float>(slots.imgWidth[slot]) / static_cast<float>(slots.texWidth[slot]) * 0.0625f;
    const float sv = static_cast<float>(slots.imgHeight[slot]) / static_cast<float>(slots.texHeight[slot]) * 0.125f;
    const int cw = slots.imgWidth[slot] >> 4;
    const int ch = slots.imgHeight[slot] >> 3;

    const float* c = CurrentColor();
    BatchVertex* v = AppendVertices(SpriteKey(slot, GL_QUADS), 4 * length);
    for (std::size_t i = 0; i < length; ++i) {
        // Bytes 128..255 count as negative: they give negative cells, which
        // the repeating texture wraps onto cells of the grid.
        const int k = static_cast<std::int8_t>(text[i]) % 128;
        const int r = k / 16;
        const int col = k % 16;
        const float s0 = static_cast<float>(col) * su;
        const float t0 = static_cast<float>(7 - r) * sv;
        const float left = x, right = x + cw, bottom = -y - ch, top = -y;
        *v++ = {left, bottom, 0, s0, t0, c[0], c[1], c[2], c[3]};
        *v++ = {right, bottom, 0, s0 + su, t0, c[0], c[1], c[2], c[3]};
        *v++ = {right, top, 0, s0 + su, t0 + sv, c[0], c[1], c[2], c[3]};
        *v++ = {left, top, 0, s0, t0 + sv, c[0], c[1], c[2], c[3]};
        x = static_cast<std::int16_t>(x + cw);
    }
    CommitTextures();
}

void OpenGLRainbows::GetFontSize(int font, int& w, int& h) const
{
    w = h = 0;
    if (font < 0 || font > 15) return;
    w = slots.imgWidth[kFirstFontSlot + font];
    h = slots.imgHeight[kFirstFontSlot + font];
}
