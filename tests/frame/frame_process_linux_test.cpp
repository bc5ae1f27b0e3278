// The frame's end-to-end cases that need Linux: a private X display with
// real key presses, no display at all, another user (setpriv), and the
// program started through the shell.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "frame/frame_process_fixture.h"

namespace {

TEST_F(FrameProcessTest, EscapeEndsTheProgramWithErrorZero)
{
    PrivateDisplay display;
    ASSERT_TRUE(display.Ready());
    ChildProcess child(BuildProgram("frame_probe"), {"wait"}, {"TMPDIR=" + folder.Path(), display.Env()},
                       folder.File("stderr.txt"));
    ASSERT_TRUE(child.Started());
    ASSERT_TRUE(WaitForFile(folder.File("probe-ready")));
    // A real key press, held long enough for a polling program. Without a
    // window manager the key goes to the window under the pointer.
    ASSERT_EQ(display.Xdotool("mousemove 300 300 sleep 0.1 keydown Escape sleep 0.3 keyup Escape"), 0);
    ChildResult result = child.Wait(std::chrono::seconds(20));
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 0);
    std::vector<std::string> log = Log();
    ASSERT_GE(log.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(log.end() - 5, log.end()),
              (std::vector<std::string>{"-End On Line", "0", "21", "21", "0"}));
}

// No display at all: neither the X driver asked for by name nor SDL's own
// choice (which falls back to drivers that show nothing) gives a program
// that runs unseen; the program says so and ends with a failure code.
TEST_F(FrameProcessTest, MissingDisplayIsReportedNotACrash)
{
    for (const char* driver : {"SDL_VIDEODRIVER=x11", "SDL_VIDEODRIVER="}) {
        ChildResult result = Run("end", {"DISPLAY=", "WAYLAND_DISPLAY=", driver});
        ASSERT_TRUE(result.exited) << driver << ": ended by a signal";
        EXPECT_NE(result.exitCode, 0) << driver;
        EXPECT_NE(result.stderrText.find("cannot open the display"), std::string::npos)
            << driver << "\n" << result.stderrText;
        EXPECT_TRUE(Log().empty()) << driver;
    }
}

// In a shared temporary folder (sticky, like /tmp) another user's log from
// an earlier run can be neither removed nor written. The log then goes
// beside it under this user's id, the user is told once where, the other
// user's file stays as it was, and the next run starts that log anew.
TEST_F(FrameProcessTest, AnotherUsersLogInASharedFolderIsNotLostSilently)
{
    ASSERT_EQ(geteuid(), 0u) << "needs root: the test plays two users";
    constexpr unsigned kOtherUser = 65533, kThisUser = 65534;
    ASSERT_EQ(chmod(folder.Path().c_str(), 01777), 0);
    const std::string theirs = folder.File("ErrorLog.txt");
    {
        std::ofstream(theirs, std::ios::binary) << "their run\r\n";
    }
    ASSERT_EQ(chown(theirs.c_str(), kOtherUser, kOtherUser), 0);
    PrivateDisplay display;
    ASSERT_TRUE(display.Ready());
    const std::string mine = folder.File("ErrorLog-" + std::to_string(kThisUser) + ".txt");
    for (int run = 1; run <= 2; ++run) {
        ChildProcess child("/usr/bin/setpriv",
                           {"--reuid=" + std::to_string(kThisUser), "--regid=" + std::to_string(kThisUser),
                            "--clear-groups", BuildProgram("frame_probe"), "end"},
                           {"TMPDIR=" + folder.Path(), display.Env(), "KV_WINDOWED=1", "SDL_AUDIODRIVER=dummy"},
                           folder.File("stderr.txt"));
        ASSERT_TRUE(child.Started());
        ChildResult result = child.Wait();
        ASSERT_TRUE(result.exited) << result.stderrText;
        EXPECT_EQ(result.exitCode, 0) << result.stderrText;
        const std::string& said = result.stderrText;
        EXPECT_NE(said.find(mine), std::string::npos) << said;
        EXPECT_EQ(said.find(mine), said.rfind(mine)) << said;
        EXPECT_NE(said.find("belongs to another user"), std::string::npos) << said;

        EXPECT_EQ(ReadWholeFile(theirs), "their run\r\n");
        std::vector<std::string> log = ErrorLogLines(folder.Path(), "ErrorLog-" + std::to_string(kThisUser) + ".txt");
        ASSERT_EQ(log.size(), 6u) << run;
        EXPECT_TRUE(IsRendererLine(log[0])) << log[0];
        EXPECT_EQ(std::vector<std::string>(log.begin() + 1, log.end()),
                  (std::vector<std::string>{"-End On Line", "0", "12", "12", "0"}));
    }
}

