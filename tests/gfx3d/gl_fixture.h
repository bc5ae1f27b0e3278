// Starts the runtime with a real OpenGL context on the test's X display and
// reads the drawing area back.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "commands.h"
#include "gfx/opengl_rainbows.h"
#include "gl/gl_calls.h"
#include "support/child_process.h"

struct Rgb {
    unsigned char r, g, b;
    bool operator==(const Rgb&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Rgb& c)
{
    return out << "(" << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ")";
}

class Gl3DTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("TMPDIR", folder.Path().c_str(), 1);
        KV_RESX = 640;
        KV_RESY = 480;
        KV_FULLSCREEN = 0;
        KV_FRAMERATE = 60;
        KV_DEBUG = 0;
        __GlobalInit(nullptr, nullptr, g_cmdline.GetStrData(), 1, "gl_3d_test");
        ASSERT_NE(pRbow, nullptr);
    }
    // Nothing of the runtime may still run when the process exits and the
    // leak checker looks at it.
    void TearDown() override { __ReleaseRuntime(); }

    // Pixel at screen position (x, y), y counted from the top.
    Rgb At(int x, int y)
    {
        Rgb pixel{};
        gl::PixelStorei(GL_PACK_ALIGNMENT, 1);
        gl::ReadPixels(x, KV_RESY - 1 - y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, &pixel);
        return pixel;
    }

    // Window depth (0 near .. 1 far) at screen position (x, y).
    float DepthAt(int x, int y)
    {
        float depth = -1;
        gl::ReadPixels(x, KV_RESY - 1 - y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
        return depth;
    }

    // How many pixels of the whole drawing area have this colour.
    int Count(Rgb colour)
    {
        std::vector<Rgb> all(KV_RESX * KV_RESY);
        gl::PixelStorei(GL_PACK_ALIGNMENT, 1);
        gl::ReadPixels(0, 0, KV_RESX, KV_RESY, GL_RGB, GL_UNSIGNED_BYTE, all.data());
        int n = 0;
        for (const Rgb& pixel : all) n += pixel == colour;
        return n;
    }

    // The current model-view matrix, column-major.
    std::vector<float> ModelView()
    {
        std::vector<float> m(16);
        gl::GetFloatv(GL_MODELVIEW_MATRIX, m.data());
        return m;
    }

    testing_support::ScratchFolder folder;
};
