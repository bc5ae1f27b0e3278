// The drawing area keeps its rows top-down (the window's order, so that it
// is shown by a straight copy); window coordinates still mean what OpenGL
// says, bottom left first, for the runtime's own calls and, after the
// hand-over, for a program's raw ones.
#include "gfx_test_support.h"

#include "gl/gl_calls.h"

#include <cstdlib>
#include <vector>

#include "gfx/own_opengl.h"
#include "gfx/video_frames.h"
#include "platform/platform.h"

namespace {

class DrawingAreaRows : public GfxTest {
protected:
    // The area as a framebuffer object, though the window has its size.
    void SetUp() override
    {
        setenv("KV_OFFSCREEN_AREA", "1", 1);
        GfxTest::SetUp();
    }
    void TearDown() override
    {
        GfxTest::TearDown();
        unsetenv("KV_OFFSCREEN_AREA");
    }
    // Window coordinates, origin bottom left.
    static Rgb At(int x, int y)
    {
        unsigned char pixel[3] = {};
        gl::PixelStorei(GL_PACK_ALIGNMENT, 1);
        gl::ReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, pixel);
        return Rgb{pixel[0], pixel[1], pixel[2]};
    }
    static float DepthAt(int x, int y)
    {
        float depth = -1;
        gl::ReadPixels(x, y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
        return depth;
    }
};

constexpr Rgb kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlack{0, 0, 0};

// A quad over the whole viewport, green, at depth 0.75, depth tested.
void FillViewportGreenAtDepth()
{
    gl::Disable(GL_TEXTURE_2D);
    gl::Enable(GL_DEPTH_TEST);
    gl::DepthFunc(GL_LEQUAL);
    gl::MatrixMode(GL_PROJECTION);
    gl::LoadIdentity();
    gl::MatrixMode(GL_MODELVIEW);
    gl::LoadIdentity();
    gl::Color3f(0, 1, 0);
    gl::Begin(GL_QUADS);
    gl::Vertex3f(-1, -1, 0.5f);
    gl::Vertex3f(1, -1, 0.5f);
    gl::Vertex3f(1, 1, 0.5f);
    gl::Vertex3f(-1, 1, 0.5f);
    gl::End();
    gl::Disable(GL_DEPTH_TEST);
}

TEST_F(DrawingAreaRows, WindowCoordinatesKeepTheirMeaningBeforeAndAfterTheHandOver)
{
    EXPECT_TRUE(gl::DrawingAreaRowsTopDown()) << "the driver offers clip control: rows are kept top-down";

    // The viewport's bottom-left quadrant is the picture's bottom left.
    gl::Viewport(0, 0, 320, 240);
    GLint viewport[4] = {};
    gl::GetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(std::vector<GLint>(viewport, viewport + 4), (std::vector<GLint>{0, 0, 320, 240}));
    FillViewportGreenAtDepth();
    // A scissored clear takes the box in the same coordinates.
    gl::Scissor(600, 0, 40, 40);
    GLint box[4] = {};
    gl::GetIntegerv(GL_SCISSOR_BOX, box);
    EXPECT_EQ(std::vector<GLint>(box, box + 4), (std::vector<GLint>{600, 0, 40, 40}));
    gl::Enable(GL_SCISSOR_TEST);
    gl::ClearColor(1, 0, 0, 1);
    gl::Clear(GL_COLOR_BUFFER_BIT);
    gl::Disable(GL_SCISSOR_TEST);
    gl::ClearColor(0, 0, 0, 0);
    pRbow->Make2DViewport();
    FILLRECT(0, 0, 10, 10, 255);  // the picture's top left, red

    EXPECT_EQ(At(5, 5), kGreen);
    EXPECT_EQ(At(319, 239), kGreen);
    EXPECT_EQ(At(320, 240), kBlack);
    EXPECT_EQ(At(620, 20), kRed);
    EXPECT_EQ(At(5, 474), kRed);
    EXPECT_NEAR(DepthAt(5, 5), 0.75f, 1e-3);
    EXPECT_FLOAT_EQ(DepthAt(5, 474), 1.0f);
    // A block read comes back bottom row first.
    std::vector<unsigned char> rows(3 * 2 * 481);
    gl::ReadPixels(5, 0, 2, 480, GL_RGB, GL_UNSIGNED_BYTE, rows.data());
    EXPECT_EQ(rows[1], 255);                   // row 0: green
    EXPECT_EQ(rows[479 * 2 * 3 + 0], 255);     // row 479: red
    // A copy into a texture (red above black), drawn back elsewhere, keeps its way up.
    GRABSPRITE(1, 0, 0, 10, 20);
    FILLRECT(0, 0, 640, 480, 0);
    SPRITE(1, 100, 100);
    EXPECT_EQ(At(105, 480 - 1 - 105), kRed);
    EXPECT_EQ(At(105, 480 - 1 - 115), kBlack);

    // The program's own raw calls find the same picture, and its depth, in
    // GL's order; rows stay so from then on.
    FILLRECT(0, 0, 640, 480, 0);
    gl::Viewport(0, 0, 320, 240);
    FillViewportGreenAtDepth();
    pRbow->Make2DViewport();
    FILLRECT(0, 0, 10, 10, 255);
    BeginOwnOpenGL();
    EXPECT_FALSE(gl::DrawingAreaRowsTopDown());
    // As a program's own loader finds it.
    using ReadPixelsCall = void (*)(GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, void*);
    const auto rawReadPixels = reinterpret_cast<ReadPixelsCall>(platform::GetGLProcAddress("glReadPixels"));
    ASSERT_NE(rawReadPixels, nullptr);
    unsigned char raw[3] = {};
    float depth = -1;
    rawReadPixels(5, 5, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, raw);
    EXPECT_EQ((Rgb{raw[0], raw[1], raw[2]}), kGreen);
    rawReadPixels(5, 474, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, raw);
    EXPECT_EQ((Rgb{raw[0], raw[1], raw[2]}), kRed);
    rawReadPixels(5, 5, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_NEAR(depth, 0.75f, 1e-3);
    rawReadPixels(5, 474, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_FLOAT_EQ(depth, 1.0f);
    EndOwnOpenGL();
}

// A video picture (top row first) is drawn pixel for pixel the right way up.
TEST_F(DrawingAreaRows, VideoPicturesAreDrawnTheRightWayUp)
{
    const int width = 4, height = 2;
    std::vector<unsigned char> rgba(width * height * 4, 255);
    for (int x = 0; x < width; ++x) {
        unsigned char* top = &rgba[x * 4];
        unsigned char* bottom = &rgba[(width + x) * 4];
        top[1] = top[2] = 0;        // red
        bottom[0] = bottom[2] = 0;  // green
    }
    VideoPlacement place;
    place.left = 10;
    place.top = 20;
    place.width = width;
    place.height = height;
    DrawVideoPicture(rgba.data(), place);
    EXPECT_EQ(At(11, 480 - 1 - 19), kBlack);
    EXPECT_EQ(At(11, 480 - 1 - 20), kRed);
    EXPECT_EQ(At(11, 480 - 1 - 21), kGreen);
    EXPECT_EQ(At(11, 480 - 1 - 22), kBlack);
}

}  // namespace
