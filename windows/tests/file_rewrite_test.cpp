// PUTFILE's write-back on Windows, run under Wine: the new content takes the
// file's place through a file beside it, a file another program holds
// against writing keeps its content with the reason said, one that cannot
// be replaced but takes writes (held without delete sharing, hard-linked)
// is rewritten in place, and the copy kept during an in-place rewrite
// survives the clean-up and is found by the next start.
#include "platform/platform.h"
#include "platform/rewrite_journal.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

class WindowsRewriteTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_folder = platform::MakePrivateTempFolder("kvrewritetest-");
        ASSERT_FALSE(m_folder.empty());
    }
    void TearDown() override { platform::RemovePrivateTempFolder(m_folder.c_str()); }
    std::string Path(const char* name) const { return m_folder + name; }

    std::vector<std::string> Entries() const
    {
        std::vector<platform::DirectoryEntry> entries;
        EXPECT_TRUE(platform::ListDirectory(m_folder.c_str(), entries));
        std::vector<std::string> names;
        for (const auto& entry : entries)
            if (entry.name != "." && entry.name != "..") names.push_back(entry.name);
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string m_folder;
};

std::string Content(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    std::string bytes(4096, '\0');
    DWORD read = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

// The first line kept, the second one new: a piece of the original and
// new bytes, as the line files write back.
std::vector<platform::FilePiece> KeepFirstLineThen(const std::string& bytes)
{
    std::vector<platform::FilePiece> pieces(2);
    pieces[0].originalOffset = 0;
    pieces[0].originalLength = 5;  // "eins\n"
    pieces[1].bytes = bytes;
    return pieces;
}

TEST_F(WindowsRewriteTest, TheNewContentTakesTheFilesPlaceAndNothingIsLeftBeside)
{
    const std::string file = Path("scores.txt");
    ASSERT_TRUE(platform::WriteNewFile(file.c_str(), "eins\nzwei\n", 10));
    ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN));
    std::string why;
    ASSERT_TRUE(platform::RewriteFile(file.c_str(), KeepFirstLineThen("drei und vier\n"), platform::StampOf(file.c_str()),
                                      &why))
        << why;
    EXPECT_EQ(Content(file), "eins\ndrei und vier\n");
    EXPECT_EQ(Entries(), std::vector<std::string>{"scores.txt"});
    EXPECT_NE(GetFileAttributesA(file.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u) << "the file keeps its attributes";
}

TEST_F(WindowsRewriteTest, AStampIsTheSameThroughTheOpenFileAndTheNameAndAChangeIsNoticed)
{
    const std::string file = Path("a.txt");
    ASSERT_TRUE(platform::WriteNewFile(file.c_str(), "eins\nzwei\n", 10));
    std::FILE* open = std::fopen(file.c_str(), "rb");
    ASSERT_NE(open, nullptr);
    const platform::FileStamp read = platform::StampOf(open);
    std::fclose(open);
    EXPECT_TRUE(read.valid);
    EXPECT_EQ(read, platform::StampOf(file.c_str()));
    EXPECT_EQ(read.size, 10u);
    EXPECT_FALSE(platform::StampOf(Path("none.txt").c_str()).valid);

    ASSERT_TRUE(platform::AppendToPlainFile(file.c_str(), "drei\n"));
    std::string why;
    EXPECT_FALSE(platform::RewriteFile(file.c_str(), KeepFirstLineThen("x\n"), read, &why));
    EXPECT_NE(why.find("was changed on disk after it was read"), std::string::npos) << why;
    EXPECT_EQ(Content(file), "eins\nzwei\ndrei\n");
}

TEST_F(WindowsRewriteTest, AFileHeldAgainstWritingKeepsItsContentAndTheReasonSaysSo)
{
    const std::string file = Path("held.txt");
    ASSERT_TRUE(platform::WriteNewFile(file.c_str(), "eins\nzwei\n", 10));
    const platform::FileStamp stamp = platform::StampOf(file.c_str());
    // An editor that lets others read but not write.
    HANDLE held = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::string why;
    EXPECT_FALSE(platform::RewriteFile(file.c_str(), KeepFirstLineThen("neu\n"), stamp, &why));
    CloseHandle(held);
    EXPECT_EQ(why, "cannot open for writing " + file + ": another program has it open");
    EXPECT_EQ(Content(file), "eins\nzwei\n");
    EXPECT_EQ(Entries(), std::vector<std::string>{"held.txt"});
}

TEST_F(WindowsRewriteTest, AFileHeldOpenWithoutDeleteSharingIsRewrittenInPlace)
{
    const std::string file = Path("log.txt");
    ASSERT_TRUE(platform::WriteNewFile(file.c_str(), "eins\nzwei zwei zwei\n", 20));
    // A viewer that lets others write but not replace the file.
    HANDLE held = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::string why;
    const bool rewritten = platform::RewriteFile(file.c_str(), KeepFirstLineThen("drei\n"),
                                                 platform::StampOf(file.c_str()), &why);
    // The viewer reads the new content through the handle it holds: the
    // file was written in place, not replaced.
    char bytes[64] = {};
    DWORD read = 0;
    ReadFile(held, bytes, sizeof bytes, &read, nullptr);
    CloseHandle(held);
    ASSERT_TRUE(rewritten) << why;
    EXPECT_EQ(std::string(bytes, read), "eins\ndrei\n");
    EXPECT_EQ(Content(file), "eins\ndrei\n");
    EXPECT_EQ(Entries(), std::vector<std::string>{"log.txt"}) << "neither the staged file nor its kept copy stays";
}

