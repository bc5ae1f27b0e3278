// Full screen and window, on a private X display of a given size, with and
// without a window manager: the whole screen read back shows the whole
// 640 x 480 picture, scaled with its aspect kept and black bars, in full
// screen; the window shows it 1:1; and full screen again after the window.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <string>
#include <thread>

#include "support/child_process.h"
#include "support/screen_capture.h"

namespace {

using namespace testing_support;

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBlack = 0x000000;

struct Place {
    int left, top, width, height;
};

struct ScreenCase {
    const char* screen;
    int width, height;
    bool windowManager;
};

class FullscreenTest : public ::testing::TestWithParam<ScreenCase> {
protected:
    bool WaitForFile(const std::string& name)
    {
        return testing_support::WaitForFile(folder.File(name), std::chrono::seconds(60));
    }
    void Go(int step) { std::ofstream(folder.File("go-" + std::to_string(step))) << "go"; }

    // The picture's place on a screen of the case's size in full screen.
    static Place FullscreenPlace(const ScreenCase& c)
    {
        const double scale = std::min(c.width / 640.0, c.height / 480.0);
        const int width = static_cast<int>(640 * scale + 0.5), height = static_cast<int>(480 * scale + 0.5);
        return {(c.width - width) / 2, (c.height - height) / 2, width, height};
    }

    // Empty when the screen shows the picture filling place, black around
    // it; otherwise what is wrong.
    static std::string FullscreenProblem(const ScreenPicture& shot, const Place& place)
    {
        if (shot.pixels.empty()) return "screen not read";
        long wrongOutside = 0, notWhiteInside = 0;
        for (int y = 0; y < shot.height; ++y)
            for (int x = 0; x < shot.width; ++x) {
                const bool inside = x >= place.left && x < place.left + place.width && y >= place.top &&
                                    y < place.top + place.height;
                if (!inside && shot.At(x, y) != kBlack) ++wrongOutside;
                if (inside && shot.At(x, y) != kWhite) ++notWhiteInside;
            }
        // The red 8 x 8 corner, scaled (with blended edges).
        const double scale = place.width / 640.0;
        const long corner = static_cast<long>(std::ceil(8 * scale + 2) * std::ceil(8 * scale + 2));
        std::string problem;
        if (wrongOutside != 0) problem += std::to_string(wrongOutside) + " pixels outside the picture are not black; ";
        if (notWhiteInside > corner || notWhiteInside < 64)
            problem += std::to_string(notWhiteInside) + " pixels of the picture are not white; ";
        if ((shot.At(place.left + 1, place.top + 1) & 0xFF0000) != 0xFF0000 ||
            (shot.At(place.left + 1, place.top + 1) & 0x00FFFF) != 0)
            problem += "the red corner is not at the picture's top left; ";
        return problem;
    }

    // The white picture of a window, shown 1:1: 480 rows of the screen are
    // white over (nearly) 640 pixels and 640 columns over (nearly) 480, each
    // a run without gaps (a window manager's title may hold a few white
    // pixels of its own, never whole rows of them).
    static std::string WindowProblem(const ScreenPicture& shot)
    {
        if (shot.pixels.empty()) return "screen not read";
        std::vector<int> rows(static_cast<std::size_t>(shot.height)), columns(static_cast<std::size_t>(shot.width));
        for (int y = 0; y < shot.height; ++y)
            for (int x = 0; x < shot.width; ++x)
                if (shot.At(x, y) == kWhite) ++rows[static_cast<std::size_t>(y)], ++columns[static_cast<std::size_t>(x)];
        auto run = [](const std::vector<int>& counts, int atLeast) {
            const auto first = std::find_if(counts.begin(), counts.end(), [&](int n) { return n >= atLeast; });
            const auto last = std::find_if(counts.rbegin(), counts.rend(), [&](int n) { return n >= atLeast; });
            const long full = std::count_if(counts.begin(), counts.end(), [&](int n) { return n >= atLeast; });
            const long span = first == counts.end() ? 0 : (counts.rend() - last) - (first - counts.begin());
            return full == span ? full : -1;
        };
        const long pictureRows = run(rows, 640 - 8), pictureColumns = run(columns, 480 - 8);
        if (pictureRows != 480 || pictureColumns != 640)
            return "white picture of " + std::to_string(pictureColumns) + " columns and " +
                   std::to_string(pictureRows) + " rows";
        return "";
    }

    // Reads the screen until it is right or ten seconds have passed (a
    // window manager resizes a little after the request).
    template <typename Check>
    std::string Settled(const std::string& display, Check check)
    {
        std::string problem;
        for (int tries = 0; tries < 50; ++tries) {
            problem = check(CaptureScreen(display));
            if (problem.empty()) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
        return problem;
    }

    ScratchFolder folder;
};

TEST_P(FullscreenTest, TheWholePictureIsShownScaledWithBlackBarsAlsoAfterAWindow)
{
    const ScreenCase c = GetParam();
    PrivateDisplay display(c.screen);
    ASSERT_TRUE(display.Ready());
    const std::string name = display.Env().substr(std::string("DISPLAY=").size());
    std::unique_ptr<ChildProcess> windowManager;
    if (c.windowManager) {
        windowManager = std::make_unique<ChildProcess>("/usr/bin/openbox", std::vector<std::string>{},
                                                       std::vector<std::string>{display.Env()},
                                                       folder.File("openbox.txt"));
        // Running once it announces itself on the root window.
        bool announced = false;
        for (int tries = 0; tries < 100 && !announced; ++tries) {
            announced = std::system(("xprop -display " + name +
                                     " -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'")
                                        .c_str()) == 0;
            if (!announced) std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        ASSERT_TRUE(announced) << "openbox did not start";
    }
    ChildProcess child(BuildProgram("frame_probe"), {"fullscreen"},
                       {"TMPDIR=" + folder.Path(), display.Env(), "KV_WINDOWED=0", "SDL_AUDIODRIVER=dummy"},
                       folder.File("stderr.txt"));
    const Place place = FullscreenPlace(c);
    ASSERT_TRUE(WaitForFile("shown-1"));
    EXPECT_EQ(Settled(name, [&](const ScreenPicture& s) { return FullscreenProblem(s, place); }), "")
        << "full screen at start";
    Go(1);
    ASSERT_TRUE(WaitForFile("shown-2"));
    EXPECT_EQ(Settled(name, WindowProblem), "") << "window";
    Go(2);
    ASSERT_TRUE(WaitForFile("shown-3"));
    EXPECT_EQ(Settled(name, [&](const ScreenPicture& s) { return FullscreenProblem(s, place); }), "")
        << "full screen after the window";
    Go(3);
    ChildResult result = child.Wait(std::chrono::seconds(30));
    EXPECT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 0) << result.stderrText;
}

INSTANTIATE_TEST_SUITE_P(Screens, FullscreenTest,
                         ::testing::Values(ScreenCase{"1920x1080x24", 1920, 1080, false},
                                           ScreenCase{"800x600x24", 800, 600, false},
                                           ScreenCase{"1920x1080x24", 1920, 1080, true},
                                           ScreenCase{"800x600x24", 800, 600, true}),
                         [](const ::testing::TestParamInfo<ScreenCase>& info) {
                             return std::to_string(info.param.width) + "x" + std::to_string(info.param.height) +
                                    (info.param.windowManager ? "WithWindowManager" : "Bare");
                         });

}  // namespace
