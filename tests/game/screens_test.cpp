// The screens and the music toggle: what they draw (read from the
// screenshots of the scripted input source), which keys end them, and the
// counters nextlevel advances.
#include "game_fixture.h"

namespace game_testing {
namespace {

using ScreensTest = GameTest;

TEST_F(ScreensTest, IntroTurnsTheCatPerFrameAndPrefersEasyWhenBothKeysAreHeld)
{
    Start({"2 screenshot " + folder.File("intro.bmp"), "3 key 2 down", "3 key 3 down"});
    phi = 0;
    geschwindigkeit = 0;
    intro();
    EXPECT_EQ(geschwindigkeit, 1);
    EXPECT_EQ(Frame(), 3);
    EXPECT_EQ(phi, 3) << "one degree per presented frame";
    BmpPicture shot(folder.File("intro.bmp"));
    BmpPicture large(MediaPath("font.bmp")), small(MediaPath("fontklein.bmp"));
    EXPECT_TRUE(TextShown(shot, large, "Zorvelin", 140, 80));
    EXPECT_TRUE(TextShown(shot, small, "leicht : 1", 186, 380));
    EXPECT_TRUE(TextShown(shot, small, "schwer : 2", 186, 400));
    EXPECT_TRUE(TextShown(shot, small, "Musik  : M", 186, 440));
    EXPECT_FALSE(TextShown(shot, small, "Musik  : M", 186, 420)) << "the check can fail";
    // The land tile four times enlarged about its centre: 226 .. 353.
    EXPECT_FALSE(shot.At(230, 196).IsBlack());
    EXPECT_TRUE(shot.At(220, 196).IsBlack());
}

TEST_F(ScreensTest, IntroTurnRunsFrom0To358)
{
    Start({"1 key 3 down"});
    phi = 358;
    intro();
    EXPECT_EQ(phi, 0);
    EXPECT_EQ(geschwindigkeit, 2);
}

TEST_F(ScreensTest, NextLevelResetsTheFlagsAdvancesTheCountersAndWaitsForSpace)
{
    Start({"1 screenshot " + folder.File("level.bmp"), "4 key 57 down", "6 key 57 up"});
    NewGameAndLevel();
    levelz = 0, gegner2aktiv = -1, anzahlgegner3 = -3, levelgeschafft = 1;
    feld(13, 14) = 1;
    nextlevel();
    EXPECT_EQ(Frame(), 6) << "ends when the space bar is released";
    EXPECT_EQ(levelz, 1);
    EXPECT_EQ(gegner2aktiv, 0);
    EXPECT_EQ(anzahlgegner3, -2);
    EXPECT_EQ(levelgeschafft, 0);
    EXPECT_EQ(feld(13, 14), 2);
    EXPECT_EQ(schalter, 0);
    BmpPicture shot(folder.File("level.bmp"));
    EXPECT_TRUE(TextShown(shot, BmpPicture(MediaPath("font.bmp")), "Level 1", 100, 100));
    EXPECT_TRUE(TextShown(shot, BmpPicture(MediaPath("fontklein.bmp")), "Weiter mit Leertaste", 100, 400));
}

TEST_F(ScreensTest, AfterLevelFiveNextLevelShowsNoScreen)
{
    Start();
    NewGameAndLevel();
    levelz = 5, gegner2aktiv = 3, anzahlgegner3 = 2;
    for (int r : {6, 13, 20})
        for (int c : {1, 14, 28}) feld(r, c) = 1;
    long before = platform::PresentedFrames();
    nextlevel();
    EXPECT_EQ(platform::PresentedFrames(), before);
    EXPECT_EQ(levelz, 6);
    EXPECT_EQ(gegner2aktiv, 4);
    EXPECT_EQ(anzahlgegner3, 2) << "at most three type-3 chasers";
    for (int r : {6, 13, 20})
        for (int c : {1, 14, 28}) EXPECT_EQ(feld(r, c), 2);
}

TEST_F(ScreensTest, ASpaceBarHeldFromTheScreenBeforeEndsTheNextOnRelease)
{
    Start({"0 key 57 down", "5 key 57 up"});
    NewGameAndLevel();
    gefangen();
    EXPECT_EQ(Frame(), 5);
    EXPECT_EQ(anzahlleben, 2);
    EXPECT_EQ(geschnappt, 1);
}

TEST_F(ScreensTest, TheCaughtLostAndWonScreensSayTheirTexts)
{
    Start({"1 screenshot " + folder.File("gefangen.bmp"), "2 key 57 down", "3 key 57 up",
           "4 screenshot " + folder.File("verloren.bmp"), "5 key 57 down", "6 key 57 up",
           "7 screenshot " + folder.File("gewonnen.bmp"), "8 key 57 down", "9 key 57 up"});
    NewGameAndLevel();
    gefangen();
    verloren();
    gewonnen();
    EXPECT_EQ(Frame(), 9);
    BmpPicture large(MediaPath("font.bmp")), small(MediaPath("fontklein.bmp"));
    BmpPicture caught(folder.File("gefangen.bmp")), lost(folder.File("verloren.bmp")),
        won(folder.File("gewonnen.bmp"));
    EXPECT_TRUE(TextShown(caught, large, "Du wurdest", 100, 100));
    EXPECT_TRUE(TextShown(caught, large, "gefangen", 100, 140));
    EXPECT_TRUE(TextShown(caught, small, "Weiter mit Leertaste", 100, 400));
    EXPECT_TRUE(TextShown(lost, large, "Du hast es", 100, 100));
    EXPECT_TRUE(TextShown(lost, large, "nicht ge-", 100, 140));
    EXPECT_TRUE(TextShown(lost, large, "schafft", 100, 180));
    EXPECT_TRUE(TextShown(won, large, "Du hast es", 100, 100));
    EXPECT_TRUE(TextShown(won, large, "geschafft", 100, 140));
    EXPECT_TRUE(TextShown(won, small, "Weiter mit Leertaste", 100, 400));
    EXPECT_FALSE(TextShown(won, large, "nicht ge-", 100, 140));
}

// (musika, musikb, musik) and whether the music is playing.
struct MusicState {
    double a, b, m;
    bool playing;
    bool operator==(const MusicState&) const = default;
};
std::ostream& operator<<(std::ostream& out, const MusicState& s)
{
    return out << "(" << s.a << ", " << s.b << ", " << s.m << (s.playing ? ") playing" : ") silent");
}

TEST_F(ScreensTest, MTogglesTheMusicOnRelease)
{
    Start({"2 key 50 down", "4 key 50 up", "6 key 50 down", "8 key 50 up"});
    musik = 1, musika = 0, musikb = 0;
    std::vector<MusicState> states;
    for (int frame = 0; frame < 10; ++frame) {
        music();
        states.push_back({musika, musikb, musik, DXwav[2].CopyIsPlaying(0)});
        SHOWSCREEN();
    }
    const MusicState playing{1, 0, 0, true}, playingPressed{1, 1, 0, true}, silent{0, 0, 0, false},
        silentPressed{0, 0, 1, false};
    const std::vector<MusicState> expected{playing, playing, playingPressed, playingPressed, silent,
                                           silent,  silentPressed, silentPressed, playing, playing};
    EXPECT_EQ(states, expected);
}

TEST_F(ScreensTest, SwitchingTheMusicOffAlsoCutsACollectSound)
{
    Start({"1 key 50 down", "2 key 50 up"});
    musik = 1, musika = 0, musikb = 0;
    music();
    SHOWSCREEN();
    PLAYSOUND(0, 0, 1);
    EXPECT_TRUE(DXwav[0].CopyIsPlaying(0));
    music();  // M down
    SHOWSCREEN();
    music();  // M released: HUSH
    EXPECT_FALSE(DXwav[0].CopyIsPlaying(0));
    EXPECT_FALSE(DXwav[2].CopyIsPlaying(0));
}

}  // namespace
}  // namespace game_testing
