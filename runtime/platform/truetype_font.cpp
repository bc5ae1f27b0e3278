// TrueType and OpenType fonts through SDL_ttf: opened from bytes in memory,
// glyphs rendered one at a time in white with their coverage as alpha.
#include "platform/platform.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <new>
#include <string>
#include <utility>

namespace platform {

struct TrueTypeFont {
    std::vector<unsigned char> bytes;  // read by SDL_ttf for as long as the font is open
    TTF_Font* font = nullptr;
};

namespace {

// Glyph pictures larger than this on a side are not taken: no sensible
// font at the sizes the runtime asks for has one, a hostile file may.
constexpr int kLargestGlyph = 4096;

std::string TtfError()
{
    const char* error = TTF_GetError();
    return error != nullptr && error[0] != '\0' ? error : "no reason given";
}

}  // namespace

TrueTypeFont* OpenTrueTypeFont(const unsigned char* bytes, std::size_t size, int pixelSize, std::string* why)
{
    auto fail = [why](std::string reason) -> TrueTypeFont* {
        if (why != nullptr) *why = std::move(reason);
        return nullptr;
    };
    if (bytes == nullptr || size == 0) return fail("it is empty");
    if (size > 0x7FFFFFFF) return fail("it is larger than 2 GiB");
    if (TTF_WasInit() == 0 && TTF_Init() != 0) return fail("the font renderer cannot start: " + TtfError());
    auto* font = new (std::nothrow) TrueTypeFont;
    if (font == nullptr) return fail("there is not enough memory for it");
    font->bytes.assign(bytes, bytes + size);
    SDL_RWops* stream = SDL_RWFromConstMem(font->bytes.data(), static_cast<int>(font->bytes.size()));
    if (stream != nullptr) font->font = TTF_OpenFontRW(stream, 1, pixelSize);
    if (font->font == nullptr) {
        delete font;
        return fail("it is not a TrueType or OpenType font (" + TtfError() + ")");
    }
    if (TTF_FontHeight(font->font) <= 0) {
        CloseTrueTypeFont(font);
        return fail("its lines have no height");
    }
    return font;
}

void CloseTrueTypeFont(TrueTypeFont* font)
{
    if (font == nullptr) return;
    if (font->font != nullptr) TTF_CloseFont(font->font);
    delete font;
}

bool SetTrueTypeFontSize(TrueTypeFont* font, int pixelSize)
{
    return font != nullptr && TTF_SetFontSize(font->font, pixelSize) == 0 && TTF_FontHeight(font->font) > 0;
}

int TrueTypeFontHeight(const TrueTypeFont* font)
{
    return font != nullptr ? TTF_FontHeight(font->font) : 0;
}

bool RenderTrueTypeGlyph(TrueTypeFont* font, std::uint32_t codePoint, TrueTypeGlyph* glyph)
{
    *glyph = TrueTypeGlyph{};
    if (font == nullptr || TTF_GlyphIsProvided32(font->font, codePoint) == 0) return false;
    int minX = 0, maxX = 0, minY = 0, maxY = 0, advance = 0;
    if (TTF_GlyphMetrics32(font->font, codePoint, &minX, &maxX, &minY, &maxY, &advance) != 0) return false;
    if (maxX - minX > kLargestGlyph || maxY - minY > kLargestGlyph || advance > kLargestGlyph) return false;

    const SDL_Color white = {255, 255, 255, 255};
    SDL_Surface* rendered = TTF_RenderGlyph32_Blended(font->font, codePoint, white);
    if (rendered == nullptr) return false;
    // One known layout to read: 32-bit pixels with their alpha found by SDL.
    SDL_Surface* pixels = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(rendered);
    if (pixels == nullptr) return false;
    if (pixels->w <= 0 || pixels->h <= 0 || pixels->w > kLargestGlyph || pixels->h > kLargestGlyph) {
        SDL_FreeSurface(pixels);
        return false;
    }
    // The picture starts at the line's top unless the glyph reaches above
    // the font's ascent: then it starts that much higher.
    const int above = maxY > TTF_FontAscent(font->font) ? maxY - TTF_FontAscent(font->font) : 0;
    const int top = above < pixels->h ? above : pixels->h;
    glyph->width = pixels->w;
    glyph->height = pixels->h - top;
    glyph->coverage.assign(static_cast<std::size_t>(glyph->width) * static_cast<std::size_t>(glyph->height), 0);
    if (SDL_LockSurface(pixels) == 0) {
        for (int y = 0; y < glyph->height; ++y) {
            const auto* row = static_cast<const std::uint8_t*>(pixels->pixels) +
                              static_cast<std::size_t>(y + top) * static_cast<std::size_t>(pixels->pitch);
            for (int x = 0; x < glyph->width; ++x)
                glyph->coverage[static_cast<std::size_t>(y) * glyph->width + x] = row[4 * x + 3];
        }
        SDL_UnlockSurface(pixels);
    }
    SDL_FreeSurface(pixels);
    // A soft hyphen shows only where a line breaks, which a glyph alone
    // never is: SDL_ttf with text shaping (as Linux has it) renders it
    // blank, and so it is blank where SDL_ttf has no shaping (the browser
    // and Windows builds).
    if (codePoint == 0xAD) std::fill(glyph->coverage.begin(), glyph->coverage.end(), std::uint8_t{0});
    return true;
}

}  // namespace platform
