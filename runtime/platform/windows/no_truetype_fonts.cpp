// TrueType fonts on Windows: the Windows libraries hold no font renderer, so
// every font file fails to open, and LOADTTFFONT says so as for a file it
// cannot read.
#include "platform/platform.h"

namespace platform {

struct TrueTypeFont {};

TrueTypeFont* OpenTrueTypeFont(const unsigned char*, std::size_t, int, std::string* why)
{
    if (why != nullptr) *why = "TrueType fonts are not available in the Windows build";
    return nullptr;
}

void CloseTrueTypeFont(TrueTypeFont* font) { delete font; }
bool SetTrueTypeFontSize(TrueTypeFont*, int) { return false; }
int TrueTypeFontHeight(const TrueTypeFont*) { return 0; }

bool RenderTrueTypeGlyph(TrueTypeFont*, std::uint32_t, TrueTypeGlyph* glyph)
{
    *glyph = TrueTypeGlyph{};
    return false;
}

}  // namespace platform
