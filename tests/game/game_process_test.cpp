// The built game as a child process, driven by the scripted input source
// with fixed random seed and unpaced frames: whole play-throughs, checked
// at chosen frames through screenshots, the recorded audio and the error log.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bmp_picture.h"
#include "support/child_process.h"

namespace game_testing {
namespace {

using namespace testing_support;

constexpr int kEscape = 1, kSpace = 57, kKeyOne = 2;
// The SHOWSCREEN lines of the intro and of the next-level screen.
constexpr int kIntroShowScreenLine = 543;
constexpr int kNextLevelShowScreenLine = 696;

struct CatAt {
    long frame;
    int xpos, ypos, scrollx, scrolly, flagsLeft;
};

// The planned way through level 1: its script entries (frames from the
// level's first frame) and where the cat is at chosen frames.
struct Route {
    std::vector<std::pair<long, std::string>> entries;
    std::vector<CatAt> marks;
    long lastFrame = -1;
};

Route ReadRoute()
{
    Route route;
    std::ifstream in(std::string(KV_SOURCE_DIR) + "/tests/game/data/level1_route.txt");
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string first;
        words >> first;
        if (first == "#@") {
            CatAt mark{};
            std::string what;
            words >> mark.frame >> what;
            if (what == "done") {
                route.lastFrame = mark.frame;
                continue;
            }
            std::string flagsWord;
            words >> mark.xpos >> mark.ypos >> mark.scrollx >> mark.scrolly >> flagsWord >> mark.flagsLeft;
            route.marks.push_back(mark);
        } else if (!first.empty() && first[0] != '#') {
            route.entries.emplace_back(std::stol(first), line.substr(line.find(' ') + 1));
        }
    }
    return route;
}

class GameProcessTest : public ::testing::Test {
protected:
    void Add(long frame, const std::string& entry) { script.emplace_back(frame, entry); }
    void Key(long frame, int code, bool down) { Add(frame, "key " + std::to_string(code) + (down ? " down" : " up")); }
    void Tap(long frame, int code, long held = 5)
    {
        Key(frame, code, true);
        Key(frame + held, code, false);
    }
    void Shot(long frame, const std::string& name) { Add(frame, "screenshot " + folder.File(name)); }
    BmpPicture Picture(const std::string& name) { return BmpPicture(folder.File(name)); }

