// The whole frame, run as a child process under the test's display: how
// each way out ends the program and what it leaves in the error log. The
// cases that need Linux (a private X display, other users, the shell) are
// in frame_process_linux_test.cpp.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "frame/frame_process_fixture.h"

namespace {

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

// A line file an earlier run left half rewritten in place (it was killed
// during the copy) is named at the next start, with where its new content
// was kept, on stderr and in the new log.
TEST_F(FrameProcessTest, StartUpNamesALineFileAKilledRunLeftHalfRewritten)
{
    const std::string target = folder.File("scores.txt"), copy = folder.File("scores.txt.unsaved");
    std::ofstream(target, std::ios::binary) << "new 0\r\nline 1 old\r\n";
    std::ofstream(copy, std::ios::binary) << "new 0\r\nline 1\r\n";
    std::ofstream(folder.File("kvrewrite-Xy12ab"), std::ios::binary)
        << "kvbasic in-place rewrite\n" << target << "\n" << copy << "\n";
    ChildResult result = Run("end");
    ASSERT_EQ(result.exitCode, 0) << result.stderrText;
    const std::string message = "line file " + target + " was not written back whole";
    EXPECT_NE(result.stderrText.find(message), std::string::npos) << result.stderrText;
    EXPECT_NE(result.stderrText.find("its whole new content is kept in " + copy), std::string::npos) << result.stderrText;
    const std::vector<std::string> log = Log();
    EXPECT_TRUE(std::any_of(log.begin(), log.end(), [&](const std::string& line) { return line.find(message) == 0; }));
    EXPECT_TRUE(std::filesystem::exists(copy));
    // Said once: the next start is quiet.
    result = Run("end");
    EXPECT_EQ(result.stderrText.find(message), std::string::npos) << result.stderrText;
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

// A missing $TMPDIR is found out once at start-up: the program says so once
// and goes on with /tmp.
TEST_F(FrameProcessTest, UnusableTemporaryFolderIsReportedOnceAtStartUp)
{
#ifdef _WIN32
    // Windows names the folder with its own separators.
    const std::string missing = folder.Path() + "\\does\\not\\exist";
#else
    const std::string missing = folder.Path() + "/does/not/exist";
#endif
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
