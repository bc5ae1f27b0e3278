// A BASIC program that loads a TrueType font, built by kvbasic and run
// under the test's X display: the "ä" of its UTF-8 source reaches PRINT as
// Latin-1 byte 228 and shows the font's ä; a damaged font file ends it
// with runtime error 3 on the line of LOADTTFFONT.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "game/bmp_picture.h"
#include "support/child_process.h"

namespace {

using namespace testing_support;
using game_testing::BmpPicture;

const std::string kProgram = std::string(KV_SOURCE_DIR) + "/tests/kvbasic/programs/truetype_font.bas";

// The lit pixels of the 64 x 64 area whose top-left is (x, y).
std::vector<bool> Area(const BmpPicture& shot, int x, int y)
{
    std::vector<bool> lit;
    for (int dy = 0; dy < 64; ++dy)
        for (int dx = 0; dx < 64; ++dx) {
            const auto c = shot.At(x + dx, y + dy);
            lit.push_back(c.r != 0 || c.g != 0 || c.b != 0);
        }
    return lit;
}

}  // namespace

TEST(KvBasicTrueTypeFontTest, TheUmlautOfTheSourceShowsTheFontsGlyphAndADamagedFontIsError3)
{
    ScratchFolder folder;
    const std::string program = folder.File("truetype_font");
    {
        ChildProcess kvbasic(BuildProgram("kvbasic"), {"build", kProgram, "-o", program},
                             {"TMPDIR=" + folder.Path(), "XDG_CACHE_HOME=" + folder.File("cache")},
                             folder.File("kvbasic.txt"));
        const ChildResult built = kvbasic.Wait(std::chrono::seconds(240));
        ASSERT_TRUE(built.exited && built.exitCode == 0) << built.stderrText;
    }
    std::ofstream(folder.File("input.txt")) << "3 screenshot " << folder.File("shot.bmp") << "\n";
    const std::vector<std::string> env = {"TMPDIR=" + folder.Path(), "KV_INPUT_SCRIPT=" + folder.File("input.txt"),
                                          "KV_UNPACED=1", "SDL_AUDIODRIVER=dummy"};
    {
        ChildProcess child(program, {}, env, folder.File("stderr.txt"));
        const ChildResult result = child.Wait();
        ASSERT_TRUE(result.exited) << result.stderrText;
        EXPECT_EQ(result.exitCode, 0) << result.stderrText;
        const BmpPicture shot(folder.File("shot.bmp"));
        ASSERT_TRUE(shot.Loaded());
        const auto square = shot.At(20, 20);
        EXPECT_EQ(square.g, 255) << "GETFONTSIZE gave a cell of a 32-pixel font";
        const std::vector<bool> umlaut = Area(shot, 100, 0), byte228 = Area(shot, 100, 80), a = Area(shot, 100, 160);
        int lit = 0;
        for (bool each : umlaut) lit += each;
        EXPECT_GT(lit, 50) << "the ä is drawn";
        EXPECT_EQ(umlaut, byte228) << "\"ä\" in the source is CHR$(228)";
        EXPECT_NE(umlaut, a) << "the ä is not drawn as an a";
    }
    {
        const std::string broken = folder.File("broken.ttf");
        std::ofstream(broken) << "this is no font at all, only some words";
        ChildProcess child(program, {broken}, env, folder.File("stderr.txt"));
        const ChildResult result = child.Wait();
        ASSERT_TRUE(result.exited) << result.stderrText;
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_NE(result.stderrText.find("font " + broken + " cannot be read: it is not a TrueType or OpenType font"),
                  std::string::npos)
            << result.stderrText;
        EXPECT_NE(result.stderrText.find("truetype_font.bas:12: runtime error 3"), std::string::npos)
            << result.stderrText;
    }
}