    // Unpaced runs present frames as fast as they are drawn; a paced run keeps
    // the game's 60 frames a second, so that wall-clock effects (a sound
    // still playing when the next flag is taken) happen as in real play.
    ChildResult Run(const std::string& program = BuildProgram("game/zorvelin"), bool paced = false)
    {
        // The script's frames must not decrease; entries of one frame keep
        // the order they were added in.
        std::stable_sort(script.begin(), script.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        std::ofstream file(folder.File("input.txt"));
        for (const auto& [frame, entry] : script) file << frame << " " << entry << "\n";
        file.close();
        ChildProcess child(program, {},
                           {"TMPDIR=" + folder.Path(), "KV_INPUT_SCRIPT=" + folder.File("input.txt"),
                            paced ? "KV_UNPACED=" : "KV_UNPACED=1", "KV_SEED=3", "KV_WINDOWED=1",
                            "KV_NO_MESSAGEBOX=1", "SDL_AUDIODRIVER=disk",
                            "SDL_DISKAUDIOFILE=" + folder.File("audio.raw"),
                            "KV_SOUND_LOG=" + folder.File("sounds.txt")},
                           folder.File("stderr.txt"));
        EXPECT_TRUE(child.Started());
        return child.Wait(std::chrono::seconds(240));
    }

    // The last five lines of the error log: the end state.
    std::vector<std::string> EndOfLog()
    {
        std::vector<std::string> log = ErrorLogLines(folder.Path());
        if (log.size() < 5) return log;
        return {log.end() - 5, log.end()};
    }

    std::vector<std::pair<long, std::string>> script;
    ScratchFolder folder;
    BmpPicture large{MediaPath("font.bmp")}, small{MediaPath("fontklein.bmp")};
};

// Share of the pixels where the two tile pictures differ at which the
// screenshot shows the first picture, leaving out a box (the cat).
double ShareShowing(const BmpPicture& shot, int x0, int y0, const BmpPicture& shown, const BmpPicture& other,
                    int skipX, int skipY)
{
    int differing = 0, matching = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            int sx = x0 + x, sy = y0 + y;
            if (sx >= skipX - 4 && sx < skipX + 36 && sy >= skipY - 4 && sy < skipY + 36) continue;
            if (shown.At(x, y) == other.At(x, y)) continue;
            ++differing;
            matching += shot.At(sx, sy) == shown.At(x, y);
        }
    return differing ? static_cast<double>(matching) / differing : 0.0;
}

// Stretches of sound in the recorded audio (16-bit stereo at 22050 Hz),
// separated by at least 60 ms of silence: their lengths in seconds.
std::vector<double> SoundBursts(const std::string& raw)
{
    const std::size_t frames = raw.size() / 4;
    std::vector<double> bursts;
    bool inBurst = false;
    std::size_t start = 0, lastLoud = 0;
    auto sample = [&](std::size_t f, std::size_t k) {
        return static_cast<std::int16_t>(static_cast<unsigned char>(raw[4 * f + 2 * k]) |
                                         static_cast<unsigned char>(raw[4 * f + 2 * k + 1]) << 8);
    };
    for (std::size_t f = 0; f < frames; ++f) {
        bool loud = std::abs(sample(f, 0)) > 200 || std::abs(sample(f, 1)) > 200;
        if (inBurst && !loud && f - lastLoud > 22050 * 6 / 100) {
            bursts.push_back((lastLoud - start + 1) / 22050.0);
            inBurst = false;
        }
        if (loud && !inBurst) {
            inBurst = true;
            start = f;
        }
        if (loud) lastLoud = f;
    }
    if (inBurst) bursts.push_back((lastLoud - start + 1) / 22050.0);
    return bursts;
}

// The length of a wave file's samples in sample frames (0: not readable).
std::size_t WaveSampleFrames(const std::string& path)
{
    const std::string bytes = ReadWholeFile(path);
    auto number = [&](std::size_t at, int size) {
        std::size_t value = 0;
        for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
        return value;
    };
    std::size_t blockAlign = 0;
    for (std::size_t at = 12; at + 8 <= bytes.size(); at += 8 + number(at + 4, 4) + (number(at + 4, 4) & 1)) {
        const std::string id = bytes.substr(at, 4);
        if (id == "fmt " && at + 22 <= bytes.size()) blockAlign = number(at + 20, 2);
        if (id == "data" && blockAlign > 0) return number(at + 4, 4) / blockAlign;
    }
    return 0;
}

// The frames in which the mixer was asked to play a sound of this length,
// from the sound log ("<frame> play <channel> <length> once|loop").
std::vector<long> FramesPlaying(const std::string& log, std::size_t length)
{
    std::vector<long> frames;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        long frame = 0;
        std::string play, mode;
        int channel = 0;
        std::size_t frameCount = 0;
        if (words >> frame >> play >> channel >> frameCount >> mode && play == "play" && frameCount == length)
            frames.push_back(frame);
    }
    return frames;
}

