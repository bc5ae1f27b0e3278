// libFuzzer harness over the TrueType font path of LOADTTFFONT without the
// OpenGL upload: every input is opened as a font from its bytes, a few
// glyphs (ASCII, Latin-1, a space) are rendered at two sizes and placed
// into a font slot's texels as the loader places them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "gfx/truetype_font_layout.h"
#include "platform/platform.h"

namespace {

const unsigned char kBytes[] = {'A', 'g', ' ', 0xE4, 0xFF, 0xC6, '~'};

void RenderAndPlace(platform::TrueTypeFont* font)
{
    platform::TrueTypeGlyph glyphs[sizeof kBytes];
    int widest = 0;
    for (std::size_t i = 0; i < sizeof kBytes; ++i) {
        platform::RenderTrueTypeGlyph(font, CodePointOfByte(kBytes[i]), &glyphs[i]);
        if (glyphs[i].coverage.size() != static_cast<std::size_t>(glyphs[i].width) * glyphs[i].height) __builtin_trap();
        if (glyphs[i].width > widest) widest = glyphs[i].width;
    }
    TrueTypeFontLayout layout;
    // A small texture limit keeps each input quick; larger cells are refused.
    if (!PlanTrueTypeFontLayout(widest > 0 ? widest : 1, platform::TrueTypeFontHeight(font), 1024, &layout)) return;
    std::vector<std::uint8_t> texels(4 * static_cast<std::size_t>(layout.textureWidth) * layout.textureHeight, 0);
    for (std::size_t i = 0; i < sizeof kBytes; ++i) PlaceGlyph(layout, kBytes[i], glyphs[i], texels);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string why;
    platform::TrueTypeFont* font = platform::OpenTrueTypeFont(data, size, 12, &why);
    if (font == nullptr) {
        if (why.empty()) __builtin_trap();  // a refusal always says why
        return 0;
    }
    RenderAndPlace(font);
    if (platform::SetTrueTypeFontSize(font, 40)) RenderAndPlace(font);
    platform::CloseTrueTypeFont(font);
    return 0;
}
