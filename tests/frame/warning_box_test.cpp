// The warning box about software OpenGL, as the user sees it on a private X
// display: its German text ends in "unterstützt!", whose ü is beyond ASCII.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "support/child_process.h"
#include "support/screen_capture.h"

namespace {

using namespace testing_support;

struct Box {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<std::uint32_t> pixels;  // the box's pixels, top row first
};

// The window tree of the display as xwininfo lists it.
std::string WindowTree(const PrivateDisplay& display)
{
    std::string output;
    std::FILE* pipe = popen(("xwininfo -root -tree -display " + display.Env().substr(8) + " 2>/dev/null").c_str(), "r");
    if (pipe == nullptr) return output;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, got);
    pclose(pipe);
    return output;
}

// Finds the top-level window of that name: "0x... "name": (...)  WxH+X+Y".
bool FindWindow(const PrivateDisplay& display, const std::string& name, Box* box)
{
    const std::string tree = WindowTree(display);
    const std::size_t at = tree.find("\"" + name + "\":");
    if (at == std::string::npos) return false;
    const std::size_t geometry = tree.find(")", at);
    return geometry != std::string::npos &&
           std::sscanf(tree.c_str() + geometry + 1, " %dx%d+%d+%d", &box->width, &box->height, &box->left,
                       &box->top) == 4;
}

// Starts the program with the given locale variables, waits for the box
// and reads its pixels back once they stop changing.
Box ShowBox(const std::vector<std::string>& localeEnvironment)
{
    Box box;
    ScratchFolder folder;
    PrivateDisplay display;
    EXPECT_TRUE(display.Ready());
    if (!display.Ready()) return box;
    std::vector<std::string> env{"TMPDIR=" + folder.Path(), display.Env(), "KV_WINDOWED=1",
                                 "SDL_AUDIODRIVER=dummy", "KV_NO_MESSAGEBOX=", "LANG=", "LC_ALL=",
                                 "LC_CTYPE=", "LANGUAGE="};
    env.insert(env.end(), localeEnvironment.begin(), localeEnvironment.end());
    ChildProcess child(BuildProgram("frame_probe"), {"end"}, env, folder.File("stderr.txt"));
    EXPECT_TRUE(child.Started());
    bool found = false;
    for (int attempt = 0; attempt < 600 && !found; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        found = FindWindow(display, "!!OpenGL Software Emulation!!", &box);
    }
    EXPECT_TRUE(found) << WindowTree(display);
    EXPECT_GT(box.width, 100);
    EXPECT_GT(box.height, 100);
    if (!found || box.width <= 100 || box.height <= 100) return box;

    std::vector<std::uint32_t> previous;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        ScreenPicture screen = CaptureScreen(display.Env().substr(8));
        if (screen.width < box.left + box.width || screen.height < box.top + box.height) continue;
        std::vector<std::uint32_t> pixels;
        for (int y = box.top; y < box.top + box.height; ++y)
            for (int x = box.left; x < box.left + box.width; ++x) pixels.push_back(screen.At(x, y));
        if (pixels == previous) break;
        previous = pixels;
    }
    box.pixels = previous;
    return box;
}

// SDL draws the box through the locale of the environment; without a UTF-8
// one (LANG unset: plain C) the text must still come out whole, exactly as
// in a UTF-8 locale.
TEST(WarningBoxTest, ShowsItsWholeTextWhateverTheLocale)
{
    const Box inUtf8 = ShowBox({"LANG=C.UTF-8"});
    const Box inC = ShowBox({});
    ASSERT_FALSE(inUtf8.pixels.empty());
    ASSERT_EQ(inC.width, inUtf8.width);
    ASSERT_EQ(inC.height, inUtf8.height);
    int differing = 0;
    for (std::size_t i = 0; i < inC.pixels.size(); ++i) differing += inC.pixels[i] != inUtf8.pixels[i];
    EXPECT_EQ(differing, 0) << "of " << inC.pixels.size() << " pixels of the box";
}

}  // namespace
