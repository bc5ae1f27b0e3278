// Changes in the line-file cache reach the disk on every way the program
// ends. Each case ends a child process and looks at the file afterwards.
#include <gtest/gtest.h>

#include <csignal>
#include <functional>

#include "commands.h"
#include "scratch_folder.h"

namespace {

// The child re-runs the test from its start (the runtime may hold threads,
// so no plain fork), so parent and child must agree on the folder: it is
// named after the build and the test, not made at random.
class ShutdownWriteBackTest : public ScratchFolder {
protected:
    void SetUp() override
    {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        previous = std::filesystem::current_path();
        const auto* test = testing::UnitTest::GetInstance()->current_test_info();
        folder = std::filesystem::temp_directory_path() /
                 ("kvshutdown-" + std::to_string(std::hash<std::string>{}(KV_BUILD_DIR)) + "-" +
                  test->name());
        std::filesystem::create_directories(folder);
        std::filesystem::current_path(folder);
        KV_DEBUG = 0;
        Write("save.txt", "before\r\n");
    }
};

TEST_F(ShutdownWriteBackTest, OnEnd)
{
    EXPECT_EXIT(
        {
            PUTFILE("save.txt", 0, KvStr("after END"));
            END();
        },
        testing::ExitedWithCode(0), "");
    EXPECT_EQ(Read("save.txt"), "after END\r\n");
}

TEST_F(ShutdownWriteBackTest, OnFatalError)
{
    EXPECT_EXIT(
        {
            PUTFILE("save.txt", 1, KvStr("before the crash"));
            KvIntArray never;
            never(3) = 1;  // used before DIM: fatal
        },
        testing::ExitedWithCode(1), "runtime error 8");
    EXPECT_EQ(Read("save.txt"), "before\r\nbefore the crash\r\n");
}

TEST_F(ShutdownWriteBackTest, OnTerminationSignal)
{
    EXPECT_EXIT(
        {
            platform::InstallTerminationHandlers();
            PUTFILE("save.txt", 0, KvStr("after SIGTERM"));
            std::raise(SIGTERM);
            platform::PumpMessages(__WndProc_);
            std::exit(5);  // not reached: the pump ends the program
        },
        testing::ExitedWithCode(0), "");
    EXPECT_EQ(Read("save.txt"), "after SIGTERM\r\n");
}

// SIGTERM that arrives while a program waits for a line file to load (one
// huge line takes a while to find the end of): GETFILE stops reading and the
// program ends then, not at its next frame; the file cached before is
// written back.
TEST_F(ShutdownWriteBackTest, OnTerminationSignalDuringGetFile)
{
    Write("other.txt", "first\r\nsecond\r\n");
    EXPECT_EXIT(
        {
            platform::InstallTerminationHandlers();
            PUTFILE("save.txt", 0, KvStr("after SIGTERM"));
            std::raise(SIGTERM);
            KvStr text;
            GETFILE("other.txt", 1, text);
            std::exit(5);  // not reached: GETFILE ends the program
        },
        testing::ExitedWithCode(0), "");
    EXPECT_EQ(Read("save.txt"), "after SIGTERM\r\n");
}

TEST_F(ShutdownWriteBackTest, OnReturnFromTheProgram)
{
    // Leaving without END: static destruction writes back.
    EXPECT_EXIT(
        {
            PUTFILE("save.txt", 0, KvStr("at exit"));
            std::exit(0);
        },
        testing::ExitedWithCode(0), "");
    EXPECT_EQ(Read("save.txt"), "at exit\r\n");
}

}  // namespace
