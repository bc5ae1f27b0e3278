// TrueType fonts in font slots: the layout against the text drawing's own
// arithmetic, and every Latin-1 character drawn on a real OpenGL context
// compared with the glyph the font renders for it. The fonts are DejaVu's
// (fonts-dejavu-core, installed by scripts/install-deps).
#include <cmath>
#include <cstdlib>
#include <set>
#include <string>
#include <utility>

#include "gfx/truetype_font_layout.h"
#include "gfx_test_support.h"

namespace {

const std::string kMono = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
const std::string kSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// The glyphs the font gives at a size, straight from the platform, with
// the cell they make: the widest glyph, the line's height.
struct ReferenceFont {
    platform::TrueTypeGlyph glyphs[256];
    int cellWidth = 0, cellHeight = 0;
};

ReferenceFont RenderReference(const std::string& path, int size)
{
    ReferenceFont reference;
    const std::vector<std::uint8_t> bytes = ReadFile(path);
    std::string why;
    platform::TrueTypeFont* font = platform::OpenTrueTypeFont(bytes.data(), bytes.size(), size, &why);
    EXPECT_NE(font, nullptr) << path << ": " << why;
    if (font == nullptr) return reference;
    for (int b = 0; b < 256; ++b) {
        const std::uint32_t code = CodePointOfByte(static_cast<unsigned char>(b));
        if (code != 0) platform::RenderTrueTypeGlyph(font, code, &reference.glyphs[b]);
        if (reference.glyphs[b].width > reference.cellWidth) reference.cellWidth = reference.glyphs[b].width;
    }
    reference.cellHeight = platform::TrueTypeFontHeight(font);
    platform::CloseTrueTypeFont(font);
    return reference;
}

// Whether the glyph shows at pixel (x, y) of its cell: coverage above half,
// as the alpha test lets through. -1 where the coverage is too near half
// for the filtering to be held to it.
int ShowsAt(const ReferenceFont& font, int byte, int x, int y)
{
    const platform::TrueTypeGlyph& glyph = font.glyphs[byte];
    const int gx = x - (font.cellWidth - glyph.width) / 2;
    if (gx < 0 || gx >= glyph.width || y >= glyph.height) return 0;
    const int coverage = glyph.coverage[static_cast<std::size_t>(y) * glyph.width + gx];
    if (coverage >= 124 && coverage <= 132) return -1;
    return coverage > 127 ? 1 : 0;
}

std::string OneByte(int byte)
{
    return std::string(1, static_cast<char>(byte));
}

}  // namespace

// The text drawing's cell of every byte, computed as it does in single
// precision and wrapped as the repeating texture wraps it, is the cell the
// layout puts that byte's glyph in; the cells with glyphs never overlap,
// and codes 129..255 all lie outside the picture.
TEST(TrueTypeFontLayout, EveryByteIsDrawnFromTheCellItsGlyphIsPlacedIn)
{
    const std::pair<int, int> cells[] = {{1, 1}, {7, 13}, {12, 23}, {33, 40}, {66, 136}, {132, 273}};
    for (const auto& [cw, ch] : cells) {
        TrueTypeFontLayout layout;
        ASSERT_TRUE(PlanTrueTypeFontLayout(cw, ch, 4096, &layout)) << cw << " x " << ch;
        const int tw = layout.textureWidth, th = layout.textureHeight;
        EXPECT_EQ(tw & (tw - 1), 0);
        EXPECT_EQ(th & (th - 1), 0);
        EXPECT_LE(tw / 2, 31 * cw - 1) << "the texture is no wider than it must be";
        EXPECT_LE(th / 2, 15 * ch - 1) << "the texture is no higher than it must be";
        // As the slot records them and the text drawing reads them.
        const auto imgWidth = static_cast<std::int16_t>(layout.PictureWidth());
        const auto imgHeight = static_cast<std::int16_t>(layout.PictureHeight());
        const float su = static_cast<float>(imgWidth) / static_cast<float>(static_cast<std::int16_t>(tw)) * 0.0625f;
        const float sv = static_cast<float>(imgHeight) / static_cast<float>(static_cast<std::int16_t>(th)) * 0.125f;
        EXPECT_EQ(imgWidth >> 4, cw);
        EXPECT_EQ(imgHeight >> 3, ch);

        std::set<std::pair<int, int>> used;
        for (int b = 1; b < 256; ++b) {
            const int k = static_cast<std::int8_t>(b) % 128;
            const float s0 = static_cast<float>(k % 16) * su;
            const float t0 = static_cast<float>(7 - k / 16) * sv;
            // Texel coordinates of the cell's lower-left corner, wrapped.
            const double s = static_cast<double>(s0) * tw, t = static_cast<double>(t0) * th;
            ASSERT_EQ(s, std::floor(s)) << "byte " << b << ": the cell starts between texels";
            ASSERT_EQ(t, std::floor(t)) << "byte " << b;
            const int column = static_cast<int>(s) < 0 ? static_cast<int>(s) + tw : static_cast<int>(s);
            const int row = static_cast<int>(t) % th;
            int placedColumn = -1, placedRow = -1;
            CellOrigin(layout, static_cast<unsigned char>(b), &placedColumn, &placedRow);
            EXPECT_EQ(placedColumn, column) << "byte " << b << " in cells of " << cw << " x " << ch;
            EXPECT_EQ(placedRow, row) << "byte " << b << " in cells of " << cw << " x " << ch;
            // The quad's far corner stays inside the texture, before wrapping.
            EXPECT_LE(column + cw, tw) << "byte " << b;
            EXPECT_LE(row + ch, th) << "byte " << b;
            if (CodePointOfByte(static_cast<unsigned char>(b)) == 0) continue;
            EXPECT_TRUE(used.insert({column, row}).second) << "byte " << b << " shares its cell";
            const bool inPicture = column < layout.PictureWidth() && row < layout.PictureHeight();
            EXPECT_EQ(inPicture, b < 128) << "byte " << b;
        }
        EXPECT_EQ(used.size(), 95u + 96u) << "printable ASCII and Latin-1 160..255";
    }
    TrueTypeFontLayout layout;
    EXPECT_FALSE(PlanTrueTypeFontLayout(133, 10, 4096, &layout)) << "31 cells of 133 need 8192";
    EXPECT_FALSE(PlanTrueTypeFontLayout(10, 274, 4096, &layout)) << "15 cells of 274 need 8192";
}

