// The renderer in a real OpenGL context (Mesa under the test's X display):
// start-up state, the 2D coordinate system and presentation, read back
// from the drawing area.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "commands.h"
#include "gfx/opengl_rainbows.h"
#include "gl/gl_calls.h"
#include "platform/platform.h"
#include "support/child_process.h"

namespace {

using testing_support::ScratchFolder;

struct Rgb {
    unsigned char r, g, b;
    bool operator==(const Rgb&) const = default;
};

class GlFrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("TMPDIR", folder.Path().c_str(), 1);
        KV_RESX = 640;
        KV_RESY = 480;
        KV_FULLSCREEN = 0;
        KV_FRAMERATE = 60;
        __GlobalInit(nullptr, nullptr, g_cmdline.GetStrData(), 1, "gl_frame_test");
        ASSERT_NE(pRbow, nullptr);
    }
    void TearDown() override { __ReleaseRuntime(); }

    // The whole drawing area, top row first, as screen coordinates see it.
    std::vector<Rgb> ReadScreen()
    {
        std::vector<Rgb> bottomUp(KV_RESX * KV_RESY);
        gl::PixelStorei(GL_PACK_ALIGNMENT, 1);
        gl::ReadPixels(0, 0, KV_RESX, KV_RESY, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
        std::vector<Rgb> screen(bottomUp.size());
        for (int y = 0; y < KV_RESY; ++y)
            for (int x = 0; x < KV_RESX; ++x)
                screen[y * KV_RESX + x] = bottomUp[(KV_RESY - 1 - y) * KV_RESX + x];
        return screen;
    }

    // A rectangle in screen coordinates, sent as the renderer sends quads:
    // (x, -y), counter-clockwise, so it survives face culling.
    void FillRect(float x0, float y0, float x1, float y1, float r, float g, float b)
    {
        gl::Disable(GL_TEXTURE_2D);
        gl::Color3f(r, g, b);
        gl::Begin(GL_QUADS);
        gl::Vertex2f(x0, -y1);
        gl::Vertex2f(x1, -y1);
        gl::Vertex2f(x1, -y0);
        gl::Vertex2f(x0, -y0);
        gl::End();
        gl::Enable(GL_TEXTURE_2D);
    }

    ScratchFolder folder;
};

TEST_F(GlFrameTest, FirstFrameIsClearedAndTimersStartEqual)
{
    for (const Rgb& pixel : ReadScreen()) ASSERT_EQ(pixel, (Rgb{0, 0, 0}));
    EXPECT_EQ(GETTIMER(), 1);
    EXPECT_EQ(g_FirstTime, g_ThisTime);
    EXPECT_EQ(GETTIMERALL(), 0);
    EXPECT_TRUE(pRbow->IsActive());
    EXPECT_EQ(pRbow->Width(), 640);
    EXPECT_EQ(pRbow->Height(), 480);
}

