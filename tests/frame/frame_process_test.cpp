// The whole frame, run as a child process under the test's X display: how
// each way out ends the program and what it leaves in the error log.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <sys/wait.h>

#include "support/child_process.h"

namespace {

using namespace testing_support;

class FrameProcessTest : public ::testing::Test {
protected:
    ChildResult Run(const std::string& mode, std::vector<std::string> env = {})
    {
        env.push_back("TMPDIR=" + folder.Path());
        ChildProcess child(BuildProgram("frame_probe"), {mode}, env, folder.File("stderr.txt"));
        EXPECT_TRUE(child.Started());
        return child.Wait();
    }
    std::vector<std::string> Log() { return ErrorLogLines(folder.Path()); }
    static bool IsRendererLine(const std::string& line)
    {
        return line == "OpenGL Hardware Support" || line == "OpenGL Software Emulation";
    }

    ScratchFolder folder;
};

TEST_F(FrameProcessTest, EndWritesTheRendererLineThenTheFinalState)
{
    ChildResult result = Run("end");
    ASSERT_TRUE(result.exited) << result.stderrText;
    EXPECT_EQ(result.exitCode, 0) << result.stderrText;
    EXPECT_EQ(result.stderrText.find("runtime error"), std::string::npos) << result.stderrText;
    std::vector<std::string> log = Log();
    ASSERT_EQ(log.size(), 6u);
    EXPECT_TRUE(IsRendererLine(log[0])) << log[0];
    EXPECT_EQ(std::vector<std::string>(log.begin() + 1, log.end()),
              (std::vector<std::string>{"-End On Line", "0", "12", "12", "0"}));
}

TEST_F(FrameProcessTest, FatalArrayErrorEndsWithItsNumberAndLine)
{
    ChildResult result = Run("array");
    ASSERT_TRUE(result.exited);
    // A program that ends on an error says so, on stderr and in its exit
    // code; without a source table the message names file and line numbers.
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.stderrText.find("file 0, line 58: runtime error 9: array index out of bounds\n"),
              std::string::npos)
        << result.stderrText;
    std::vector<std::string> log = Log();
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(log.end() - 4, log.end()),
              (std::vector<std::string>{"9", "57", "57", "0"}));
}

TEST_F(FrameProcessTest, ArrayUsedBeforeDimAndHugeDimEndTheProgram)
{
    ChildResult result = Run("undimmed");
    ASSERT_EQ(result.exitCode, 1);
    EXPECT_NE(result.stderrText.find("line 61: runtime error 8: array used before DIM\n"), std::string::npos)
        << result.stderrText;
    std::vector<std::string> log = Log();
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(log.end() - 4, log.end()),
              (std::vector<std::string>{"8", "60", "60", "0"}));
    result = Run("huge");
    ASSERT_EQ(result.exitCode, 1);
    EXPECT_NE(result.stderrText.find("line 64: runtime error 7: out of memory or value out of range\n"),
              std::string::npos)
        << result.stderrText;
    log = Log();
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(log.end() - 4, log.end()),
              (std::vector<std::string>{"7", "63", "63", "0"}));
}

TEST_F(FrameProcessTest, EachRunStartsANewLog)
{
    {
        std::ofstream old(folder.File("ErrorLog.txt"), std::ios::binary);
        old << "left over from an earlier run\r\n";
    }
    ASSERT_EQ(Run("end").exitCode, 0);
    std::vector<std::string> log = Log();
    ASSERT_FALSE(log.empty());
    EXPECT_TRUE(IsRendererLine(log[0])) << log[0];
    EXPECT_EQ(log.size(), 6u);
}

TEST_F(FrameProcessTest, TerminationSignalTakesTheClosePathAndKeepsTheErrorState)
{
    ChildProcess child(BuildProgram("frame_probe"), {"wait"}, {"TMPDIR=" + folder.Path()},
                       folder.File("stderr.txt"));
    ASSERT_TRUE(child.Started());
    ASSERT_TRUE(WaitForFile(folder.File("probe-ready")));
    child.Signal(SIGTERM);
    ChildResult result = child.Wait();
    ASSERT_TRUE(result.exited) << "ended by a signal instead of the shutdown";
    EXPECT_EQ(result.exitCode, 0);
    std::vector<std::string> log = Log();
    ASSERT_GE(log.size(), 5u);
    // Closing leaves the last recoverable error (3 on line 20) in place.
    EXPECT_EQ(std::vector<std::string>(log.end() - 5, log.end()),
              (std::vector<std::string>{"-End On Line", "3", "20", "21", "0"}));
}

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

TEST_F(FrameProcessTest, MissingDisplayIsReportedNotACrash)
{
    ChildResult result = Run("end", {"DISPLAY=", "WAYLAND_DISPLAY=", "SDL_VIDEODRIVER=x11"});
    ASSERT_TRUE(result.exited) << "ended by a signal";
    EXPECT_NE(result.exitCode, 0);
    EXPECT_NE(result.stderrText.find("cannot open the display"), std::string::npos) << result.stderrText;
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

// A missing $TMPDIR is found out once at start-up: the program says so once
// and goes on with /tmp.
TEST_F(FrameProcessTest, UnusableTemporaryFolderIsReportedOnceAtStartUp)
{
    const std::string missing = folder.Path() + "/does/not/exist";
    ChildProcess child(BuildProgram("frame_probe"), {"end"}, {"TMPDIR=" + missing},
                       folder.File("stderr.txt"));
    ASSERT_TRUE(child.Started());
    ChildResult result = child.Wait();
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 0) << result.stderrText;
    const std::string& said = result.stderrText;
    EXPECT_NE(said.find(missing), std::string::npos) << said;
    EXPECT_EQ(said.find(missing), said.rfind(missing)) << said;
}

}  // namespace
