// Name resolution through an archive box: plain files, the directory walk,
// both offset origins and the lifetime of the temporary files.
#include "files/shoebox.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "archive_bytes.h"
#include "files/shoebox_archive.h"
#include "platform/platform.h"

using namespace archive_test;
namespace fs = std::filesystem;

namespace {

class ShoeBoxTest : public ScratchFolder {
protected:
    // Writes an archive into the scratch folder and points box at it.
    void UseArchive(TzShoeBox& target, const std::vector<Member>& members, const Layout& layout = {})
    {
        WriteFile(folder / "media.box", BuildArchive(members, layout));
        ASSERT_TRUE(target.SetArchive((folder / "media.box").string().c_str()));
    }

    static Member MemberOf(const std::string& name, const std::string& content)
    {
        return {name, LzoBlock(ToBytes(content))};
    }

    // Resolves request through target and returns the file's content, or
    // "<not found>".
    static std::string Resolve(TzShoeBox& target, const std::string& request)
    {
        KvStr name = request.c_str();
        if (!target.Extract(name)) return "<not found>";
        Bytes content = ReadFile(name.GetStrData());
        return std::string(content.begin(), content.end());
    }

    TzShoeBox box;
};

}  // namespace

TEST_F(ShoeBoxTest, PlainFileWinsOverMember)
{
    WriteFile("player.bmp", ToBytes("on disk"));
    UseArchive(box, {MemberOf("player.bmp", "in archive")});
    KvStr name = "player.bmp";
    EXPECT_TRUE(box.Extract(name));
    EXPECT_STREQ(name.GetStrData(), "player.bmp");
    EXPECT_STREQ(box.tempFile, "");
}

TEST_F(ShoeBoxTest, FolderOfThatNameIsNoPlainFile)
{
    fs::create_directory("player.bmp");
    UseArchive(box, {MemberOf("player.bmp", "in archive")});
    EXPECT_EQ(Resolve(box, "player.bmp"), "in archive");
}

#ifndef _WIN32
// (Windows has no named pipes among the files of a folder.)
TEST_F(ShoeBoxTest, NamedPipeOfThatNameIsNoPlainFile)
{
    // Opening a pipe for reading would wait for a writer that never comes.
    ASSERT_EQ(mkfifo("music.wav", 0600), 0);
    UseArchive(box, {MemberOf("music.wav", "in archive")});
    EXPECT_EQ(Resolve(box, "music.wav"), "in archive");
}
#endif

TEST_F(ShoeBoxTest, EntryMatchesTailOfRequestWithoutRegardToCase)
{
    UseArchive(box, {MemberOf("player.bmp", "the player")});
    EXPECT_EQ(Resolve(box, "data\\Player.BMP"), "the player");
    EXPECT_EQ(Resolve(box, "PLAYER.bmp"), "the player");
    // Only the tail counts, not where a path separator is.
    EXPECT_EQ(Resolve(box, "xplayer.bmp"), "the player");
}

TEST_F(ShoeBoxTest, ShortEntryMatchesLongerRequestButNeverTheReverse)
{
    UseArchive(box, {MemberOf("at.bmp", "short entry")});
    EXPECT_EQ(Resolve(box, "cat.bmp"), "short entry");

    UseArchive(box, {MemberOf("player.bmp", "long entry")});
    KvStr name = "layer.bmp";
    EXPECT_FALSE(box.Extract(name));
    EXPECT_STREQ(name.GetStrData(), "");  // not found in an open archive empties the name
}

TEST_F(ShoeBoxTest, FirstMatchInDirectoryOrderWins)
{
    UseArchive(box, {MemberOf("at.bmp", "first"), MemberOf("cat.bmp", "second")});
    EXPECT_EQ(Resolve(box, "cat.bmp"), "first");
    UseArchive(box, {MemberOf("cat.bmp", "second"), MemberOf("at.bmp", "first")});
    EXPECT_EQ(Resolve(box, "cat.bmp"), "second");
    EXPECT_EQ(Resolve(box, "at.bmp"), "first");
}