TEST_F(GlFrameTest, TwoDimensionalStateIsInForce)
{
    GLint viewport[4];
    gl::GetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 480);
    GLfloat projection[16];
    gl::GetFloatv(GL_PROJECTION_MATRIX, projection);
    // Ortho 0..width, -height..0: x scale 2/width, y scale 2/height, y offset +1.
    EXPECT_FLOAT_EQ(projection[0], 2.0f / 640);
    EXPECT_FLOAT_EQ(projection[5], 2.0f / 480);
    EXPECT_FLOAT_EQ(projection[13], 1.0f);
    EXPECT_TRUE(gl::IsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(gl::IsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(gl::IsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(gl::IsEnabled(GL_ALPHA_TEST));
    EXPECT_FALSE(gl::IsEnabled(GL_LIGHTING));
    EXPECT_FALSE(gl::IsEnabled(GL_DITHER));
    GLint alphaFunc = 0;
    GLfloat alphaRef = 0;
    gl::GetIntegerv(GL_ALPHA_TEST_FUNC, &alphaFunc);
    gl::GetFloatv(GL_ALPHA_TEST_REF, &alphaRef);
    EXPECT_EQ(alphaFunc, GL_GREATER);
    EXPECT_FLOAT_EQ(alphaRef, 0.5f);
    GLint shade = 0;
    gl::GetIntegerv(GL_SHADE_MODEL, &shade);
    EXPECT_EQ(shade, GL_FLAT);
}

TEST_F(GlFrameTest, ADrawnRectangleReadsBackToThePixel)
{
    FillRect(10, 20, 30, 50, 1, 0, 0);
    FillRect(600, 440, 640, 480, 0, 0, 1);  // the bottom-right corner
    std::vector<Rgb> screen = ReadScreen();
    auto at = [&](int x, int y) { return screen[y * 640 + x]; };
    EXPECT_EQ(at(10, 20), (Rgb{255, 0, 0}));
    EXPECT_EQ(at(29, 49), (Rgb{255, 0, 0}));
    EXPECT_EQ(at(9, 20), (Rgb{0, 0, 0}));
    EXPECT_EQ(at(30, 49), (Rgb{0, 0, 0}));
    EXPECT_EQ(at(10, 19), (Rgb{0, 0, 0}));
    EXPECT_EQ(at(10, 50), (Rgb{0, 0, 0}));
    EXPECT_EQ(at(639, 479), (Rgb{0, 0, 255}));
    EXPECT_EQ(at(600, 440), (Rgb{0, 0, 255}));
    EXPECT_EQ(at(599, 440), (Rgb{0, 0, 0}));
    int red = 0;
    for (const Rgb& pixel : screen) red += pixel == Rgb{255, 0, 0};
    EXPECT_EQ(red, 20 * 30);
}

TEST_F(GlFrameTest, ShowscreenStartsTheNextFrameClearedAndTimesIt)
{
    FillRect(0, 0, 640, 480, 1, 1, 1);
    gl::Disable(GL_CULL_FACE);  // state a frame may leave behind
    gl::Color3f(0.2f, 0.3f, 0.4f);
    SHOWSCREEN();
    for (const Rgb& pixel : ReadScreen()) ASSERT_EQ(pixel, (Rgb{0, 0, 0}));
    EXPECT_TRUE(gl::IsEnabled(GL_CULL_FACE));
    GLfloat color[4];
    gl::GetFloatv(GL_CURRENT_COLOR, color);
    EXPECT_FLOAT_EQ(color[0], 1);
    EXPECT_FLOAT_EQ(color[1], 1);
    SHOWSCREEN();
    // At 60 frames per second the second frame waited for its slot.
    EXPECT_GT(GETTIMER(), 10);
    EXPECT_LT(GETTIMER(), 2000);
    EXPECT_GT(GETTIMERALL(), 10);
}

// The window's picture as last shown: pixel (x, y) from the top-left of the
// window's back buffer, which Mesa's software driver under X keeps through
// the swap (the window is the drawing area's size here).
Rgb ShownPixel(int x, int y)
{
    using BindFramebuffer = void (*)(GLenum, GLuint);
    auto bind = reinterpret_cast<BindFramebuffer>(platform::GetGLProcAddress("glBindFramebuffer"));
    constexpr GLenum kReadFramebuffer = 0x8CA8, kReadFramebufferBinding = 0x8CAA;
    GLint drawingArea = 0;
    gl::GetIntegerv(kReadFramebufferBinding, &drawingArea);
    bind(kReadFramebuffer, 0);
    Rgb pixel{};
    gl::PixelStorei(GL_PACK_ALIGNMENT, 1);
    gl::ReadPixels(x, KV_RESY - 1 - y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, &pixel);
    bind(kReadFramebuffer, static_cast<GLuint>(drawingArea));
    return pixel;
}

// The drawing area as a framebuffer object, also where the window has the
// area's size.
class GlFrameOffscreenTest : public GlFrameTest {
protected:
    void SetUp() override
    {
        setenv("KV_OFFSCREEN_AREA", "1", 1);
        GlFrameTest::SetUp();
    }
    void TearDown() override
    {
        GlFrameTest::TearDown();
        unsetenv("KV_OFFSCREEN_AREA");
    }
};

// A frame that draws nothing is shown without copying the drawing area:
// the window must still show the cleared picture, and the frame after it
// what was drawn.
TEST_F(GlFrameOffscreenTest, FramesThatDrawNothingShowTheClearedPicture)
{
    FillRect(10, 20, 30, 50, 1, 0, 0);
    SHOWSCREEN();
    EXPECT_EQ(ShownPixel(10, 20), (Rgb{255, 0, 0}));
    EXPECT_EQ(ShownPixel(9, 20), (Rgb{0, 0, 0}));
    SHOWSCREEN();
    EXPECT_EQ(ShownPixel(10, 20), (Rgb{0, 0, 0}));
    SHOWSCREEN();
    EXPECT_EQ(ShownPixel(10, 20), (Rgb{0, 0, 0}));
    for (const Rgb& pixel : ReadScreen()) ASSERT_EQ(pixel, (Rgb{0, 0, 0}));
    FillRect(0, 0, 20, 20, 0, 0, 1);
    SHOWSCREEN();
    EXPECT_EQ(ShownPixel(5, 5), (Rgb{0, 0, 255}));
    EXPECT_EQ(ShownPixel(25, 5), (Rgb{0, 0, 0}));
    for (const Rgb& pixel : ReadScreen()) ASSERT_EQ(pixel, (Rgb{0, 0, 0}));
}

// A window of the area's size is drawn into straight from the frame after
// the first; its depth buffer, left out of clears until depth is wanted, is
// whole when it is. A frame during which the window grows is shown scaled.
TEST_F(GlFrameTest, AWindowOfTheAreasSizeIsDrawnIntoStraight)
{
    SHOWSCREEN();
    GLint drawing = -1;
    gl::GetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawing);
    EXPECT_EQ(drawing, 0);

    FillRect(10, 20, 30, 50, 1, 0, 0);
    gl::Enable(GL_DEPTH_TEST);
    gl::Disable(GL_DEPTH_TEST);
    float depth[2] = {-1, -1};
    gl::ReadPixels(0, 0, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth[0]);
    gl::ReadPixels(KV_RESX - 1, KV_RESY - 1, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth[1]);
    EXPECT_EQ(depth[0], 1.0f);
    EXPECT_EQ(depth[1], 1.0f);
    EXPECT_EQ(ReadScreen()[20 * KV_RESX + 10], (Rgb{255, 0, 0}));

    // The window grows to 800 x 600 before the frame is shown: the picture
    // so far goes on in the area, and is shown filling the window, scaled
    // by 1.25.
    platform::EnterWindowed(pRbow->window.hWnd, 800, 600);
    gl::GetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawing);
    EXPECT_NE(drawing, 0);
    FillRect(0, 0, 5, 5, 0, 0, 1);
    const std::vector<Rgb> moved = ReadScreen();
    EXPECT_EQ(moved[20 * KV_RESX + 10], (Rgb{255, 0, 0}));
    EXPECT_EQ(moved[0], (Rgb{0, 0, 255}));
    EXPECT_EQ(moved[20 * KV_RESX + 9], (Rgb{0, 0, 0}));
    for (int frame = 0; frame < 2; ++frame) {
        FillRect(10, 20, 30, 50, 1, 0, 0);
        SHOWSCREEN();
    }
    gl::GetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawing);
    EXPECT_NE(drawing, 0);
    using BindFramebuffer = void (*)(GLenum, GLuint);
    auto bind = reinterpret_cast<BindFramebuffer>(platform::GetGLProcAddress("glBindFramebuffer"));
    constexpr GLenum kReadFramebuffer = 0x8CA8;
    GLint reading = 0;
    gl::GetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &reading);
    bind(kReadFramebuffer, 0);
    Rgb inside{}, outside{};
    gl::PixelStorei(GL_PACK_ALIGNMENT, 1);
    gl::ReadPixels(25, 600 - 1 - 50, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, &inside);   // screen (20, 40)
    gl::ReadPixels(45, 600 - 1 - 50, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, &outside);  // screen (36, 40)
    bind(kReadFramebuffer, static_cast<GLuint>(reading));
    EXPECT_EQ(inside, (Rgb{255, 0, 0}));
    EXPECT_EQ(outside, (Rgb{0, 0, 0}));
}

