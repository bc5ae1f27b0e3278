// Existence of files, the working directory and its listing.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <set>

#include "commands.h"
#include "scratch_folder.h"

namespace {

using FolderCommandsTest = ScratchFolder;

std::multiset<std::string> Slice(KvStrArray& names, int from, int to)
{
    std::multiset<std::string> slice;
    for (int i = from; i < to; ++i) slice.insert(names(i).GetStrData());
    return slice;
}

TEST_F(FolderCommandsTest, FileListHasFoldersFirstThenMatchingFiles)
{
    Write("a.bmp", "");
    Write("B.BMP", "");
    Write("c.txt", "");
    std::filesystem::create_directory("sub");
    KvStrArray names;
    EXPECT_EQ(GETFILELIST("*.bmp", names), 3 * 65536 + 2);
    ASSERT_EQ(BOUNDS(names, 0), 5);
    EXPECT_EQ(Slice(names, 0, 3), (std::multiset<std::string>{".", "..", "sub"}));
    EXPECT_EQ(Slice(names, 3, 5), (std::multiset<std::string>{"a.bmp", "B.BMP"}));

    EXPECT_EQ(GETFILELIST("*", names), 3 * 65536 + 3);
    EXPECT_EQ(GETFILELIST("*.wav", names), 3 * 65536 + 0);
}

#ifndef _WIN32
// (Windows does not remove a folder that is some program's working
// directory.)
TEST_F(FolderCommandsTest, FileListOfNothingLeavesOneEmptyElement)
{
    // A folder that cannot be listed (removed while it is the working
    // directory) yields no entries at all, not even "." and "..".
    std::filesystem::create_directory("doomed");
    ASSERT_EQ(chdir("doomed"), 0);
    std::filesystem::remove(folder / "doomed");
    KvStrArray names;
    EXPECT_EQ(GETFILELIST("*", names), 0);
    EXPECT_EQ(BOUNDS(names, 0), 1);
    EXPECT_STREQ(names(0).GetStrData(), "");
    ASSERT_EQ(chdir(folder.c_str()), 0);
}
#endif

TEST_F(FolderCommandsTest, CurrentDirectoryRoundTrip)
{
#ifdef _WIN32
    // Windows' folders end in its own separator, and its root has a drive.
    const std::string separator = "\\";
#else
    const std::string separator = "/";
#endif
    const std::string here = std::filesystem::current_path().string() + separator;
    EXPECT_STREQ(GETCURRENTDIR_Str().GetStrData(), here.c_str());
    std::filesystem::create_directory("inner");
    EXPECT_EQ(SETCURRENTDIR("inner"), 1);
    EXPECT_STREQ(GETCURRENTDIR_Str().GetStrData(), (here + "inner" + separator).c_str());
    EXPECT_EQ(SETCURRENTDIR("no such folder"), 0);
    EXPECT_STREQ(GETCURRENTDIR_Str().GetStrData(), (here + "inner" + separator).c_str());
    // The root already ends in its separator.
    EXPECT_EQ(SETCURRENTDIR("/"), 1);
#ifdef _WIN32
    // The root of a drive: of the current one on Windows, of Z: (the Linux
    // root) under Wine.
    const std::string root = GETCURRENTDIR_Str().GetStrData();
    EXPECT_TRUE(root.size() == 3 && root[1] == ':' && root[2] == '\\') << root;
#else
    EXPECT_STREQ(GETCURRENTDIR_Str().GetStrData(), "/");
#endif
}

TEST_F(FolderCommandsTest, FileExistsOnlyForReadableFiles)
{
    Write("here.txt", "x");
    std::filesystem::create_directory("dir");
    EXPECT_EQ(DOESFILEEXIST("here.txt"), 1);
#ifdef _WIN32
    // Windows' names are the same file in any case.
    EXPECT_EQ(DOESFILEEXIST("HERE.TXT"), 1);
#else
    EXPECT_EQ(DOESFILEEXIST("HERE.TXT"), 0);
#endif
    EXPECT_EQ(DOESFILEEXIST("missing.txt"), 0);
    EXPECT_EQ(DOESFILEEXIST("dir"), 0);
    EXPECT_EQ(DOESFILEEXIST(""), 0);
#ifndef _WIN32
    // A pipe nobody writes to must not hang the program.
    ASSERT_EQ(mkfifo("pipe", 0600), 0);
    EXPECT_EQ(DOESFILEEXIST("pipe"), 0);
#endif
}

}  // namespace