TEST_F(ShoeBoxTest, NegativeDirectoryOffsetCountsFromTheEnd)
{
    std::vector<Member> members = {MemberOf("level1.dat", "level one"), MemberOf("level2.dat", "level two")};
    Layout layout;
    layout.prefix = RandomBytes(12345, 9);  // a program of any size in front
    layout.fromEnd = true;
    std::size_t directorySize = 2 * (1 + 10 + 8) + 1;
    layout.tailPadding = 100 - 4 - directorySize;
    Bytes file = BuildArchive(members, layout);
    ASSERT_EQ(static_cast<std::int32_t>(ReadLittleEndian32(&file[file.size() - 4])), -100);
    WriteFile(folder / "game", file);
    ASSERT_TRUE(box.SetArchive((folder / "game").string().c_str()));

    EXPECT_EQ(Resolve(box, "level2.dat"), "level two");
    EXPECT_EQ(Resolve(box, "level1.dat"), "level one");
}

TEST_F(ShoeBoxTest, PositiveOffsetsCountFromTheStart)
{
    Layout layout;
    layout.prefix = RandomBytes(777, 4);
    UseArchive(box, {MemberOf("a.wav", "sound a"), MemberOf("b.wav", "sound b")}, layout);
    EXPECT_EQ(Resolve(box, "b.wav"), "sound b");
    EXPECT_EQ(Resolve(box, "a.wav"), "sound a");
}