TEST_F(GlFrameTest, LimitFpsSetsThePeriodWithA2msFloor)
{
    LIMITFPS(50);
    EXPECT_DOUBLE_EQ(pRbow->timer.frameTime, 20);
    LIMITFPS(0);
    EXPECT_DOUBLE_EQ(pRbow->timer.frameTime, 2);
    LIMITFPS(-7);
    EXPECT_DOUBLE_EQ(pRbow->timer.frameTime, 2);
    LIMITFPS(99.9);
    EXPECT_DOUBLE_EQ(pRbow->timer.frameTime, 1000.0 / 99);
}

TEST_F(GlFrameTest, BlackscreenClearsTheFrame)
{
    FillRect(0, 0, 100, 100, 0, 1, 0);
    BLACKSCREEN();
    for (const Rgb& pixel : ReadScreen()) ASSERT_EQ(pixel, (Rgb{0, 0, 0}));
}

TEST_F(GlFrameTest, FullScreenShowsTheSameLogicalPicture)
{
    ASSERT_TRUE(pRbow->DoFullscreen());
    EXPECT_TRUE(pRbow->window.fullscreen);
    EXPECT_EQ(pRbow->Width(), 640);
    FillRect(10, 20, 30, 50, 1, 0, 0);
    std::vector<Rgb> screen = ReadScreen();
    EXPECT_EQ(screen[20 * 640 + 10], (Rgb{255, 0, 0}));
    EXPECT_EQ(screen[20 * 640 + 9], (Rgb{0, 0, 0}));
    SHOWSCREEN();
    ASSERT_TRUE(pRbow->DoWindowed());
    EXPECT_FALSE(pRbow->window.fullscreen);
}

}  // namespace
