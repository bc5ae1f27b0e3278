// The error log lives in a temporary folder that other users may write to,
// and the temporary folder itself may be missing or unusable.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/error_log.h"
#include "platform/platform.h"
#include "support/child_process.h"

namespace {

using testing_support::ReadWholeFile;
using testing_support::ScratchFolder;

// A link or pipe planted under the log's name gets nothing: not the place
// the link points to, nor a file made there, nor a blocked write. The line
// goes to this user's own log beside it instead, and the user is told once
// where; when that name is taken too, to a private folder.
TEST(ErrorLogTest, OnlyAPlainFileIsAppendedToAndAPlantedNameMovesTheLog)
{
    const std::string mine = "ErrorLog-" + std::to_string(getuid()) + ".txt";
    {
        ScratchFolder folder;
        setenv("TMPDIR", folder.Path().c_str(), 1);
        AppendErrorLog("first");
        AppendErrorLog("second");
        EXPECT_EQ(ReadWholeFile(folder.File("ErrorLog.txt")), "first\r\nsecond\r\n");
        EXPECT_EQ(ErrorLogPath(), folder.File("ErrorLog.txt"));
    }
    enum Planted { LinkToAFile, DanglingLink, Pipe };
    for (Planted planted : {LinkToAFile, DanglingLink, Pipe}) {
        ScratchFolder folder;
        setenv("TMPDIR", folder.Path().c_str(), 1);
        const std::string log = folder.File("ErrorLog.txt");
        const std::string victim = folder.File("victim.txt");
        if (planted == LinkToAFile) {
            std::ofstream(victim) << "precious";
            std::filesystem::create_symlink(victim, log);
        } else if (planted == DanglingLink) {
            std::filesystem::create_symlink(victim, log);
        } else {
            ASSERT_EQ(mkfifo(log.c_str(), 0600), 0);
        }
        testing::internal::CaptureStderr();
        AppendErrorLog("planted");  // returns at once, also for the pipe
        AppendErrorLog("again");
        const std::string said = testing::internal::GetCapturedStderr();
        if (planted == LinkToAFile) {
            EXPECT_EQ(ReadWholeFile(victim), "precious");
        }
        if (planted == DanglingLink) {
            EXPECT_FALSE(std::filesystem::exists(victim));
        }
        EXPECT_TRUE(planted == Pipe ? std::filesystem::is_fifo(log) : std::filesystem::is_symlink(log));
        EXPECT_EQ(ReadWholeFile(folder.File(mine)), "planted\r\nagain\r\n") << planted;
        EXPECT_NE(said.find(folder.File(mine)), std::string::npos) << said;
        EXPECT_EQ(said.find(folder.File(mine)), said.rfind(folder.File(mine))) << said;
        EXPECT_EQ(ErrorLogPath(), folder.File(mine));
    }
    {
        // Both names planted: a private folder of this user's own.
        ScratchFolder folder;
        setenv("TMPDIR", folder.Path().c_str(), 1);
        std::filesystem::create_symlink(folder.File("nowhere"), folder.File("ErrorLog.txt"));
        std::filesystem::create_directory(folder.File(mine));
        testing::internal::CaptureStderr();
        AppendErrorLog("safe");
        const std::string said = testing::internal::GetCapturedStderr();
        const std::string path = ErrorLogPath();
        EXPECT_EQ(path.rfind(folder.File("kverrorlog-"), 0), 0u) << path;
        EXPECT_EQ(ReadWholeFile(path), "safe\r\n");
        struct stat info {};
        ASSERT_EQ(stat(path.substr(0, path.rfind('/')).c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u);
        EXPECT_NE(said.find(path), std::string::npos) << said;
        EXPECT_EQ(said.find(path), said.rfind(path)) << said;
    }
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
