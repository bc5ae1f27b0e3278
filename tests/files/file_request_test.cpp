// FILEREQUEST$ through stand-in dialog programs placed first in PATH: they
// record the words they were given and answer like the real ones.
#include <gtest/gtest.h>
#include <SDL.h>
#include <sys/stat.h>

#include <cstdlib>

#include "commands.h"
#include "gfx/opengl_rainbows.h"
#include "scratch_folder.h"

namespace {

class FileRequestTest : public ScratchFolder {
protected:
    void SetUp() override
    {
        ScratchFolder::SetUp();
        const char* path = std::getenv("PATH");
        savedPath = path != nullptr ? path : "";
        std::filesystem::create_directory("bin");
        // Only the stand-ins are found: no real dialog ever opens.
        setenv("PATH", (folder / "bin").c_str(), 1);
    }

    void TearDown() override
    {
        setenv("PATH", savedPath.c_str(), 1);
        __ReleaseRuntime();  // a test may have started it
        ScratchFolder::TearDown();
    }

    // A dialog program that writes its words, one per line, to <name>.args,
    // prints answer and exits with exitCode.
    void InstallDialog(const std::string& name, const std::string& answer, int exitCode)
    {
        const std::string script = "#!/bin/sh\n"
                                   "for word in \"$@\"; do printf '%s\\n' \"$word\"; done > '" +
                                   (folder / (name + ".args")).string() + "'\n" +
                                   "printf '%s\\n' '" + answer + "'\n" +
                                   "exit " + std::to_string(exitCode) + "\n";
        const std::string file = "bin/" + name;
        Write(file, script);
        chmod(file.c_str(), 0755);
    }

    std::string savedPath;
};

TEST_F(FileRequestTest, OpenDialogWithZenityAndItsFilters)
{
    InstallDialog("zenity", "/home/player/level 2.txt", 0);
    KvStr chosen = FILEREQUEST_Str(1, "Levels|*.txt;*.lvl|All files|*.*");
    EXPECT_STREQ(chosen.GetStrData(), "/home/player/level 2.txt");
    const std::string here = std::filesystem::current_path().string();
    EXPECT_EQ(Read("zenity.args"), "--file-selection\n--filename=" + here +
                                       "/\n--file-filter=Levels | *.txt *.lvl\n"
                                       "--file-filter=All files | *\n");
}

TEST_F(FileRequestTest, SaveDialogAndCancel)
{
    InstallDialog("zenity", "", 1);
    EXPECT_STREQ(FILEREQUEST_Str(0, "Saves|*.sav").GetStrData(), "NO_FILE");
    const std::string words = Read("zenity.args");
    EXPECT_NE(words.find("--save\n"), std::string::npos);
    EXPECT_NE(words.find("--file-filter=Saves | *.sav\n"), std::string::npos);
}

TEST_F(FileRequestTest, KdialogWhenThereIsNoZenity)
{
    InstallDialog("kdialog", "/tmp/picked.sav", 0);
    EXPECT_STREQ(FILEREQUEST_Str(0, "Saves|*.sav|All|*.*").GetStrData(), "/tmp/picked.sav");
    const std::string here = std::filesystem::current_path().string();
    EXPECT_EQ(Read("kdialog.args"), "--getsavefilename\n" + here + "/\n*.sav|Saves\n*|All\n");

    FILEREQUEST_Str(1, "");
    EXPECT_EQ(Read("kdialog.args"), "--getopenfilename\n" + here + "/\n");
}

TEST_F(FileRequestTest, NoDialogProgramCountsAsCancel)
{
    EXPECT_STREQ(FILEREQUEST_Str(1, "All|*.*").GetStrData(), "NO_FILE");
}

TEST_F(FileRequestTest, GameWindowComesBackInItsMode)
{
    KV_FULLSCREEN = 0;
    KV_DEBUG = 0;
    __GlobalInit(nullptr, nullptr, nullptr, 1, "file request");
    ASSERT_NE(pRbow, nullptr);
    ASSERT_EQ(chdir(folder.c_str()), 0);
    SDL_Window* window = SDL_GL_GetCurrentWindow();
    ASSERT_NE(window, nullptr);

    InstallDialog("zenity", "/tmp/x.txt", 0);
    EXPECT_STREQ(FILEREQUEST_Str(1, "").GetStrData(), "/tmp/x.txt");
    EXPECT_NE(SDL_GetWindowFlags(window) & SDL_WINDOW_SHOWN, 0u);
    EXPECT_EQ(SDL_GetWindowFlags(window) & SDL_WINDOW_HIDDEN, 0u);
    EXPECT_FALSE(pRbow->window.fullscreen);
    int width = 0, height = 0;
    SDL_GetWindowSize(window, &width, &height);
    EXPECT_EQ(width, KV_RESX);
    EXPECT_EQ(height, KV_RESY);
}

}  // namespace
