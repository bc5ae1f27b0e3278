// Splitting a command line into words and joining words back.
#include <gtest/gtest.h>

#include "commands.h"
#include "files/command_line.h"

namespace {

using Words = std::vector<std::string>;

TEST(CommandLine, SplitsByBlanksAndQuotes)
{
    EXPECT_EQ(SplitCommandLine("  prog  a\tb  "), (Words{"prog", "a", "b"}));
    EXPECT_EQ(SplitCommandLine("prog \"two words\" x\"y z\"w"), (Words{"prog", "two words", "xy zw"}));
    EXPECT_EQ(SplitCommandLine("prog \"\" end"), (Words{"prog", "", "end"}));
    EXPECT_EQ(SplitCommandLine("\"unclosed quote"), (Words{"unclosed quote"}));
    EXPECT_EQ(SplitCommandLine(""), Words{});
    EXPECT_EQ(SplitCommandLine("\"say \"\"hi\"\"\""), (Words{"say \"hi\""}));
}

TEST(CommandLine, BackslashesCountOnlyBeforeQuotes)
{
    EXPECT_EQ(SplitCommandLine("C:\\dir\\file.exe a\\\\b"), (Words{"C:\\dir\\file.exe", "a\\\\b"}));
    EXPECT_EQ(SplitCommandLine("a\\\"b"), (Words{"a\"b"}));              // \"    -> "
    EXPECT_EQ(SplitCommandLine("a\\\\\"b c\""), (Words{"a\\b c"}));      // \\"   -> \ and a grouping quote
    EXPECT_EQ(SplitCommandLine("a\\\\\\\"b"), (Words{"a\\\"b"}));        // \\\"  -> \"
    EXPECT_EQ(SplitCommandLine("\"end\\\\\" next"), (Words{"end\\", "next"}));
}

TEST(CommandLine, JoiningQuotesOnlyWhatNeedsIt)
{
    EXPECT_EQ(JoinCommandLine({"plain", "two words", ""}), "plain \"two words\" \"\"");
    EXPECT_EQ(JoinCommandLine({"q\"uote"}), "\"q\\\"uote\"");
    EXPECT_EQ(JoinCommandLine({"dir\\"}), "dir\\");
    EXPECT_EQ(JoinCommandLine({"my dir\\"}), "\"my dir\\\\\"");
}

TEST(CommandLine, JoinThenSplitGivesTheWordsBack)
{
    const std::vector<Words> cases = {
        {"a", "b c", ""},
        {"tab\there", "trailing\\", "both \\\"", "\\\\\"\"\\"},
        {"\"", "\"\"", " ", "x y\\ z\\\\"},
        {"C:\\Program Files\\game.exe", "--level=3"},
    };
    for (const Words& words : cases) EXPECT_EQ(SplitCommandLine(JoinCommandLine(words).c_str()), words);
}

TEST(CommandLine, GetCommandLineGivesTheStoredLine)
{
    g_cmdline = "-level 3 \"my save\"";
    EXPECT_STREQ(GETCOMMANDLINE_Str().GetStrData(), "-level 3 \"my save\"");
    EXPECT_EQ(SplitCommandLine(GETCOMMANDLINE_Str().GetStrData()), (Words{"-level", "3", "my save"}));
}

}  // namespace
