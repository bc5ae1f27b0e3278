// A program's own OpenGL code, as a program written against the SDK has
// it: raw OpenGL calls (this file does not use the runtime's gl/gl_calls.h)
// between BeginOwnOpenGL() and EndOwnOpenGL(). Nothing guards these
// calls; the pair alone must hand the context over and take it back.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cstdlib>
#include <vector>

#include "commands.h"
#include "gfx/opengl_rainbows.h"
#include "support/child_process.h"

namespace {

struct Rgb {
    unsigned char r, g, b;
    bool operator==(const Rgb&) const = default;
};

class OwnOpenGL : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("TMPDIR", folder.Path().c_str(), 1);
        KV_RESX = 640;
        KV_RESY = 480;
        KV_FULLSCREEN = 0;
        KV_FRAMERATE = 60;
        __GlobalInit(nullptr, nullptr, g_cmdline.GetStrData(), 1, "own_opengl_test");
        ASSERT_NE(pRbow, nullptr);
    }
    void TearDown() override { __ReleaseRuntime(); }

    // A pixel of the drawing area in screen coordinates, read with a raw call.
    static Rgb Pixel(int x, int y)
    {
        Rgb pixel{};
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(x, KV_RESY - 1 - y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, &pixel);
        return pixel;
    }

    testing_support::ScratchFolder folder;
};

// The program's code sees what the 2D commands drew before and starts from
// the 2D state, whatever the frame did; afterwards the commands draw as
// ever, whatever the program left behind.
TEST_F(OwnOpenGL, SeesThe2DPictureAndStateAndHandsThemBack)
{
    FILLRECT(0, 0, 10, 10, 255);  // pending in the 2D batch
    BeginOwnOpenGL();
    EXPECT_EQ(Pixel(5, 5), (Rgb{255, 0, 0}));
    EndOwnOpenGL();

    ALPHAMODE(0.5);
    X_MAKE3D(1, 100, 45);
    BeginOwnOpenGL();
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_FLOAT_EQ(projection[0], 2.0f / 640);
    EXPECT_FLOAT_EQ(projection[5], 2.0f / 480);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    // A green rectangle the 2D way ((x, -y), counter-clockwise), then state
    // that would spoil 2D drawing if the runtime went on believing its own.
    glDisable(GL_TEXTURE_2D);
    glColor3f(0, 1, 0);
    glBegin(GL_QUADS);
    glVertex2f(20, -10);
    glVertex2f(40, -10);
    glVertex2f(40, 0);
    glVertex2f(20, 0);
    glEnd();
    glColor3f(0, 0, 1);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    EndOwnOpenGL();
    // Opaque again: red over the program's green stays red.
    FILLRECT(20, 0, 30, 10, 255);
    BeginOwnOpenGL();  // the 2D commands' pixels, drawn
    EXPECT_EQ(Pixel(25, 5), (Rgb{255, 0, 0}));
    EXPECT_EQ(Pixel(35, 5), (Rgb{0, 255, 0}));
    EXPECT_EQ(Pixel(45, 5), (Rgb{0, 0, 0}));
    EndOwnOpenGL();
}

// The drawing area as a framebuffer object, also where the window has its size.
class OwnOpenGLOffscreen : public OwnOpenGL {
protected:
    void SetUp() override
    {
        setenv("KV_OFFSCREEN_AREA", "1", 1);
        OwnOpenGL::SetUp();
    }
    void TearDown() override
    {
        OwnOpenGL::TearDown();
        unsetenv("KV_OFFSCREEN_AREA");
    }
};

// The drawing area gets its depth buffer only when something tests depth;
// a program's own code always finds it, and finds alpha 1 where it reads.
TEST_F(OwnOpenGLOffscreen, FindsADepthBufferAndOpaqueAlpha)
{
    GLint depthBits = -1;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_EQ(depthBits, 0);  // nothing has tested depth yet

    BeginOwnOpenGL();
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_GT(depthBits, 0);
    unsigned char rgba[4] = {1, 1, 1, 1};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(5, 5, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    EXPECT_EQ(rgba[3], 255);
    // The nearer green square stays in front of the farther red one.
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    const float squares[2][4] = {{0, 1, 0, 0.5f}, {1, 0, 0, -0.5f}};  // rgb, then z (larger is nearer)
    for (const auto& square : squares) {
        glColor3f(square[0], square[1], square[2]);
        glBegin(GL_QUADS);
        glVertex3f(100, -110, square[3]);
        glVertex3f(110, -110, square[3]);
        glVertex3f(110, -100, square[3]);
        glVertex3f(100, -100, square[3]);
        glEnd();
    }
    EXPECT_EQ(Pixel(105, 105), (Rgb{0, 255, 0}));
    glDisable(GL_DEPTH_TEST);
    EndOwnOpenGL();
}

// The 2D layer leaves out sprites and pixels wholly off the drawing area,
// but only while its own projection is in force: under the program's
// matrices, coordinates off the area may land on it.
TEST_F(OwnOpenGL, CommandsUnderTheProgramsMatricesAreNotLeftOutAsOffTheArea)
{
    FILLRECT(0, 0, 8, 8, 255);
    GRABSPRITE(1, 0, 0, 8, 8);
    BeginOwnOpenGL();
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(-1000, 0, 0);
    SPRITE(1, 1010, 0);   // lands on columns 10..17
    SETPIXEL(1030, 5, 255);  // lands on column 30 of row 4
    EndOwnOpenGL();
    SPRITE(1, 1010, 20);  // the 2D projection again: off the area
    BeginOwnOpenGL();
    EXPECT_EQ(Pixel(12, 4), (Rgb{255, 0, 0}));
    EXPECT_EQ(Pixel(30, 4), (Rgb{255, 0, 0}));
    EXPECT_EQ(Pixel(12, 24), (Rgb{0, 0, 0}));
    EndOwnOpenGL();
}

// Where sprites land under the program's matrices, the batch cannot tell
// which of them overlap: they are drawn in the order of the commands.
TEST_F(OwnOpenGL, CommandsUnderTheProgramsMatricesKeepTheirOrder)
{
    FILLRECT(0, 0, 8, 8, 255);
    GRABSPRITE(1, 0, 0, 8, 8);  // red
    FILLRECT(0, 0, 8, 8, 255 << 8);
    GRABSPRITE(2, 0, 0, 8, 8);  // green
    BeginOwnOpenGL();
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(-1000, 0, 0);
    SPRITE(1, 1010, 0);
    SPRITE(2, 1010, 0);
    SPRITE(1, 1010, 0);  // red again, last
    EndOwnOpenGL();
    BeginOwnOpenGL();
    EXPECT_EQ(Pixel(12, 4), (Rgb{255, 0, 0}));
    EndOwnOpenGL();
}

}  // namespace
