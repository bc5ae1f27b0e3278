// The pictures behind sprite textures, made on the CPU before upload: RGBA
// texels from a BMP or a decoded picture (with colour keying), the
// hand-made mip chain and the detail normal map. No OpenGL here.
#pragma once

#include <cstdint>
#include <vector>

#include "gfx/bmp_reader.h"
#include "platform/platform.h"

// Smallest power of two not below n; 1 for n of 1 or less.
int NextPowerOfTwo(int n);

// RGBA texels (tw x th, rows bottom first, all (0, 0, 0, 0) to begin with)
// holding the picture's rectangle of cw x ch pixels whose top-left is
// (x0, y0): picture row y0 lands in texture row ch - 1. Pixels outside the
// picture stay transparent black; with useKey, pixels of colour colorKey
// become (0, 0, 0, 0), the others get alpha 255.
std::vector<std::uint8_t> MakeSpriteTexels(const BmpPicture& picture, int x0, int y0, int cw, int ch,
                                           int tw, int th, std::uint32_t colorKey, bool useKey);

// The same from a decoded picture. One that says which pixels are
// see-through keeps its own colours and alpha, a pixel of alpha 0 becoming
// (0, 0, 0, 0); the colour key does not apply to it. Any other is keyed
// exactly as a BMP of the same pixels.
std::vector<std::uint8_t> MakeSpriteTexels(const platform::DecodedPicture& picture, int x0, int y0, int cw,
                                           int ch, int tw, int th, std::uint32_t colorKey, bool useKey);

// One RGBA level of a mip chain.
struct MipLevel {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> texels;
};

// The whole chain from level 0 down to the first 1 x 1 level, each level
// computed from the one before with the renderer's own weighted filter.
std::vector<MipLevel> MakeMipChain(const std::uint8_t* texels, int width, int height);

// Turns an RGBA picture into a normal map in place: the blue channel / 255
// is the height; neighbours wrap around the edges; alpha is kept. Every
// output comes from the unchanged input.
void MakeDetailNormalMap(unsigned char* image, int width, int height);
