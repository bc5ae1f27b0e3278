// The background surface: drawn by every SHOWSCREEN, captured by USEASBMP,
// dropped by BLACKSCREEN, crossfaded by BLENDSCREEN.
#include "gfx/crossfade.h"
#include "gfx_test_support.h"
#include "gl/gl_calls.h"

namespace {

using Background = GfxTest;

}  // namespace

TEST_F(Background, ShowScreenDrawsTheLoadedBackgroundEveryFrame)
{
    LOADBMP(WriteBmp("bg.bmp", MakeBmp24(640, 480, [](int x, int y) {
                return Rgb{x % 256, y % 256, 7};
            })).c_str());
    ALPHAMODE(0.5);
    SHOWSCREEN();
    Screen s = Screen::Capture();
    EXPECT_EQ(s.At(0, 0), (Rgb{0, 0, 7}));
    EXPECT_EQ(s.At(300, 400), (Rgb{300 % 256, 400 % 256, 7}));
    EXPECT_EQ(s.At(639, 479), (Rgb{639 % 256, 479 % 256, 7}));
    EXPECT_FLOAT_EQ(pRbow->alpha, 1.0f) << "every frame starts opaque";

    BLACKSCREEN();
    SHOWSCREEN();
    int left, top, right, bottom;
    EXPECT_FALSE(Screen::Capture().Bounds(Rgb{}, left, top, right, bottom));
}

TEST_F(Background, BackgroundIsDrawnIn2DEvenWhenTheFrameEndedIn3D)
{
    LOADBMP(WriteBmp("bg.bmp", MakeBmp24(640, 480, [](int, int) { return Rgb{30, 60, 90}; })).c_str());
    // A frame that leaves a perspective projection, depth testing and
    // clockwise culling behind.
    gl::MatrixMode(GL_PROJECTION);
    gl::LoadIdentity();
    gl::Frustum(-1, 1, -1, 1, 1, 100);
    gl::MatrixMode(GL_MODELVIEW);
    gl::Translatef(0, 0, -50);
    gl::Enable(GL_DEPTH_TEST);
    gl::FrontFace(GL_CW);
    SHOWSCREEN();
    const Screen s = Screen::Capture();
    EXPECT_EQ(s.At(0, 0), (Rgb{30, 60, 90}));
    EXPECT_EQ(s.At(639, 479), (Rgb{30, 60, 90}));
}

TEST_F(Background, UseAsBmpKeepsTheCurrentPictureAsBackground)
{
    FILLRECT(100, 100, 200, 150, RGB(0, 128, 255));
    const Screen drawn = Screen::Capture();
    USEASBMP();
    EXPECT_EQ(pRbow->surfaces[0].columns, 20);
    EXPECT_EQ(pRbow->surfaces[0].rows, 17);
    SHOWSCREEN();
    EXPECT_EQ(Screen::Capture().rgb, drawn.rgb);
    SHOWSCREEN();
    EXPECT_EQ(Screen::Capture().rgb, drawn.rgb);
}

TEST(Crossfade, FiftyOneMixedFramesInSinglePrecision)
{
    const auto weights = CrossfadeWeights();
    ASSERT_EQ(weights.size(), 51u);
    EXPECT_EQ(weights.front(), 0.0f);
    EXPECT_LT(weights.back(), 1.0f);
    EXPECT_GT(weights.back(), 0.99f);
}

TEST_F(Background, BlendScreenPresents52FramesAndLeavesTheNewBackground)
{
    FILLRECT(0, 0, 640, 480, RGB(255, 0, 0));
    const std::string path = WriteBmp("new.bmp", MakeBmp24(640, 480, [](int, int) { return Rgb{0, 0, 255}; }));
    const int before = g_presentedFrames;
    BLENDSCREEN(path.c_str());
    EXPECT_EQ(g_presentedFrames - before, 52);

    EXPECT_EQ(Screen::Capture().At(320, 240), (Rgb{0, 0, 255}));
    EXPECT_EQ(pRbow->surfaces[1].columns, 0) << "the crossfade's own surface is freed";
    SHOWSCREEN();
    EXPECT_EQ(Screen::Capture().At(320, 240), (Rgb{0, 0, 255}));
    EXPECT_EQ(Screen::Capture().At(0, 0), (Rgb{0, 0, 255}));
}
