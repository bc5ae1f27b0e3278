// Reading standard input without waiting, and the game window's real client
// size, on Windows under Wine.
#include "platform/platform.h"
#include "platform/window_system.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include <windows.h>

#include <string>

namespace {

// Standard input is a pipe this test writes into.
class StandardInputPipe {
public:
    StandardInputPipe()
    {
        m_saved = GetStdHandle(STD_INPUT_HANDLE);
        CreatePipe(&m_read, &m_write, nullptr, 0);
        SetStdHandle(STD_INPUT_HANDLE, m_read);
    }
    ~StandardInputPipe()
    {
        SetStdHandle(STD_INPUT_HANDLE, m_saved);
        Close();
        CloseHandle(m_read);
    }
    void Write(const std::string& bytes)
    {
        DWORD written = 0;
        WriteFile(m_write, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }
    void Close()
    {
        if (m_write != nullptr) CloseHandle(m_write);
        m_write = nullptr;
    }

private:
    HANDLE m_saved = nullptr, m_read = nullptr, m_write = nullptr;
};

TEST(WindowsConsoleInput, LinesComeWholeWithoutWaitingAndTheEndIsSaid)
{
    StandardInputPipe input;
    std::string pending, line;
    EXPECT_EQ(platform::ReadConsoleLine(&pending, &line), 0) << "nothing typed: no wait, no line";
    input.Write("hallo welt\r\nzwei");
    ASSERT_EQ(platform::ReadConsoleLine(&pending, &line), 1);
    EXPECT_EQ(line, "hallo welt");
    EXPECT_EQ(platform::ReadConsoleLine(&pending, &line), 0) << "half a line is kept for later";
    input.Write("te\n");
    ASSERT_EQ(platform::ReadConsoleLine(&pending, &line), 1);
    EXPECT_EQ(line, "zweite");
    input.Write("ohne Ende");
    EXPECT_EQ(platform::ReadConsoleLine(&pending, &line), 0);
    input.Close();
    ASSERT_EQ(platform::ReadConsoleLine(&pending, &line), 1) << "a last line without newline counts";
    EXPECT_EQ(line, "ohne Ende");
    EXPECT_EQ(platform::ReadConsoleLine(&pending, &line), -1);
}

TEST(WindowsWindowSystem, TheRealSizeIsTheWindowsClientArea)
{
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_Window* window = SDL_CreateWindow("size", 40, 40, 320, 200, SDL_WINDOW_SHOWN);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    int width = 0, height = 0;
    ASSERT_TRUE(platform::windowsystem::RealWindowSize(window, &width, &height));
    EXPECT_EQ(width, 320);
    EXPECT_EQ(height, 200);
    EXPECT_FALSE(platform::windowsystem::CoverDisplay(window, SDL_Rect{0, 0, 1024, 768}))
        << "Windows' own window manager gives full screen";
    platform::windowsystem::PlaceWindow(window, SDL_Rect{60, 70, 400, 300});
    ASSERT_TRUE(platform::windowsystem::RealWindowSize(window, &width, &height));
    EXPECT_EQ(width, 400);
    EXPECT_EQ(height, 300);
    SDL_DestroyWindow(window);
    SDL_Quit();
}

}  // namespace
