// GETFILE and PUTFILE as the program calls them: both forms, the name
// resolution and the line-number conversion.
#include <gtest/gtest.h>

#include "commands.h"
#include "scratch_folder.h"

namespace {

class LineFileCommandsTest : public ScratchFolder {
protected:
    void SetUp() override
    {
        ScratchFolder::SetUp();
        g_error = 0;
    }
};

TEST_F(LineFileCommandsTest, TextFormReadsLinesAndAnswersInBand)
{
    Write("a.txt", "zero\r\none\r\n");
    KvStr text;
    GETFILE("a.txt", 1, text);
    EXPECT_STREQ(text.GetStrData(), "one");
    // Line numbers are truncated, then wrapped to 16 bits.
    GETFILE("a.txt", 1.9, text);
    EXPECT_STREQ(text.GetStrData(), "one");
    GETFILE("a.txt", 65536, text);
    EXPECT_STREQ(text.GetStrData(), "zero");
    GETFILE("a.txt", 65537, text);
    EXPECT_STREQ(text.GetStrData(), "one");
    EXPECT_EQ(g_error, 0);

    GETFILE("a.txt", 256, text);
    EXPECT_STREQ(text.GetStrData(), "NO_DATA");
    EXPECT_EQ(g_error, 7);

    // Found neither on disk nor in the archive: no runtime error.
    g_error = 0;
    GETFILE("nowhere.txt", 0, text);
    EXPECT_STREQ(text.GetStrData(), "NO_FILE");
    EXPECT_EQ(g_error, 0);
}

TEST_F(LineFileCommandsTest, NumberFormConvertsLikeAtof)
{
    Write("n.txt", "3.75 apples\r\nnone\r\n");
    double number = -1;
    GETFILE("n.txt", 0, number);
    EXPECT_EQ(number, 3.75);
    GETFILE("n.txt", 1, number);
    EXPECT_EQ(number, 0);
    number = -1;
    GETFILE("nowhere.txt", 0, number);
    EXPECT_EQ(number, 0);
}

TEST_F(LineFileCommandsTest, PutFileFormsAndWriteBack)
{
    Write("p.txt", "\r\n");
    PUTFILE("p.txt", 0, KvStr("text"));
    PUTFILE("p.txt", 1, 0.5);
    PUTFILE("p.txt", 2, 1e20);
    PUTFILE("p.txt", 65539, 7);  // line 3
    KvStr text;
    GETFILE("p.txt", 2, text);
    EXPECT_STREQ(text.GetStrData(), "1e+20");
    g_FastFile.FillBuffer(nullptr);
    EXPECT_EQ(Read("p.txt"), "text\r\n0.5\r\n1e+20\r\n7\r\n");

    PUTFILE("absent.txt", 0, KvStr("x"));
    EXPECT_EQ(g_error, 3);
    g_FastFile.FillBuffer(nullptr);
    EXPECT_FALSE(std::filesystem::exists("absent.txt"));
}

}  // namespace