// The files named in the environment and in the input script count from the
// folder the program was started in, although start-up makes the program's
// own folder the working directory.
TEST_F(FrameProcessTest, RelativePathsCountFromTheFolderTheProgramWasStartedIn)
{
    const std::string started = folder.File("started-here");
    std::filesystem::create_directory(started);
    std::ofstream(started + "/kv-relative-script.txt") << "1 screenshot kv-relative-shot.bmp\n";
    const std::vector<std::string> names{"kv-relative-script.txt", "kv-relative-shot.bmp",
                                         "kv-relative-sums.txt", "kv-relative-recording.txt"};
    auto runIn = [&](std::vector<std::string> env) {
        env.push_back("TMPDIR=" + folder.Path());
        ChildProcess child("/bin/sh", {"-c", "cd \"$0\" && exec \"$1\" end", started, BuildProgram("frame_probe")},
                           env, folder.File("stderr.txt"));
        EXPECT_TRUE(child.Started());
        ChildResult result = child.Wait();
        EXPECT_TRUE(result.exited && result.exitCode == 0) << result.stderrText;
        EXPECT_EQ(result.stderrText.find("cannot"), std::string::npos) << result.stderrText;
    };
    runIn({"KV_INPUT_SCRIPT=kv-relative-script.txt", "KV_FRAME_CHECKSUMS=kv-relative-sums.txt"});
    runIn({"KV_INPUT_SCRIPT=", "KV_RECORD_INPUT=kv-relative-recording.txt"});

    EXPECT_EQ(ReadWholeFile(started + "/kv-relative-shot.bmp").substr(0, 2), "BM");
    // The probe presents the start-up frame and two more before its END.
    const std::string sums = ReadWholeFile(started + "/kv-relative-sums.txt");
    EXPECT_EQ(std::count(sums.begin(), sums.end(), '\n'), 3) << sums;
    EXPECT_NE(ReadWholeFile(started + "/kv-relative-recording.txt").find(" seed "), std::string::npos);
    // Nothing landed beside the program instead.
    for (const std::string& name : names) {
        const std::string misplaced = std::string(KV_BUILD_DIR) + "/" + name;
        EXPECT_FALSE(std::filesystem::exists(misplaced)) << misplaced;
        std::filesystem::remove(misplaced);
    }
}

// "--version" alone is answered before start-up: no display is needed, and
// the error log of the last run stays for the bug report. Any other command
// line, "--version" among other words too, is the program's.
TEST_F(FrameProcessTest, VersionIsAnsweredWithoutAWindowAndKeepsTheLastLog)
{
    {
        std::ofstream old(folder.File("ErrorLog.txt"), std::ios::binary);
        old << "the last run's log\r\n";
    }
    const std::string command = "DISPLAY= WAYLAND_DISPLAY= SDL_VIDEODRIVER=x11 TMPDIR='" + folder.Path() +
                                "' '" + BuildProgram("frame_probe") + "' --version 2>&1";
    std::FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
    const int status = pclose(pipe);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << output;
    const std::string prefix = "frame_probe (kvruntime ";
    EXPECT_EQ(output.substr(0, prefix.size()), prefix) << output;
    EXPECT_EQ(output.substr(output.size() - 2), ")\n") << output;
    EXPECT_EQ(Log(), std::vector<std::string>{"the last run's log"});

    ChildProcess other(BuildProgram("frame_probe"), {"--version", "end"},
                       {"TMPDIR=" + folder.Path(), "DISPLAY=", "WAYLAND_DISPLAY=", "SDL_VIDEODRIVER=x11"},
                       folder.File("stderr.txt"));
    ASSERT_TRUE(other.Started());
    ChildResult result = other.Wait();
    ASSERT_TRUE(result.exited);
    EXPECT_NE(result.stderrText.find("cannot open the display"), std::string::npos) << result.stderrText;
}

}  // namespace
