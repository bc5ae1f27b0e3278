// The cat: movement by the arrow keys, the free band and the scrolling
// view, and how it is drawn.
#include "game_fixture.h"

#include "gl/gl_calls.h"

namespace game_testing {
namespace {

using PlayerTest = GameTest;

TEST_F(PlayerTest, HoldingRightWalksToTheBandEdgeScrollsToTheWorldEdgeThenWalksOn)
{
    Start({"0 key 205 down"});
    NewGameAndLevel();
    std::vector<double> xs, scrolls;
    for (int frame = 0; frame < 200; ++frame) {
        zorvelin();
        xs.push_back(xpos);
        scrolls.push_back(scrollx);
        SHOWSCREEN();
    }
    // 36 frames of walking from 300 to 408 with the view still.
    for (int f = 0; f < 36; ++f) {
        EXPECT_EQ(xs[f], 303 + 3 * f) << "frame " << f;
        EXPECT_EQ(scrolls[f], -160) << "frame " << f;
    }
    // Then the cat stays at 408 while the view moves 3 a frame to -320.
    for (int f = 36; f < 90; ++f) {
        EXPECT_EQ(xs[f], 408) << "frame " << f;
        EXPECT_EQ(scrolls[f], std::max(-320, -163 - 3 * (f - 36))) << "frame " << f;
    }
    EXPECT_EQ(scrolls[89], -320);
    EXPECT_EQ(scrolls[88], -319);
    // Then it walks on to the right edge of the screen, 608, and stops.
    EXPECT_EQ(xs[90], 411);
    EXPECT_EQ(xs[155], 606);
    EXPECT_EQ(xs[156], 608);
    EXPECT_EQ(xs[199], 608);
    EXPECT_EQ(scrolls[199], -320);
    EXPECT_EQ(blick, 0);
}

TEST_F(PlayerTest, FirstFramePutsTheCatOnTheBandAndHoldingUpScrollsToTheTop)
{
    Start({"1 key 200 down"});
    NewGameAndLevel();
    zorvelin();  // frame 0: no key
    EXPECT_EQ(ypos, 152);
    EXPECT_EQ(scrolly, -109);
    EXPECT_EQ(xpos, 300);
    EXPECT_EQ(scrollx, -160);
    SHOWSCREEN();
    for (int frame = 1; frame <= 36; ++frame) {
        zorvelin();
        SHOWSCREEN();
    }
    EXPECT_EQ(scrolly, -1);
    zorvelin();  // the 37th frame of up: 2, clamped to 0
    EXPECT_EQ(scrolly, 0);
    EXPECT_EQ(ypos, 152);
    SHOWSCREEN();
    zorvelin();
    EXPECT_EQ(scrolly, 0);
    EXPECT_EQ(ypos, 152) << "the cat never enters the sky rows";
}

TEST_F(PlayerTest, OppositeKeysCancel)
{
    Start({"0 key 203 down", "0 key 205 down", "2 key 203 up", "2 key 205 up", "2 key 200 down",
           "2 key 208 down"});
    NewGameAndLevel();
    xpos = 300, ypos = 200, blick = 1;
    zorvelin();
    EXPECT_EQ(xpos, 300);
    EXPECT_EQ(blick, 1) << "left and right together do not turn the cat";
    SHOWSCREEN();
    blick = 0;
    zorvelin();
    EXPECT_EQ(blick, 0);
    SHOWSCREEN();
    zorvelin();  // up and down
    EXPECT_EQ(ypos, 200);
    EXPECT_EQ(xpos, 300);
}

TEST_F(PlayerTest, UpAndLeftWalkDiagonallyAndDrawTheCatFacingLeft)
{
    Start({"0 key 200 down", "0 key 203 down"});
    NewGameAndLevel();
    xpos = 300, ypos = 200, blick = 0;
    gl::Clear(GL_COLOR_BUFFER_BIT);
    zorvelin();
    EXPECT_EQ(xpos, 297);
    EXPECT_EQ(ypos, 197);
    EXPECT_EQ(blick, 1);
    // The left-facing picture is drawn at the moved position.
    std::vector<Rgb> drawn = Block(297, 197, 32, 32);
    BmpPicture left(MediaPath("katze_links.bmp"));
    int compared = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            Colour expected = left.At(x, y);
            if (expected == Colour{255, 0, 128}) continue;  // the colour key
            ASSERT_EQ(drawn[y * 32 + x], expected) << x << ", " << y;
            ++compared;
        }
    EXPECT_GT(compared, 200);
    EXPECT_NE(left.At(7, 13), BmpPicture(MediaPath("katze_rechts.bmp")).At(7, 13)) << "the two pictures differ";
}

}  // namespace
}  // namespace game_testing