TEST_F(ShoeBoxTest, TemporaryFileNameCarriesOffsetSizeAndStoredName)
{
    // A block of exactly 0x56 bytes: 78 literal bytes need 4 bytes of codes.
    Bytes block = LzoBlock(RandomBytes(78, 1));
    ASSERT_EQ(block.size(), 0x56u);
    Layout layout;
    layout.prefix = Bytes(0x1234, 'p');
    UseArchive(box, {{"level1.dat", block}}, layout);

    KvStr name = "Level1.DAT";
    ASSERT_TRUE(box.Extract(name));
    fs::path extracted = name.GetStrData();
    EXPECT_EQ(extracted.filename(), "~sbx123456level1.dat");
    EXPECT_STREQ(box.tempFile, name.GetStrData());
    EXPECT_EQ(ReadFile(extracted), RandomBytes(78, 1));

    // It lives in a folder of its own under the temporary folder that only
    // this user may enter.
    fs::path privateFolder = extracted.parent_path();
#ifdef _WIN32
    // Windows' temporary folder ends in its own separator; what only this
    // user may enter is said by the folder's access list, which the user's
    // temporary folder hands on, not by mode bits.
    EXPECT_EQ(privateFolder.parent_path().string() + "\\", platform::TempFolder());
#else
    EXPECT_EQ(privateFolder.parent_path().string() + "/", platform::TempFolder());
    struct stat info {};
    ASSERT_EQ(stat(privateFolder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    ASSERT_EQ(stat(extracted.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0077, 0u);
#endif
}

TEST(ShoeBoxTempFileNameTest, FormatAndSeparators)
{
    char name[64];
    ASSERT_TRUE(ShoeBoxTempFileName(name, sizeof name, 0x1234, 0x56, "level1.dat"));
    EXPECT_STREQ(name, "~sbx123456level1.dat");
    ASSERT_TRUE(ShoeBoxTempFileName(name, sizeof name, -100, 0xABC, "gfx/a\\b.bmp"));
    EXPECT_STREQ(name, "~sbxFFFFFF9Cabcgfx_a_b.bmp");
    EXPECT_FALSE(ShoeBoxTempFileName(name, 10, 1, 1, "much-too-long.bmp"));
}

// A member name near the 255-byte limit of the format no longer fits a file
// name after "~sbx", O and S: the member is still extracted, under a
// shortened name that keeps its end, and two such members stay apart.
TEST_F(ShoeBoxTest, LongestMemberNamesStayExtractable)
{
    const std::string first = std::string(251, 'a') + ".bmp";
    const std::string second = std::string(250, 'a') + "b.bmp";
    UseArchive(box, {MemberOf(first, "first"), MemberOf(second, "second")});

    KvStr name = ("data/" + first).c_str();
    ASSERT_TRUE(box.Extract(name));
    fs::path extracted = name.GetStrData();
    EXPECT_EQ(ReadFile(extracted), ToBytes("first"));
    EXPECT_LE(extracted.filename().string().size(), 255u);
    EXPECT_EQ(extracted.extension(), ".bmp");
    EXPECT_EQ(extracted.filename().string().rfind("~sbx", 0), 0u);

    KvStr other = second.c_str();
    ASSERT_TRUE(box.Extract(other));
    EXPECT_NE(fs::path(other.GetStrData()).filename(), extracted.filename());
    EXPECT_EQ(ReadFile(other.GetStrData()), ToBytes("second"));
    // The lookup itself is unchanged: a request shorter than the entry name
    // still finds nothing.
    EXPECT_EQ(Resolve(box, first.substr(1)), "<not found>");
}

TEST_F(ShoeBoxTest, NextExtractDeletesThePreviousFile)
{
    UseArchive(box, {MemberOf("one.bmp", "1"), MemberOf("two.bmp", "2")});
    KvStr first = "one.bmp";
    ASSERT_TRUE(box.Extract(first));
    ASSERT_TRUE(fs::exists(first.GetStrData()));

    KvStr second = "two.bmp";
    ASSERT_TRUE(box.Extract(second));
    EXPECT_FALSE(fs::exists(first.GetStrData()));
    EXPECT_TRUE(fs::exists(second.GetStrData()));

    // Also a lookup that finds nothing, or a plain file, removes it.
    KvStr missing = "three.bmp";
    EXPECT_FALSE(box.Extract(missing));
    EXPECT_FALSE(fs::exists(second.GetStrData()));
    EXPECT_STREQ(box.tempFile, "");
}

TEST_F(ShoeBoxTest, SameMemberTwiceThroughOneBox)
{
    UseArchive(box, {MemberOf("one.bmp", "1")});
    EXPECT_EQ(Resolve(box, "one.bmp"), "1");
    EXPECT_EQ(Resolve(box, "one.bmp"), "1");
}

TEST_F(ShoeBoxTest, MembersInTurnGetExactlyTheirOwnBytes)
{
    // The box keeps its buffers from one member to the next: a small member
    // after a large one, and a damaged one after a good one, must not show
    // anything of the member before.
    const Bytes large = RandomBytes(200000, 5);
    Bytes damaged = LzoBlock(RandomBytes(5000, 6));
    damaged.resize(damaged.size() - 100);
    UseArchive(box, {{"large.bin", LzoBlock(large)}, MemberOf("small.txt", "tiny"), {"bad.bin", damaged},
                     MemberOf("empty.txt", "")});
    KvStr name = "large.bin";
    ASSERT_TRUE(box.Extract(name));
    EXPECT_EQ(ReadFile(name.GetStrData()), large);
    EXPECT_EQ(Resolve(box, "small.txt"), "tiny");
    EXPECT_EQ(Resolve(box, "bad.bin"), "<not found>");
    EXPECT_EQ(Resolve(box, "empty.txt"), "");
    name = "large.bin";
    ASSERT_TRUE(box.Extract(name));
    EXPECT_EQ(ReadFile(name.GetStrData()), large);
}

TEST_F(ShoeBoxTest, TwoBoxesKeepSeparateFilesOfTheSameMember)
{
    TzShoeBox music;
    UseArchive(box, {MemberOf("musik.wav", "tune"), MemberOf("other.bmp", "x")});
    ASSERT_TRUE(music.SetArchive(box.archivePath));
    KvStr playing = "musik.wav";
    ASSERT_TRUE(music.Extract(playing));
    KvStr sound = "musik.wav";
    ASSERT_TRUE(box.Extract(sound));
    EXPECT_STRNE(playing.GetStrData(), sound.GetStrData());

    // The data box moving on must not pull the music from under the player.
    KvStr other = "other.bmp";
    ASSERT_TRUE(box.Extract(other));
    EXPECT_FALSE(fs::exists(sound.GetStrData()));
    EXPECT_EQ(ReadFile(playing.GetStrData()), ToBytes("tune"));
}

TEST_F(ShoeBoxTest, ClearAndDestructionRemoveFileAndPrivateFolder)
{
    fs::path privateFolder;
    {
        TzShoeBox scoped;
        UseArchive(scoped, {MemberOf("one.bmp", "1")});
        KvStr name = "one.bmp";
        ASSERT_TRUE(scoped.Extract(name));
        privateFolder = fs::path(name.GetStrData()).parent_path();
        ASSERT_TRUE(fs::exists(privateFolder));
    }
    EXPECT_FALSE(fs::exists(privateFolder));

    UseArchive(box, {MemberOf("one.bmp", "1")});
    KvStr name = "one.bmp";
    ASSERT_TRUE(box.Extract(name));
    box.Clear();
    EXPECT_FALSE(fs::exists(name.GetStrData()));
    EXPECT_FALSE(fs::exists(fs::path(name.GetStrData()).parent_path()));
    EXPECT_STREQ(box.archivePath, "");
    EXPECT_STREQ(box.tempFile, "");
}

TEST_F(ShoeBoxTest, WithoutUsableArchiveTheNameStays)
{
    KvStr name = "ghost.bmp";
    EXPECT_FALSE(box.Extract(name));  // no archive set
    EXPECT_STREQ(name.GetStrData(), "ghost.bmp");

    ASSERT_TRUE(box.SetArchive("no-such-archive"));
    EXPECT_FALSE(box.Extract(name));
    EXPECT_STREQ(name.GetStrData(), "ghost.bmp");

    KvStr empty = "";
    EXPECT_FALSE(box.Extract(empty));
}

TEST_F(ShoeBoxTest, ProgramWithoutAppendedArchiveFindsNothing)
{
    ASSERT_TRUE(box.SetArchive(platform::ModulePath().c_str()));
    KvStr name = "font.bmp";
    EXPECT_FALSE(box.Extract(name));
    EXPECT_STREQ(box.tempFile, "");
}

// Stdout is the program's own: the boxes are announced only when KV_VERBOSE
// asks for it.
TEST_F(ShoeBoxTest, SetShoeBoxClearsBothBoxesAndAnnouncesThePathsOnlyWhenAsked)
{
    unsetenv("KV_VERBOSE");
    testing::internal::CaptureStdout();
    SETSHOEBOX("quiet.box", "quiet.box");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_STREQ(g_ShoeBox_Data.archivePath, "quiet.box");

    setenv("KV_VERBOSE", "1", 1);
    UseArchive(g_ShoeBox_Data, {MemberOf("one.bmp", "1")});
    ASSERT_TRUE(g_ShoeBox_Media.SetArchive(g_ShoeBox_Data.archivePath));
    KvStr data = "one.bmp";
    KvStr media = "one.bmp";
    ASSERT_TRUE(g_ShoeBox_Data.Extract(data));
    ASSERT_TRUE(g_ShoeBox_Media.Extract(media));

    testing::internal::CaptureStdout();
    SETSHOEBOX("first.box", "");
    std::string printed = testing::internal::GetCapturedStdout();
    unsetenv("KV_VERBOSE");
    EXPECT_EQ(printed, "Setting box:first.box\nSetting box:\n");
    EXPECT_FALSE(fs::exists(data.GetStrData()));
    EXPECT_FALSE(fs::exists(media.GetStrData()));
    EXPECT_STREQ(g_ShoeBox_Data.archivePath, "first.box");
    EXPECT_STREQ(g_ShoeBox_Media.archivePath, "");
    EXPECT_STREQ(g_ShoeBox_Data.tempFile, "");
}

TEST_F(ShoeBoxTest, MemberNamesWithSeparatorsStayInsideThePrivateFolder)
{
    UseArchive(box, {MemberOf("../../escape.txt", "caught"), MemberOf("gfx/a.bmp", "a")});
    KvStr name = "../../escape.txt";
    ASSERT_TRUE(box.Extract(name));
    fs::path extracted = name.GetStrData();
    EXPECT_EQ(extracted.filename().string().rfind("~sbx", 0), 0u);
    EXPECT_EQ(extracted.filename().string().substr(extracted.filename().string().size() - 16), ".._.._escape.txt");
    EXPECT_EQ(ReadFile(extracted), ToBytes("caught"));
    EXPECT_EQ(Resolve(box, "gfx/a.bmp"), "a");
}
