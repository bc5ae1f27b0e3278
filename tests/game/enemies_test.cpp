// The guards: the patrol's turn points, the free chaser's delay and its
// step rule, the type-3 chasers hidden in the first levels, and catches
// (each one runs the caught screen, which waits for the space bar).
#include "game_fixture.h"

#include "gl/gl_calls.h"

namespace game_testing {
namespace {

using EnemiesTest = GameTest;

// Puts the cat where no guard of the tests below can reach it.
void CatOutOfReach()
{
    scrollx = 0, scrolly = 0;
    xpos = 600, ypos = 152;
}

TEST_F(EnemiesTest, ThePatrolTurnsAt928AndAt0)
{
    Start();
    NewGameAndLevel();
    CatOutOfReach();
    gegner1x = 0, gegner1schalter = 0;
    for (int frame = 1; frame <= 115; ++frame) {
        gegner1();
        ASSERT_EQ(gegner1x, 8 * frame) << "two steps of 4 a frame";
    }
    gegner1();  // 920 -> 924 -> 928, taken back at once
    EXPECT_EQ(gegner1x, 924);
    EXPECT_EQ(gegner1schalter, 1);
    for (int frame = 1; frame <= 115; ++frame) gegner1();
    EXPECT_EQ(gegner1x, 4);
    gegner1();  // 4 -> 0, where the direction flips back -> 4
    EXPECT_EQ(gegner1x, 4);
    EXPECT_EQ(gegner1schalter, 0);
    gegner1();
    EXPECT_EQ(gegner1x, 12);
    EXPECT_EQ(geschnappt, 0);
}

TEST_F(EnemiesTest, ThePatrolGuardsAreDrawnFourPixelsApart)
{
    Start();
    NewGameAndLevel();
    scrollx = 0, scrolly = -224;
    xpos = 600, ypos = 152;
    gegner1x = 100, gegner1schalter = 0;
    gl::Clear(GL_COLOR_BUFFER_BIT);
    gegner1();
    // Guard 0 at world (100, 300); guard 1 one step further, at (104, 524).
    Rgb badge = MediaPixel("wachmann.bmp", 15, 3);
    EXPECT_EQ(Pixel(100 + 15, 300 - 224 + 3), badge);
    EXPECT_EQ(Pixel(104 + 15, 524 - 224 + 3), badge);
    EXPECT_NE(Pixel(100 + 15, 524 - 224 + 3), badge);
}

TEST_F(EnemiesTest, TheFreeChaserWaits89FramesThenFollows)
{
    Start();
    NewGameAndLevel();
    CatOutOfReach();
    for (int frame = 1; frame <= 89; ++frame) {
        gegner2();
        ASSERT_EQ(gegner2x, 100) << frame;
        ASSERT_EQ(gegner2y, 160) << frame;
    }
    gegner2();
    EXPECT_EQ(gegner2startschalter, 90);
    EXPECT_EQ(gegner2x, 101) << "towards the cat at x 600";
    EXPECT_EQ(gegner2y, 159) << "towards the cat at y 152";
    geschwindigkeit = 2;
    gegner2();
    EXPECT_EQ(gegner2startschalter, 90);
    EXPECT_EQ(gegner2x, 103);
    EXPECT_EQ(gegner2y, 157);
}

TEST_F(EnemiesTest, AChaserLevelWithTheCatStepsAwayAndBackAtEitherSpeed)
{
    Start();
    NewGameAndLevel();
    CatOutOfReach();
    for (double speed : {1.0, 2.0}) {
        geschwindigkeit = speed;
        gegner2startschalter = 90;
        gegner2x = xpos - scrollx, gegner2y = 400;
        gegner2();
        EXPECT_EQ(gegner2x, xpos - scrollx) << speed;
        gegner3x(2) = xpos - scrollx;
        gegner_vom_typ3();
        EXPECT_EQ(gegner3x(2), xpos - scrollx) << speed;
    }
}

TEST_F(EnemiesTest, TypeThreeChasersMoveButAreHiddenAndHarmlessInLevelOne)
{
    Start();
    NewGameAndLevel();
    anzahlgegner3 = -2;
    scrollx = 0, scrolly = 0;
    // The cat's middle on chaser 0 at (64, 352).
    xpos = 64, ypos = 340;
    gl::Clear(GL_COLOR_BUFFER_BIT);
    gegner_vom_typ3();
    EXPECT_EQ(geschnappt, 0);
    EXPECT_EQ(anzahlleben, 3);
    EXPECT_TRUE(Pixel(64 + 15, 351 + 3).IsBlack()) << "not drawn";
    EXPECT_EQ(gegner3y(0), 351) << "follows the cat up";
    EXPECT_EQ(gegner3y(1), 351);
    EXPECT_EQ(gegner3y(2), 608) << "moves only horizontally";
    EXPECT_EQ(gegner3x(2), 79) << "follows the cat left";
    EXPECT_EQ(gegner3x(0), 64);
}

TEST_F(EnemiesTest, TwoGuardsCatchingInOneFrameCostTwoLives)
{
    // The caught screen waits for the space bar: pressed and released twice.
    Start({"3 key 57 down", "5 key 57 up", "8 key 57 down", "10 key 57 up"});
    NewGameAndLevel();
    scrollx = 0, scrolly = 0;
    xpos = 100, ypos = 300;
    gegner1x = 100, gegner1schalter = 0;
    gegner2x = 100, gegner2y = 300;
    gegner1();  // guard 0 catches; guard 1 (at y 524) leaves gegner1coll at 0
    EXPECT_EQ(anzahlleben, 2);
    EXPECT_EQ(geschnappt, 1);
    EXPECT_EQ(Frame(), 5) << "the caught screen ran until the space bar was released";
    EXPECT_TRUE(DXwav[1].CopyIsPlaying(0)) << "the caught sound";
    gegner2();
    EXPECT_EQ(gegner2coll, 1);
    EXPECT_EQ(anzahlleben, 1);
    EXPECT_EQ(Frame(), 10);
}

TEST_F(EnemiesTest, ACatchCanTakeTheLivesBelowZero)
{
    Start({"1 key 57 down", "2 key 57 up", "3 key 57 down", "4 key 57 up"});
    NewGameAndLevel();
    anzahlleben = 1;
    levelz = 5, anzahlgegner3 = 2;
    scrollx = 0, scrolly = 0;
    // Chasers 0 and 1 both on the cat.
    gegner3x(0) = 500, gegner3y(0) = 400;
    gegner3x(1) = 500, gegner3y(1) = 400;
    xpos = 500, ypos = 400;
    gegner_vom_typ3();
    EXPECT_EQ(anzahlleben, -1);
    EXPECT_EQ(gegner3coll, 0) << "the last test, chaser 2, found nothing";
}

}  // namespace
}  // namespace game_testing