TEST_F(GameProcessTest, PlaysThroughLevelOneToTheLevelTwoScreen)
{
    const Route route = ReadRoute();
    ASSERT_GT(route.lastFrame, 100);
    ASSERT_EQ(route.marks.size(), 11u);
    Shot(5, "intro.bmp");
    Tap(10, kKeyOne, 2);  // easy
    Shot(15, "level1.bmp");
    Tap(20, kSpace);
    const long start = 25;  // the level's first frame: the space bar is released
    for (const auto& [frame, entry] : route.entries) Add(start + frame, entry);
    Shot(start, "first_frame.bmp");
    // A flag collected in frame k shows as land from frame k + 1 on.
    const CatAt firstFlag = route.marks[2];
    Shot(start + firstFlag.frame, "flag_before.bmp");
    Shot(start + firstFlag.frame + 1, "flag_after.bmp");
    Shot(start + route.lastFrame + 10, "level2.bmp");
    // A second after the last flag, so that its sound has played out.
    Tap(start + route.lastFrame + 60, kEscape);

    ChildResult result = Run(BuildProgram("game/zorvelin"), true);
    ASSERT_TRUE(result.exited) << result.stderrText;
    EXPECT_EQ(result.exitCode, 0);

    EXPECT_TRUE(TextShown(Picture("intro.bmp"), large, "Zorvelin", 140, 80));
    EXPECT_TRUE(TextShown(Picture("level1.bmp"), large, "Level 1", 100, 100));
    EXPECT_TRUE(TextShown(Picture("level1.bmp"), small, "Weiter mit Leertaste", 100, 400));

    // The first frame: the cat at its start (300, 140), drawn before the
    // view moves, over the map seen from (-160, -112).
    BmpPicture first = Picture("first_frame.bmp");
    BmpPicture cat(MediaPath("katze_rechts.bmp")), flag(MediaPath("flagge.bmp")), land(MediaPath("land.bmp"));
    int catPixels = 0, catMatches = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            if (cat.At(x, y) == Colour{255, 0, 128}) continue;
            ++catPixels;
            catMatches += first.At(300 + x, 140 + y) == cat.At(x, y);
        }
    EXPECT_EQ(catMatches, catPixels);
    EXPECT_GT(ShareShowing(first, 448 - 160, 192 - 112, flag, land, 300, 140), 0.95) << "flag d";
    // The lives: a red bar from 578 to 625 and 18 to 33 with three cats on it.
    const Colour red{255, 0, 0};
    EXPECT_NE(first.At(577, 25), red);
    EXPECT_NE(first.At(626, 25), red);
    for (int life = 1; life <= 3; ++life) {
        int redPixels = 0, others = 0;
        for (int y = 18; y <= 33; ++y)
            for (int x = 562 + 16 * life; x <= 577 + 16 * life; ++x) (first.At(x, y) == red ? redPixels : others)++;
        EXPECT_GT(redPixels, 20) << life;
        EXPECT_GT(others, 40) << life;
    }

    // The first flag taken turns to land in the next frame.
    const CatAt& at = firstFlag;
    const std::pair<int, int> flagWorld = {448, 192};  // d, the first of the route
    EXPECT_EQ(at.flagsLeft, 8);
    int tileX = flagWorld.first + at.scrollx, tileY = flagWorld.second + at.scrolly;
    // In the frame of the touch the map is still drawn with the view of the
    // frame before, which differs by at most one step of 3 pixels.
    double before = 0;
    for (int dx : {-3, 0, 3})
        for (int dy : {-3, 0, 3})
            before = std::max(before, ShareShowing(Picture("flag_before.bmp"), tileX + dx, tileY + dy, flag, land,
                                                   at.xpos, at.ypos));
    EXPECT_GT(before, 0.95);
    EXPECT_GT(ShareShowing(Picture("flag_after.bmp"), tileX, tileY, land, flag, at.xpos, at.ypos), 0.95);

    EXPECT_TRUE(TextShown(Picture("level2.bmp"), large, "Level 2", 100, 100));

    // One pick-up sound per flag, asked of the mixer in the frame the flag
    // is taken (where the route's count of flags left goes down).
    std::vector<long> flagFrames;
    for (std::size_t i = 1; i < route.marks.size(); ++i)
        if (route.marks[i].flagsLeft < route.marks[i - 1].flagsLeft) flagFrames.push_back(start + route.marks[i].frame);
    ASSERT_EQ(flagFrames.size(), 9u);
    const std::size_t pickUpLength = WaveSampleFrames(MediaPath("einsammeln.wav"));
    ASSERT_GT(pickUpLength, 0u);
    const std::string sounds = ReadWholeFile(folder.File("sounds.txt"));
    EXPECT_EQ(FramesPlaying(sounds, pickUpLength), flagFrames) << sounds;

    // And the mixer really played them: the recorded audio holds at least
    // nine pick-ups' worth of sound (each 0.37 s, its fading end below the
    // threshold), however close in time they came. Beside them only the
    // music's first moments (stopped with M at once, a few frames into the
    // level; longer when those frames are slow on a busy machine).
    double loud = 0;
    for (double seconds : SoundBursts(ReadWholeFile(folder.File("audio.raw")))) loud += seconds;
    EXPECT_GT(loud, 9 * 0.3);
    EXPECT_LT(loud, 9 * 0.45 + 2.0);

    // Escape on the level screen: a clean end on its SHOWSCREEN line.
    const std::string line = std::to_string(kNextLevelShowScreenLine);
    EXPECT_EQ(EndOfLog(), (std::vector<std::string>{"-End On Line", "0", line, line, "0"}));
}

