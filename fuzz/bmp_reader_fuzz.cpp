// libFuzzer harness over the BMP reader: any bytes go through the header
// check, the whole-file check and, for an accepted picture, every pixel
// lookup and the texel building the loaders do with it.
#include <cstddef>
#include <cstdint>

#include "gfx/bmp_reader.h"
#include "gfx/texture_images.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    BmpHeader header;
    ParseBmpHeader(data, size, size, header);

    BmpPicture picture;
    if (!ParseBmpPicture(data, size, picture)) return 0;
    // Keep the work per input small: large accepted pictures are sampled.
    std::uint32_t sum = 0;
    const int stepX = picture.width / 64 + 1, stepY = picture.height / 64 + 1;
    for (int y = 0; y < picture.height; y += stepY)
        for (int x = 0; x < picture.width; x += stepX) sum += picture.ColorAt(x, y);
    sum += picture.ColorAt(picture.width - 1, picture.height - 1);

    // A tile as the surfaces cut it, partly outside the picture.
    const auto texels = MakeSpriteTexels(picture, picture.width / 2, picture.height / 2, 64, 64, 64, 64, 0x8000FF, true);
    return static_cast<int>((sum + texels[0]) & 0);
}
