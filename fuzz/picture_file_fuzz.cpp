// libFuzzer harness over the picture decoder (PNG, JPEG, GIF, TGA): any
// bytes go through the format check, the declared-size check and the
// decoder, at the loaders' size limit, then an accepted picture through
// the texel building the sprite and surface loaders do with it.
//
// The seed corpus (fuzz/corpus/picture_file_fuzz/) holds tiny files of each
// format: PNGs (RGBA, RGB, a palette with tRNS) written with Python's zlib,
// a two-frame GIF with a transparent index and TGAs (24, 32 bits, RLE)
// written byte by byte, and an 8 x 8 JPEG saved by SDL2_image's IMG_SaveJPG.
#include <cstddef>
#include <cstdint>
#include <string>

#include "gfx/sprite_slots.h"
#include "gfx/texture_images.h"
#include "platform/platform.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    platform::DecodedPicture picture;
    std::string why;
    // A smaller limit than the loaders' keeps the work per input small; the
    // same code checks it.
    constexpr int kLimit = kLargestPicture / 16;
    if (platform::DecodePictureFile(data, size, kLimit, picture, &why) != platform::PictureDecoding::Decoded) {
        if (why.empty()) __builtin_trap();  // every refusal has a reason
        return 0;
    }
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.width > kLimit || picture.height > kLimit ||
        picture.rgba.size() != static_cast<std::size_t>(picture.width) * picture.height * 4)
        __builtin_trap();
    // A whole sprite (clamped to 64 x 64) and a tile partly outside the picture.
    const int w = picture.width < 64 ? picture.width : 64, h = picture.height < 64 ? picture.height : 64;
    const auto sprite = MakeSpriteTexels(picture, 0, 0, w, h, NextPowerOfTwo(w), NextPowerOfTwo(h), 0x8000FF, true);
    const auto tile = MakeSpriteTexels(picture, picture.width / 2, picture.height / 2, 64, 64, 64, 64, 0, false);
    return static_cast<int>((sprite[0] + tile[0]) & 0);
}
