// OpenGLRainbows: pixel-exact collision of two sprites, from alpha masks
// read back from their textures once and cached per slot.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "gfx/opengl_rainbows.h"
#include "gl/gl_calls.h"

namespace {

// The alpha byte of texel (column, row) of a slot's texture; 0 outside it.
unsigned char MaskByte(const SpriteSlots& slots, int slot, int column, int row)
{
    const unsigned char* mask = slots.alphaMask[slot];
    if (mask == nullptr || column < 0 || row < 0 || column >= slots.texWidth[slot] || row >= slots.texHeight[slot])
        return 0;
    return mask[static_cast<std::size_t>(row) * slots.texWidth[slot] + column];
}

// Reads level 0 of the slot's linear texture as alpha bytes, once.
void EnsureAlphaMask(SpriteSlots& slots, int slot)
{
    if (slots.alphaMask[slot] != nullptr || slots.texWidth[slot] <= 0 || slots.texHeight[slot] <= 0) return;
    const std::size_t bytes = static_cast<std::size_t>(slots.texWidth[slot]) * slots.texHeight[slot];
    unsigned char* mask = static_cast<unsigned char*>(std::calloc(bytes, 1));
    if (mask == nullptr) return;
    GLint bound = 0;
    gl::GetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    gl::BindTexture(GL_TEXTURE_2D, slots.spriteTex[slot][0]);
    gl::PixelStorei(GL_PACK_ALIGNMENT, 1);  // rows of 1 or 2 bytes must not be padded
    gl::PixelStorei(GL_PACK_ROW_LENGTH, 0);
    GLint realWidth = 0, realHeight = 0;
    gl::GetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &realWidth);
    gl::GetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &realHeight);
    // A texture clipped to the driver's limit is smaller than recorded; it
    // is only read when it fits the mask.
    if (realWidth == slots.texWidth[slot] && realHeight == slots.texHeight[slot])
        gl::GetTexImage(GL_TEXTURE_2D, 0, GL_ALPHA, GL_UNSIGNED_BYTE, mask);
    gl::BindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    slots.alphaMask[slot] = mask;
}

}  // namespace

bool OpenGLRainbows::SpriteCollision(int s1, int s2, std::int16_t x1, std::int16_t y1, std::int16_t x2,
                                     std::int16_t y2)
{
    if (!ValidSlot(s1) || !ValidSlot(s2)) return false;
    const int left = std::max(x1, x2);
    const int right = std::min(static_cast<std::int16_t>(x1 + slots.imgWidth[s1]),
                               static_cast<std::int16_t>(x2 + slots.imgWidth[s2]));
    if (left > right) return false;
    const int top = std::max(y1, y2);
    const int bottom = std::min(static_cast<std::int16_t>(y1 + slots.imgHeight[s1]),
                                static_cast<std::int16_t>(y2 + slots.imgHeight[s2]));
    if (top > bottom) return false;

    EnsureAlphaMask(slots, s1);
    EnsureAlphaMask(slots, s2);
    for (int x = left; x < right; ++x) {
        for (int y = top; y < bottom; ++y) {
            // Texture row 0 holds the picture's bottom row.
            const unsigned char a1 = MaskByte(slots, s1, x - x1, slots.imgHeight[s1] - 1 - (y - y1));
            if (a1 == 0) continue;
            if (MaskByte(slots, s2, x - x2, slots.imgHeight[s2] - 1 - (y - y2)) == 255) return true;
        }
    }
    return false;
}