TEST_F(GameProcessTest, CaughtThreeTimesTheGameIsLostAndStartsAgain)
{
    Tap(10, kKeyOne, 2);
    Tap(20, kSpace);
    long restart = 25;
    // First the start of the planned route, which takes flag d in frame 13
    // and leaves the cat at world (448, 222).
    for (const auto& [frame, entry] : ReadRoute().entries)
        if (frame <= 13) Add(restart + frame, entry);
    Key(restart + 14, 200, false);
    Key(restart + 14, 203, false);
    // Three times: walk down into the upper patrol's row (world y 300) and
    // wait there; the caught screen is up long before the space bar ends it.
    for (int catchNumber = 1; catchNumber <= 3; ++catchNumber) {
        const long walkFrom = catchNumber == 1 ? 15 : 1, walkFrames = catchNumber == 1 ? 26 : 13;
        Key(restart + walkFrom, 208, true);
        Key(restart + walkFrom + walkFrames, 208, false);
        Shot(restart + 300, "caught" + std::to_string(catchNumber) + ".bmp");
        Tap(restart + 305, kSpace);
        restart += 310;
        if (catchNumber == 1) Shot(restart + 1, "after_first_catch.bmp");
        if (catchNumber == 2) Shot(restart + 1, "after_second_catch.bmp");
    }
    // One frame of the restarted level, then the lost screen.
    Shot(restart + 5, "lost.bmp");
    Tap(restart + 10, kSpace);
    Shot(restart + 25, "intro_again.bmp");
    Tap(restart + 30, kEscape);

    ChildResult result = Run();
    ASSERT_TRUE(result.exited) << result.stderrText;
    EXPECT_EQ(result.exitCode, 0);

    for (int n = 1; n <= 3; ++n) {
        BmpPicture caught = Picture("caught" + std::to_string(n) + ".bmp");
        EXPECT_TRUE(TextShown(caught, large, "Du wurdest", 100, 100)) << n;
        EXPECT_TRUE(TextShown(caught, large, "gefangen", 100, 140)) << n;
    }
    // The level restarted with the cat at (300, 140) and the view at
    // (-160, -112), but flag d, taken before the catch, stays land.
    BmpPicture restarted = Picture("after_first_catch.bmp");
    BmpPicture flag(MediaPath("flagge.bmp")), land(MediaPath("land.bmp"));
    EXPECT_GT(ShareShowing(restarted, 448 - 160, 192 - 109, land, flag, 300, 140), 0.95);
    // After two catches one life is left: one cat, then bare red bar.
    BmpPicture after = Picture("after_second_catch.bmp");
    const Colour red{255, 0, 0};
    int bare = 0;
    for (int y = 18; y <= 33; ++y)
        for (int x = 594; x <= 625; ++x) bare += after.At(x, y) == red;
    EXPECT_EQ(bare, 32 * 16);
    int cat = 0;
    for (int y = 18; y <= 33; ++y)
        for (int x = 578; x <= 593; ++x) cat += after.At(x, y) != red;
    EXPECT_GT(cat, 40);

    BmpPicture lost = Picture("lost.bmp");
    EXPECT_TRUE(TextShown(lost, large, "Du hast es", 100, 100));
    EXPECT_TRUE(TextShown(lost, large, "nicht ge-", 100, 140));
    EXPECT_TRUE(TextShown(lost, large, "schafft", 100, 180));
    EXPECT_TRUE(TextShown(lost, small, "Weiter mit Leertaste", 100, 400));
    EXPECT_TRUE(TextShown(Picture("intro_again.bmp"), large, "Zorvelin", 140, 80));

    const std::string line = std::to_string(kIntroShowScreenLine);
    EXPECT_EQ(EndOfLog(), (std::vector<std::string>{"-End On Line", "0", line, line, "0"}));
}

