// The error log lives in a temporary folder that other users may write to,
// and the temporary folder itself may be missing or unusable.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "frame/error_log.h"
#include "platform/platform.h"
#include "support/child_process.h"

namespace {

using testing_support::ReadWholeFile;
using testing_support::ScratchFolder;

// A link or pipe planted under the log's name gets nothing: the line is
// dropped rather than written where the link points, and nothing blocks.
TEST(ErrorLogTest, OnlyAPlainFileIsAppendedTo)
{
    ScratchFolder folder;
    setenv("TMPDIR", folder.Path().c_str(), 1);
    const std::string log = folder.File("ErrorLog.txt");

    AppendErrorLog("first");
    AppendErrorLog("second");
    EXPECT_EQ(ReadWholeFile(log), "first\r\nsecond\r\n");

    std::filesystem::remove(log);
    const std::string victim = folder.File("victim.txt");
    {
        std::ofstream(victim) << "precious";
    }
    std::filesystem::create_symlink(victim, log);
    AppendErrorLog("planted");
    EXPECT_EQ(ReadWholeFile(victim), "precious");
    EXPECT_TRUE(std::filesystem::is_symlink(log));

    // A dangling link must not create its target either.
    std::filesystem::remove(log);
    std::filesystem::create_symlink(folder.File("made-by-the-log.txt"), log);
    AppendErrorLog("planted");
    EXPECT_FALSE(std::filesystem::exists(folder.File("made-by-the-log.txt")));

    std::filesystem::remove(log);
    ASSERT_EQ(mkfifo(log.c_str(), 0600), 0);
    AppendErrorLog("into a pipe nobody reads");  // returns at once
    EXPECT_TRUE(std::filesystem::is_fifo(log));
}

// A $TMPDIR that is missing or not a folder gives way to /tmp, and the
// user is told once, not by every file that would go there.
TEST(ErrorLogTest, UnusableTmpdirFallsBackToTmpAndSaysSoOnce)
{
    ScratchFolder folder;
    const std::string missing = folder.File("does/not/exist");
    setenv("TMPDIR", missing.c_str(), 1);
    testing::internal::CaptureStderr();
    EXPECT_EQ(platform::TempFolder(), "/tmp/");
    EXPECT_EQ(platform::TempFolder(), "/tmp/");
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find(missing), std::string::npos) << said;
    EXPECT_EQ(said.find(missing), said.rfind(missing)) << said;
    EXPECT_NE(said.find("using /tmp"), std::string::npos) << said;

    const std::string file = folder.File("a-file");
    {
        std::ofstream(file) << "x";
    }
    setenv("TMPDIR", file.c_str(), 1);
    testing::internal::CaptureStderr();
    EXPECT_EQ(platform::TempFolder(), "/tmp/");
    EXPECT_NE(testing::internal::GetCapturedStderr().find(file), std::string::npos);

    setenv("TMPDIR", folder.Path().c_str(), 1);
    testing::internal::CaptureStderr();
    EXPECT_EQ(platform::TempFolder(), folder.Path() + "/");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

}  // namespace
