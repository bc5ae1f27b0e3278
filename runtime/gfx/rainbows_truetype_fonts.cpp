// OpenGLRainbows: TrueType and OpenType fonts rendered into font slots, in
// the layout of a bitmap font extended to all 256 Latin-1 characters.
#include <algorithm>
#include <string>
#include <vector>

#include "gfx/bmp_reader.h"
#include "gfx/opengl_rainbows.h"
#include "gfx/texture_images.h"
#include "gfx/truetype_font_layout.h"
#include "gl/gl_calls.h"
#include "gl/texture_state.h"

namespace {

// Every glyph the font shows, indexed by byte; blank bytes stay empty.
struct RenderedGlyphs {
    platform::TrueTypeGlyph glyphs[256];
    int widest = 0;
};

RenderedGlyphs RenderLatin1(platform::TrueTypeFont* font)
{
    RenderedGlyphs rendered;
    for (int b = 0; b < 256; ++b) {
        const std::uint32_t code = CodePointOfByte(static_cast<unsigned char>(b));
        if (code == 0) continue;
        platform::RenderTrueTypeGlyph(font, code, &rendered.glyphs[b]);
        if (rendered.glyphs[b].width > rendered.widest) rendered.widest = rendered.glyphs[b].width;
    }
    return rendered;
}

int ClampedSize(int pixelSize)
{
    return pixelSize < kSmallestTrueTypeSize ? kSmallestTrueTypeSize
           : pixelSize > kLargestTrueTypeSize ? kLargestTrueTypeSize
                                               : pixelSize;
}

}  // namespace

bool OpenGLRainbows::LoadTrueTypeFont(int font, const char* file, int pixelSize, std::string* why)
{
    std::string unused;
    if (why == nullptr) why = &unused;
    if (font < 0 || font > 15) return false;
    const int slot = kFirstFontSlot + font;
    FreeSprite(slot);

    std::vector<std::uint8_t> bytes;
    if (file == nullptr || !ReadWholeFile(file, bytes)) {
        *why = "it cannot be opened";
        return false;
    }
    int size = ClampedSize(pixelSize);
    platform::TrueTypeFont* ttf = platform::OpenTrueTypeFont(bytes.data(), bytes.size(), size, why);
    if (ttf == nullptr) return false;

    GLint maxTex = 0;
    gl::GetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTex);
    const int largestSide = maxTex > 0 && maxTex < kLargestTrueTypeTexture ? maxTex : kLargestTrueTypeTexture;

    // The cell is as wide as the widest glyph and as high as a line. A size
    // too large for the texture is lowered in proportion, then by one, until
    // the cells fit.
    RenderedGlyphs rendered;
    TrueTypeFontLayout layout;
    for (;;) {
        rendered = RenderLatin1(ttf);
        const int height = platform::TrueTypeFontHeight(ttf);
        const int width = rendered.widest > 0 ? rendered.widest : (height + 1) / 2;
        if (PlanTrueTypeFontLayout(width, height, largestSide, &layout)) break;
        if (size <= kSmallestTrueTypeSize) {
            platform::CloseTrueTypeFont(ttf);
            *why = "its glyphs do not fit into a texture of " + std::to_string(largestSide) + " pixels even at " +
                   std::to_string(kSmallestTrueTypeSize) + " pixels";
            return false;
        }
        const long needed = std::max(31L * width, 15L * height);
        int smaller = static_cast<int>(size * static_cast<long>(largestSide) / needed);
        if (smaller >= size) smaller = size - 1;
        size = ClampedSize(smaller);
        if (!platform::SetTrueTypeFontSize(ttf, size)) {
            platform::CloseTrueTypeFont(ttf);
            *why = "it cannot be rendered at " + std::to_string(size) + " pixels";
            return false;
        }
    }
    platform::CloseTrueTypeFont(ttf);

    std::vector<std::uint8_t> texels(4 * static_cast<std::size_t>(layout.textureWidth) * layout.textureHeight, 0);
    for (int b = 0; b < 256; ++b)
        PlaceGlyph(layout, static_cast<unsigned char>(b), rendered.glyphs[b], texels);

    SetTightUnpacking();
    gl::GenTextures(1, &slots.spriteTex[slot][0]);
    gl::BindTexture(GL_TEXTURE_2D, slots.spriteTex[slot][0]);
    SetTextureParameters(GL_LINEAR);
    gl::TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, layout.textureWidth, layout.textureHeight, 0, GL_RGBA,
                   GL_UNSIGNED_BYTE, texels.data());
    gl::GenTextures(1, &slots.spriteTex[slot][1]);
    gl::BindTexture(GL_TEXTURE_2D, slots.spriteTex[slot][1]);
    SetTextureParameters(GL_LINEAR_MIPMAP_LINEAR);
    const std::vector<MipLevel> chain = MakeMipChain(texels.data(), layout.textureWidth, layout.textureHeight);
    for (std::size_t level = 0; level < chain.size(); ++level)
        gl::TexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), GL_RGBA8, chain[level].width, chain[level].height,
                       0, GL_RGBA, GL_UNSIGNED_BYTE, chain[level].texels.data());

    slots.texWidth[slot] = static_cast<std::int16_t>(layout.textureWidth);
    slots.texHeight[slot] = static_cast<std::int16_t>(layout.textureHeight);
    slots.imgWidth[slot] = static_cast<std::int16_t>(layout.PictureWidth());
    slots.imgHeight[slot] = static_cast<std::int16_t>(layout.PictureHeight());
    return true;
}
