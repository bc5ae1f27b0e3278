// What the 2D graphics tests share: a started runtime with a real window
// and OpenGL context (under Xvfb in automated runs), pixels read back from
// the drawing area, and BMP files written on the fly.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "commands.h"
#include "gfx/opengl_rainbows.h"

struct Rgb {
    int r = 0, g = 0, b = 0;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};
std::ostream& operator<<(std::ostream& out, const Rgb& c);

// Frames presented (buffer swaps) since the test program started.
extern int g_presentedFrames;

// RGB() packing as the commands take it.
constexpr double RGB(int r, int g, int b) { return r + 256.0 * g + 65536.0 * b; }

// The drawing area as it is now, addressed from the top-left like the program.
class Screen {
public:
    static Screen Capture();
    Rgb At(int x, int y) const;
    // The smallest rectangle holding every pixel that differs from colour
    // `background`; false when there is none.
    bool Bounds(Rgb background, int& left, int& top, int& right, int& bottom) const;
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;  // rows bottom first, as OpenGL reads them
};

// A 24-bit BMP whose pixel (x, y) from the top-left is colour(x, y).
std::vector<std::uint8_t> MakeBmp24(int width, int height, const std::function<Rgb(int, int)>& colour);
// An 8-bit BMP with the given palette (r, g, b per entry) and pixel indices
// (row-major from the top-left).
std::vector<std::uint8_t> MakeBmp8(int width, int height, const std::vector<Rgb>& palette,
                                   const std::vector<std::uint8_t>& indices);
void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> ReadFile(const std::string& path);

// Each test starts the runtime in a 640 x 480 window, as a program would,
// and gets a folder of its own for files.
// Everything the error log in folder holds ("" when there is none).
std::string ErrorLog(const std::string& folder);

class GfxTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // A path in this test's folder.
    std::string Path(const std::string& name) const { return m_folder + "/" + name; }
    // Writes a BMP into this test's folder and returns its path.
    std::string WriteBmp(const std::string& name, const std::vector<std::uint8_t>& bytes) const;
    // Draws nothing but clears the drawing area to black.
    static void ClearScreen();

    std::string m_folder;
};

// For tests of commands that end the program (runtime error 3 and the like):
// the dying child closes the video system on its way out, which unloads the
// graphics driver before the leak checker could name the driver's own
// caches, so the child runs without the leak check.
class GfxDeathTest : public GfxTest {
protected:
    void SetUp() override
    {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        std::string options = std::getenv("ASAN_OPTIONS") != nullptr ? std::getenv("ASAN_OPTIONS") : "";
        if (options.find("detect_leaks=0") == std::string::npos)
            setenv("ASAN_OPTIONS", (options + ":detect_leaks=0").c_str(), 1);
        GfxTest::SetUp();
    }
};