TEST_F(GameProcessTest, TheSingleFileGameFindsItsMediaInsideItself)
{
    // Alone in a folder: every picture, font and sound comes from the archive.
    std::string lonely = folder.File("zorvelin_packed");
    std::filesystem::copy_file(BuildProgram("game/zorvelin_packed"), lonely);
    std::filesystem::permissions(lonely, std::filesystem::perms::owner_all);
    Shot(5, "intro.bmp");
    Tap(10, kEscape);
    ChildResult result = Run(lonely);
    ASSERT_TRUE(result.exited) << result.stderrText;
    EXPECT_EQ(result.exitCode, 0);
    BmpPicture shot = Picture("intro.bmp");
    EXPECT_TRUE(TextShown(shot, large, "Zorvelin", 140, 80));
    EXPECT_TRUE(TextShown(shot, small, "leicht : 1", 186, 380));
    const std::string line = std::to_string(kIntroShowScreenLine);
    EXPECT_EQ(EndOfLog(), (std::vector<std::string>{"-End On Line", "0", line, line, "0"}));
}

TEST_F(GameProcessTest, WithNoUsableTemporaryFolderTheSingleFileGameSaysSoOnceAndStillEnds)
{
    // $TMPDIR missing and /tmp read-only (in a mount namespace of the child's
    // own): no member can be unpacked. The user is told once, not by every
    // loader, and the game still runs to the Escape.
    std::string lonely = folder.File("zorvelin_packed");
    std::filesystem::copy_file(BuildProgram("game/zorvelin_packed"), lonely);
    std::filesystem::permissions(lonely, std::filesystem::perms::owner_all);
    std::ofstream(folder.File("input.txt")) << "10 key 1 down\n15 key 1 up\n";
    ChildProcess child("/usr/bin/unshare",
                       {"--mount", "--propagation", "private", "sh", "-c",
                        "mount --bind /tmp /tmp && mount -o remount,bind,ro /tmp && exec \"$0\"", lonely},
                       {"TMPDIR=" + folder.File("missing"), "KV_INPUT_SCRIPT=" + folder.File("input.txt"),
                        "KV_UNPACED=1", "KV_SEED=3", "KV_WINDOWED=1", "KV_NO_MESSAGEBOX=1", "SDL_AUDIODRIVER=dummy"},
                       folder.File("stderr.txt"));
    ASSERT_TRUE(child.Started());
    ChildResult result = child.Wait(std::chrono::seconds(120));
    ASSERT_TRUE(result.exited) << result.stderrText;
    EXPECT_EQ(result.exitCode, 0) << result.stderrText;
    const std::string said = result.stderrText;
    const std::string noFolder = "no usable temporary folder";
    EXPECT_NE(said.find(noFolder), std::string::npos) << said;
    EXPECT_EQ(said.find(noFolder), said.rfind(noFolder)) << said;
    EXPECT_EQ(said.find("cannot make a private temporary folder"), std::string::npos) << said;
    EXPECT_FALSE(std::filesystem::exists(folder.File("ErrorLog.txt")));
}

TEST_F(GameProcessTest, RealKeyPressesChooseTheSpeedAndEscapeEndsTheGame)
{
    // The keyboard of a private X display, pressed with xdotool: 2 leaves
    // the intro for the Level 1 screen, where Escape ends the program.
    PrivateDisplay display;
    ASSERT_TRUE(display.Ready());
    ChildProcess child(BuildProgram("game/zorvelin"), {},
                       {"TMPDIR=" + folder.Path(), display.Env(), "KV_WINDOWED=1", "KV_NO_MESSAGEBOX=1",
                        "KV_INPUT_SCRIPT=", "SDL_AUDIODRIVER=dummy"},
                       folder.File("stderr.txt"));
    ASSERT_TRUE(child.Started());
    ASSERT_TRUE(WaitForFile(folder.File("ErrorLog.txt")));  // the renderer's line at start-up
    // Without a window manager the keys go to the window under the pointer.
    // 2 is held for seconds, so that the intro sees it even on a busy
    // machine that is still loading the media.
    ASSERT_EQ(display.Xdotool("mousemove 300 300 sleep 0.5 keydown 2 sleep 4 keyup 2 sleep 0.5"), 0);
    ASSERT_EQ(display.Xdotool("keydown Escape sleep 0.5 keyup Escape"), 0);
    ChildResult result = child.Wait(std::chrono::seconds(30));
    ASSERT_TRUE(result.exited) << result.stderrText;
    EXPECT_EQ(result.exitCode, 0);
    const std::string line = std::to_string(kNextLevelShowScreenLine);
    EXPECT_EQ(EndOfLog(), (std::vector<std::string>{"-End On Line", "0", line, line, "0"}));
}

}  // namespace
}  // namespace game_testing