class TrueTypeFont : public GfxTest {};

// All 256 characters, each printed at its own place, show exactly the
// glyph the font renders for them (codes 0..31 and 127..159 blank), and
// nothing lands outside their cells.
TEST_F(TrueTypeFont, PrintShowsEveryLatin1GlyphInItsCell)
{
    SETFONT(0);
    LOADTTFFONT(kMono.c_str(), 3, 18.7);
    ASSERT_EQ(g_error, 0);
    EXPECT_EQ(nCurFont, 3) << "the loaded font becomes current";
    const ReferenceFont font = RenderReference(kMono, 18);
    ASSERT_GT(font.cellWidth, 5);
    ASSERT_GT(font.cellHeight, 10);
    double w = 0, h = 0;
    GETFONTSIZE(w, h);
    EXPECT_EQ(w, font.cellWidth);
    EXPECT_EQ(h, font.cellHeight);

    // A 16 x 16 table with a gap of 3 pixels around every cell.
    const int left = 8, top = 8, pitchX = font.cellWidth + 3, pitchY = font.cellHeight + 3;
    ASSERT_LE(left + 16 * pitchX, 640);
    ASSERT_LE(top + 16 * pitchY, 480);
    for (int b = 1; b < 256; ++b)
        PRINT(OneByte(b).c_str(), left + (b % 16) * pitchX, top + (b / 16) * pitchY);
    const Screen s = Screen::Capture();

    int shown[256] = {};
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const bool lit = !(s.At(x, y) == Rgb{});
            const int cx = (x - left) / pitchX, cy = (y - top) / pitchY;
            const int ix = (x - left) % pitchX, iy = (y - top) % pitchY;
            const bool inCell = x >= left && y >= top && cx < 16 && cy < 16 && ix < font.cellWidth &&
                                iy < font.cellHeight;
            if (!inCell) {
                ASSERT_FALSE(lit) << "pixel (" << x << ", " << y << ") lies outside every cell";
                continue;
            }
            const int byte = cy * 16 + cx;
            const int expected = byte == 0 ? 0 : ShowsAt(font, byte, ix, iy);
            if (expected >= 0) {
                ASSERT_EQ(lit, expected == 1) << "byte " << byte << " at (" << ix << ", " << iy << ") of its cell";
            }
            if (lit) ++shown[byte];
        }
    for (int b = 0; b < 256; ++b) {
        // Blank: the controls, the two spaces and the soft hyphen, which
        // shows only where a line breaks.
        const bool blank = CodePointOfByte(static_cast<unsigned char>(b)) == 0 || b == ' ' || b == 160 || b == 173;
        if (blank) {
            EXPECT_EQ(shown[b], 0) << "byte " << b;
        } else {
            EXPECT_GT(shown[b], 0) << "byte " << b << " shows nothing";
        }
    }
}

