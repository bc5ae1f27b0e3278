// Sprite slots: the pictures a program loads, grabs or uses as fonts,
// numbered 0 to 4094, each with a linear and a mipmapped texture, and the
// slots last selected for drawing.
#pragma once

#include <GL/gl.h>

#include <cstdint>

constexpr int kSpriteSlots = 4095;   // sprite slots 0..4094
constexpr int kFirstFontSlot = 4079; // font f lives in slot 4079 + f
constexpr int kLargestPicture = 16384; // largest side whose texture size fits in 16 bits

// Whether a slot number names one of the sprite slots.
inline bool ValidSlot(int slot) { return slot >= 0 && slot < kSpriteSlots; }

// The per-slot tables. An empty slot has texture sizes -1 and no textures;
// construction zero-fills the tables, and the renderer then empties every
// slot (FreeAll).
struct SpriteSlots {
    std::int16_t texWidth[kSpriteSlots] = {};   // texture width (a power of two), -1 = empty
    std::int16_t texHeight[kSpriteSlots] = {};  // texture height (a power of two), -1 = empty
    std::int16_t imgWidth[kSpriteSlots] = {};   // picture width in pixels
    std::int16_t imgHeight[kSpriteSlots] = {};  // picture height in pixels
    // Cached alpha bytes for pixel-exact collision, null until first needed.
    unsigned char* alphaMask[kSpriteSlots] = {};
    // [0] the texture with linear filtering, [1] the mipmapped one (0 = none).
    GLuint spriteTex[kSpriteSlots][2] = {};
};

// What SetTexture3D last selected: slots (-1 = none) and which variant.
struct TextureSelection {
    std::int32_t curTexture = -1;
    std::int32_t curTexture2 = -1;
    std::int32_t curMipmap = 0;  // 1: the mipmapped textures
};
