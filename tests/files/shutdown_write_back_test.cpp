// Changes in the line-file cache reach the disk on every way the program
// ends. Each case ends a child process and looks at the file afterwards.
#include <gtest/gtest.h>

#include <csignal>

#include "commands.h"
#include "scratch_folder.h"

namespace {

class ShutdownWriteBackTest : public ScratchFolder {
protected:
    void SetUp() override
    {
        ScratchFolder::SetUp();
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
        testing::ExitedWithCode(0), "");
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
