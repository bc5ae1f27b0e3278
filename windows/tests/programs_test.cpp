// Starting programs on Windows under Wine: exit codes, collected output, and
// words with spaces and quotes reaching the program as they were.
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(WindowsPrograms, AProgramsExitCodeComesBack)
{
    int code = -1;
    ASSERT_TRUE(platform::StartProgram({"cmd", "/c", "exit", "7"}, true, &code));
    EXPECT_EQ(code, 7);
    ASSERT_TRUE(platform::StartProgram({"cmd.exe", "/c", "exit", "0"}, true, &code));
    EXPECT_EQ(code, 0);
}

TEST(WindowsPrograms, WhatAProgramWritesIsCollectedWithItsExitCode)
{
    std::string output;
    int code = -1;
    ASSERT_TRUE(platform::RunProgramForOutput({"cmd", "/c", "echo hallo& exit 3"}, &output, &code));
    EXPECT_EQ(output, "hallo\r\n");
    EXPECT_EQ(code, 3);
}

TEST(WindowsPrograms, WordsWithSpacesAndQuotesArriveWhole)
{
    // This test program itself prints the words it was given: they arrive
    // as they were only when they were quoted right.
    std::string output;
    int code = -1;
    ASSERT_TRUE(platform::RunProgramForOutput(
        {platform::ModulePath(), "--print-words", "plain", "two words", "", "say \"hi\"",
         "C:\\Program Files\\", "a\\\\\"b", "tab\there"},
        &output, &code));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(output, "[plain]\r\n[two words]\r\n[]\r\n[say \"hi\"]\r\n[C:\\Program Files\\]\r\n[a\\\\\"b]\r\n[tab\there]\r\n");
}

TEST(WindowsPrograms, AMissingProgramIsNotStarted)
{
    int code = -1;
    EXPECT_FALSE(platform::StartProgram({"no-such-program-kv"}, true, &code));
    EXPECT_FALSE(platform::StartProgram({""}, true, &code));
    std::string output;
    EXPECT_FALSE(platform::RunProgramForOutput({"no-such-program-kv"}, &output, &code));
    EXPECT_TRUE(output.empty());
}

}  // namespace