TEST_F(WindowsRewriteTest, AHardLinkedFileIsRewrittenInPlaceSoBothNamesSeeIt)
{
    const std::string file = Path("one.txt");
    const std::string link = Path("two.txt");
    ASSERT_TRUE(platform::WriteNewFile(file.c_str(), "eins\nzwei\n", 10));
    ASSERT_TRUE(CreateHardLinkA(link.c_str(), file.c_str(), nullptr));
    std::string why;
    ASSERT_TRUE(platform::RewriteFile(file.c_str(), KeepFirstLineThen("drei\nvier\nfuenf\n"),
                                      platform::StampOf(file.c_str()), &why))
        << why;
    EXPECT_EQ(Content(file), "eins\ndrei\nvier\nfuenf\n");
    EXPECT_EQ(Content(link), "eins\ndrei\nvier\nfuenf\n");
    EXPECT_EQ(Entries(), (std::vector<std::string>{"one.txt", "two.txt"}));
}

TEST_F(WindowsRewriteTest, LeftoversOfAKilledRunGoButTheKeptCopyAndItsNoteStayForTheNextStart)
{
    const std::string file = Path("save.txt");
    ASSERT_TRUE(platform::WriteNewFile(file.c_str(), "eins\nzwei\n", 10));
    ASSERT_TRUE(platform::WriteNewFile(Path(".~save.txt.a1B2c3").c_str(), "left", 4));
    ASSERT_TRUE(platform::WriteNewFile(Path(".~save.txt.notours").c_str(), "mine", 4));

    // An in-place rewrite under way: its copy is kept beside the file and
    // its note is written.
    const std::string staging = Path(".~save.txt.Q9w8e7");
    HANDLE staged = CreateFileA(staging.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(staged, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(staged, "eins\nneu\n", 9, &written, nullptr));
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(staged), _O_RDWR | _O_BINARY);
    std::string kept = staging;
    std::string why;
    {
        platform::RewriteJournal journal;
        ASSERT_TRUE(journal.Keep(fd, &kept, true, file, &why)) << why;
        _close(fd);
        EXPECT_EQ(kept, file + ".unsaved");
        EXPECT_TRUE(platform::FindInterruptedRewrites().empty()) << "a note whose rewrite still runs is left alone";

        // The next rewrite clears the leftovers, but not the kept copy.
        ASSERT_TRUE(platform::RewriteFile(file.c_str(), KeepFirstLineThen("anders\n"),
                                          platform::StampOf(file.c_str()), &why))
            << why;
        EXPECT_EQ(Entries(), (std::vector<std::string>{".~save.txt.notours", "save.txt", "save.txt.unsaved"}));
        EXPECT_EQ(Content(kept), "eins\nneu\n");
    }
    // Ended, the note is gone; the copy is the user's to keep.
    EXPECT_TRUE(platform::FindInterruptedRewrites().empty());
    EXPECT_EQ(Content(kept), "eins\nneu\n");

    // The note a killed run leaves is found by the next start, once.
    const std::string note = platform::TempFolder() + "kvrewrite-Kq7Wx2";
    const std::string text = "kvbasic in-place rewrite\n" + file + "\n" + kept + "\n";
    ASSERT_TRUE(platform::WriteNewFile(note.c_str(), text.data(), text.size()));
    const std::vector<platform::InterruptedRewrite> found = platform::FindInterruptedRewrites();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].target, file);
    EXPECT_EQ(found[0].copy, kept);
    EXPECT_TRUE(platform::FindInterruptedRewrites().empty()) << "a note is said once";
    EXPECT_EQ(Content(kept), "eins\nneu\n") << "the copy itself stays for the user";
}

TEST_F(WindowsRewriteTest, ANoteWhoseTargetBecameWholeGoesWithItsCopy)
{
    const std::string file = Path("whole.txt");
    const std::string copy = Path("whole.txt.unsaved");
    ASSERT_TRUE(platform::WriteNewFile(file.c_str(), "fertig\n", 7));
    ASSERT_TRUE(platform::WriteNewFile(copy.c_str(), "fertig\n", 7));
    const std::string note = platform::TempFolder() + "kvrewrite-Zz9Yy8";
    const std::string text = "kvbasic in-place rewrite\n" + file + "\n" + copy + "\n";
    ASSERT_TRUE(platform::WriteNewFile(note.c_str(), text.data(), text.size()));
    EXPECT_TRUE(platform::FindInterruptedRewrites().empty());
    EXPECT_EQ(Entries(), std::vector<std::string>{"whole.txt"});
    EXPECT_FALSE(platform::IsReadableFile(note.c_str()));
}

}  // namespace