// "ä" in a program's string is the Latin-1 byte 228: it shows the font's
// ä, not the a, and code 255 its ÿ; "A" alone covers part of its one cell.
TEST_F(TrueTypeFont, UmlautsAndCode255ShowTheirOwnGlyphs)
{
    LOADTTFFONT(kSans.c_str(), 0, 24);
    double w = 0, h = 0;
    GETFONTSIZE(w, h);
    const int cw = static_cast<int>(w), ch = static_cast<int>(h);
    ASSERT_GT(cw, 0);
    PRINT("A", 100, 50);
    int left, top, right, bottom;
    Screen s = Screen::Capture();
    ASSERT_TRUE(s.Bounds(Rgb{}, left, top, right, bottom));
    EXPECT_GE(left, 100);
    EXPECT_GE(top, 50);
    EXPECT_LT(right, 100 + cw);
    EXPECT_LT(bottom, 50 + ch);
    EXPECT_GT(right - left, cw / 3) << "the A is drawn, not a speck";

    ClearScreen();
    const char text[] = {'a', static_cast<char>(0xE4), static_cast<char>(0xFF), 'y', 0};
    PRINT(text, 0, 0);
    s = Screen::Capture();
    auto cell = [&](int index) {
        std::vector<bool> lit;
        for (int y = 0; y < ch; ++y)
            for (int x = 0; x < cw; ++x) lit.push_back(!(s.At(index * cw + x, y) == Rgb{}));
        return lit;
    };
    const auto a = cell(0), aUmlaut = cell(1), yUmlaut = cell(2), y = cell(3);
    EXPECT_NE(a, aUmlaut) << "ä is not drawn as a";
    EXPECT_NE(y, yUmlaut) << "ÿ is not drawn as y";
    // The umlaut's dots: the ä covers every pixel of the a's lower part and
    // more above it.
    int onlyA = 0, onlyUmlaut = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        onlyA += a[i] && !aUmlaut[i];
        onlyUmlaut += aUmlaut[i] && !a[i];
    }
    EXPECT_EQ(onlyA, 0);
    EXPECT_GT(onlyUmlaut, 4);
}

// Sizes are clamped to 4 .. 128 pixels, and a size whose texture would be
// too large is lowered until it fits the slot's 16-bit tables.
TEST_F(TrueTypeFont, SizesAreClampedAndTheTextureFits)
{
    LOADTTFFONT(kMono.c_str(), 1, 1);
    double w4 = 0, h4 = 0;
    GETFONTSIZE(w4, h4);
    const ReferenceFont four = RenderReference(kMono, 4);
    EXPECT_EQ(w4, four.cellWidth);
    EXPECT_EQ(h4, four.cellHeight);

    LOADTTFFONT(kSans.c_str(), 2, 100000);
    const int slot = kFirstFontSlot + 2;
    EXPECT_GT(pRbow->slots.texWidth[slot], 0);
    EXPECT_LE(pRbow->slots.texWidth[slot], kLargestTrueTypeTexture);
    EXPECT_LE(pRbow->slots.texHeight[slot], kLargestTrueTypeTexture);
    EXPECT_NE(pRbow->slots.spriteTex[slot][0], 0u);
    double w = 0, h = 0;
    GETFONTSIZE(w, h);
    EXPECT_GE(31 * w, kLargestTrueTypeTexture / 2) << "lowered no further than needed";
    EXPECT_LE(31 * w, kLargestTrueTypeTexture);
    EXPECT_LE(15 * h, kLargestTrueTypeTexture);
}

TEST_F(TrueTypeFont, AMissingNameStillMakesTheFontCurrent)
{
    LOADTTFFONT(kMono.c_str(), 6, 16);
    const GLuint before = pRbow->slots.spriteTex[kFirstFontSlot + 6][0];
    SETFONT(0);
    LOADTTFFONT(Path("missing.ttf").c_str(), 6, 16);
    EXPECT_EQ(g_error, 0);
    EXPECT_EQ(nCurFont, 6);
    EXPECT_EQ(pRbow->slots.spriteTex[kFirstFontSlot + 6][0], before);
    LOADTTFFONT("", 40, 16);
    EXPECT_EQ(nCurFont, 15);
}

// A file that is not a font ends the program with runtime error 3 after
// saying why, as an unreadable bitmap font does.
class TrueTypeFontDeath : public GfxDeathTest {};

TEST_F(TrueTypeFontDeath, AFileThatIsNoFontIsFatalError3)
{
    // The start of a real font with its tables cut off and overwritten.
    std::vector<std::uint8_t> bytes = ReadFile(kMono);
    ASSERT_GT(bytes.size(), 4096u);
    bytes.resize(4096);
    for (std::size_t i = 4; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
    const std::string path = Path("broken.ttf");
    WriteFile(path, bytes);
#ifdef _WIN32
    // GoogleTest's own regular expressions on Windows: "." is no line end.
    const std::string nextLine = ".*\\s+";
#else
    const std::string nextLine = ".*";
#endif
    EXPECT_EXIT(LOADTTFFONT(path.c_str(), 4, 16), ::testing::ExitedWithCode(1),
                "font .*broken.ttf cannot be read: it is not a TrueType or OpenType font" + nextLine +
                    "file 0, line 1: runtime error 3: file or media missing or unreadable");
    WriteFile(path, {});
    EXPECT_EXIT(LOADTTFFONT(path.c_str(), 4, 16), ::testing::ExitedWithCode(1),
                "font .*broken.ttf cannot be read: it is empty" + nextLine + "file 0, line 1: runtime error 3");
}
