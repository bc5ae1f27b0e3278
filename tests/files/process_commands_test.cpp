// SHELLCMD: starting programs, waiting for them, their exit codes and the
// words they receive.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "commands.h"
#include "scratch_folder.h"

namespace {

using ProcessCommandsTest = ScratchFolder;

TEST_F(ProcessCommandsTest, WaitingStoresTheExitCode)
{
    double code = -1;
    EXPECT_EQ(SHELLCMD("sh -c \"exit 2\"", 1, 1, code), 1);
    EXPECT_EQ(code, 2);
    EXPECT_EQ(SHELLCMD("true", 1, 0, code), 1);
    EXPECT_EQ(code, 0);
    // Ended by a signal: 128 + the signal number, as shells report it.
    EXPECT_EQ(SHELLCMD("sh -c \"kill -9 $$\"", 1, 0, code), 1);
    EXPECT_EQ(code, 128 + 9);
}

TEST_F(ProcessCommandsTest, WithoutWaitTheExitCodeStaysZero)
{
    double code = -1;
    EXPECT_EQ(SHELLCMD("sh -c \"sleep 0.2; echo done > late.txt\"", 0, 1, code), 1);
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(std::filesystem::exists("late.txt"));  // still running
    for (int i = 0; i < 100 && Read("late.txt") != "done\n"; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(Read("late.txt"), "done\n");
}

TEST_F(ProcessCommandsTest, ProgramsThatCannotStartGiveZero)
{
    double code = -1;
    EXPECT_EQ(SHELLCMD("no-such-program-kv 1 2", 1, 1, code), 0);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(SHELLCMD("", 1, 1, code), 0);
    EXPECT_EQ(SHELLCMD("   ", 1, 1, code), 0);
    // No shell: its syntax is just words.
    EXPECT_EQ(SHELLCMD("true && false", 1, 1, code), 1);
    EXPECT_EQ(code, 0);
}

TEST_F(ProcessCommandsTest, WordsArriveAsQuoted)
{
    double code = -1;
    // The script writes each argument on a line of its own.
    ASSERT_EQ(SHELLCMD("sh -c \"printf '%s\\n' \\\"$@\\\" > args.txt\" sh \"two words\" plain \"a \\\"q\\\"\"",
                       1, 0, code),
              1);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(Read("args.txt"), "two words\nplain\na \"q\"\n");
}

TEST_F(ProcessCommandsTest, StartedProgramsRunInTheWorkingDirectory)
{
    std::filesystem::create_directory("work");
    ASSERT_EQ(SETCURRENTDIR("work"), 1);
    double code = -1;
    ASSERT_EQ(SHELLCMD("sh -c \"pwd > where.txt\"", 1, 0, code), 1);
    EXPECT_EQ(Read("where.txt"), std::filesystem::current_path().string() + "\n");
}

}  // namespace
