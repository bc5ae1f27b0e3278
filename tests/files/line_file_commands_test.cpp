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

// PUTFILE never creates a file; the first PUTFILE to a missing one says so
// once, naming the command that does, and CREATEFILE makes the file so
// that the next PUTFILE is saved. An existing file is never emptied.
TEST_F(LineFileCommandsTest, CreateFileMakesAnEmptyFileThatPutFileThenSaves)
{
    testing::internal::CaptureStderr();
    PUTFILE("save.txt", 0, KvStr("first"));
    PUTFILE("save.txt", 0, KvStr("again"));
    PUTFILE("other.txt", 0, 5);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(g_error, 3);
    const std::string expected =
        "PUTFILE save.txt: there is no such file, and PUTFILE does not create files; "
        "CREATEFILE \"save.txt\" makes an empty one\n";
    ASSERT_NE(said.find(expected), std::string::npos) << said;
    EXPECT_EQ(said.find("PUTFILE", said.find(expected) + expected.size()), std::string::npos) << said;
    g_FastFile.FillBuffer(nullptr);
    EXPECT_FALSE(std::filesystem::exists("save.txt"));

    EXPECT_EQ(CREATEFILE("save.txt"), 1);
    EXPECT_EQ(Read("save.txt"), "");
    PUTFILE("save.txt", 0, KvStr("saved"));
    g_FastFile.FillBuffer(nullptr);
    EXPECT_EQ(Read("save.txt"), "saved\r\n");
    // There already: left as it is.
    EXPECT_EQ(CREATEFILE("save.txt"), 1);
    EXPECT_EQ(Read("save.txt"), "saved\r\n");

    // Names that cannot become a file give 0 and say why.
    std::filesystem::create_directory("folder");
#ifndef _WIN32
    // (Windows makes symbolic links only with a privilege users lack.)
    std::filesystem::create_symlink("nowhere/target.txt", "dangling");
#endif
    testing::internal::CaptureStderr();
    EXPECT_EQ(CREATEFILE("folder"), 0);
#ifndef _WIN32
    EXPECT_EQ(CREATEFILE("dangling"), 0);
#endif
    EXPECT_EQ(CREATEFILE("missing/save.txt"), 0);
    EXPECT_EQ(CREATEFILE(""), 0);
    const std::string refused = testing::internal::GetCapturedStderr();
    EXPECT_NE(refused.find("CREATEFILE: folder exists and is not a plain file"), std::string::npos) << refused;
#ifdef _WIN32
    // The reason in the system's own words ("Path not found" on Windows).
    EXPECT_NE(refused.find("CREATEFILE: cannot create missing/save.txt: "), std::string::npos) << refused;
#else
    EXPECT_NE(refused.find("CREATEFILE: cannot create missing/save.txt: No such file or directory"), std::string::npos)
        << refused;
#endif
    EXPECT_TRUE(std::filesystem::is_directory("folder"));
    EXPECT_FALSE(std::filesystem::exists("nowhere"));
}

}  // namespace
