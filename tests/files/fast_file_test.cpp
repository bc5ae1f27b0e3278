// The line-file cache: loading, line addressing, write-back and what the
// write-back keeps.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include <memory>

#include "core/runtime_state.h"
#include "files/fast_file.h"
#include "scratch_folder.h"

namespace {

std::string NumberedLines(int count, const char* ending)
{
    std::string text;
    for (int i = 0; i < count; ++i) text += "line " + std::to_string(i) + ending;
    return text;
}

class FastFileTest : public ScratchFolder {
protected:
    void SetUp() override
    {
        ScratchFolder::SetUp();
        g_error = 0;
        g_errorline = 0;
        g_debugline = 42;
    }
    KvStr out;
};

TEST_F(FastFileTest, LoadsLinesWithAndWithoutFinalLineEnd)
{
    Write("ab.txt", "a\r\nb");
    ASSERT_EQ(g_FastFile.FillBuffer("ab.txt"), 0);
    EXPECT_STREQ(g_FastFile.lines[0], "a");
    EXPECT_STREQ(g_FastFile.lines[1], "b");
    EXPECT_EQ(g_FastFile.lastLine, 1);
    EXPECT_FALSE(g_FastFile.dirty);

    ASSERT_EQ(g_FastFile.PutFile("ab.txt", 1, "B"), 0);
    g_FastFile.FillBuffer(nullptr);
    EXPECT_EQ(Read("ab.txt"), "a\r\nB\r\n");
    EXPECT_EQ(g_FastFile.fileName[0], 0);

    // Line feeds alone end lines too; a final one adds no line.
    Write("lf.txt", "x\ny\n");
    ASSERT_EQ(g_FastFile.FillBuffer("lf.txt"), 0);
    EXPECT_EQ(g_FastFile.lastLine, 1);
    EXPECT_STREQ(g_FastFile.lines[1], "y");
    Write("empty.txt", "");
    ASSERT_EQ(g_FastFile.FillBuffer("empty.txt"), 0);
    EXPECT_EQ(g_FastFile.lastLine, 0);
    EXPECT_STREQ(g_FastFile.fileName, "empty.txt");
}

TEST_F(FastFileTest, PuttingLineTenIntoThreeLinesFillsTheGap)
{
    Write("three.txt", "l0\r\nl1\r\nl2\r\n");
    ASSERT_EQ(g_FastFile.PutFile("three.txt", 10, "ten"), 0);
    EXPECT_EQ(g_FastFile.lastLine, 10);
    // Nothing reaches the disk before the write-back.
    EXPECT_EQ(Read("three.txt"), "l0\r\nl1\r\nl2\r\n");
    g_FastFile.FillBuffer(nullptr);
    EXPECT_EQ(Read("three.txt"), "l0\r\nl1\r\nl2\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\nten\r\n");
}

TEST_F(FastFileTest, GetFileAnswersForEmptyMissingAndOutOfRangeLines)
{
    Write("three.txt", "l0\r\nl1\r\nl2\r\n");
    EXPECT_EQ(g_FastFile.GetFile("three.txt", 1, out), 0);
    EXPECT_STREQ(out.GetStrData(), "l1");
    EXPECT_EQ(g_FastFile.GetFile("three.txt", 5, out), 0);
    EXPECT_STREQ(out.GetStrData(), "NO_DATA");
    EXPECT_EQ(g_error, 0);

    EXPECT_EQ(g_FastFile.GetFile("three.txt", 256, out), 7);
    EXPECT_STREQ(out.GetStrData(), "NO_DATA");
    EXPECT_EQ(g_error, 7);
    EXPECT_EQ(g_errorline, 42);
    EXPECT_EQ(g_FastFile.GetFile("three.txt", -1, out), 7);
    EXPECT_EQ(g_FastFile.PutFile("three.txt", 256, "x"), 7);
    EXPECT_FALSE(g_FastFile.dirty);

    g_error = 0;
    EXPECT_EQ(g_FastFile.GetFile("missing.txt", 0, out), 3);
    EXPECT_STREQ(out.GetStrData(), "NO_FILE");
    EXPECT_EQ(g_error, 3);
    EXPECT_EQ(g_FastFile.fileName[0], 0);
    // A folder is no line file.
    std::filesystem::create_directory("folder");
    EXPECT_EQ(g_FastFile.GetFile("folder", 0, out), 3);
    // Nor is a device that never ends.
    EXPECT_EQ(g_FastFile.GetFile("/dev/zero", 0, out), 3);
}

TEST_F(FastFileTest, TrailingControlCharactersGoButHighLettersStay)
{
    Write("tabs.txt", "text\t\r\nGr\xFC\r\n\t\x01\r\n");
    g_FastFile.GetFile("tabs.txt", 0, out);
    EXPECT_STREQ(out.GetStrData(), "text");
    g_FastFile.GetFile("tabs.txt", 1, out);
    EXPECT_STREQ(out.GetStrData(), "Gr\xFC");
    g_FastFile.GetFile("tabs.txt", 2, out);
    EXPECT_STREQ(out.GetStrData(), "NO_DATA");
}

TEST_F(FastFileTest, PutFileNeverCreatesAFile)
{
    EXPECT_EQ(g_FastFile.PutFile("new.txt", 0, "x"), 3);
    EXPECT_EQ(g_error, 3);
    g_FastFile.FillBuffer(nullptr);
    EXPECT_FALSE(std::filesystem::exists("new.txt"));
}

TEST_F(FastFileTest, NamesDifferingInCaseAreDifferentFiles)
{
    Write("Data.txt", "upper\r\n");
    Write("data.txt", "lower\r\n");
    ASSERT_EQ(g_FastFile.PutFile("Data.txt", 0, "changed"), 0);
    ASSERT_EQ(g_FastFile.GetFile("data.txt", 0, out), 0);
    EXPECT_STREQ(out.GetStrData(), "lower");
    // Selecting the other name wrote the first one back.
    EXPECT_EQ(Read("Data.txt"), "changed\r\n");
    EXPECT_FALSE(g_FastFile.dirty);
}

TEST_F(FastFileTest, UnchangedFileIsNotRewritten)
{
    Write("lf.txt", "x\ny");
    g_FastFile.GetFile("lf.txt", 0, out);
    g_FastFile.FillBuffer(nullptr);
    EXPECT_EQ(Read("lf.txt"), "x\ny");
}

TEST_F(FastFileTest, LinesBeyondTheTableSurviveTheWriteBack)
{
    Write("long.txt", NumberedLines(300, "\n"));
    ASSERT_EQ(g_FastFile.PutFile("long.txt", 3, "three"), 0);
    EXPECT_EQ(g_FastFile.lastLine, 255);
    g_FastFile.FillBuffer(nullptr);

    // The first 256 lines come back with CR LF, the rest byte for byte.
    std::string expected;
    for (int i = 0; i < 256; ++i) expected += (i == 3 ? std::string("three") : "line " + std::to_string(i)) + "\r\n";
    for (int i = 256; i < 300; ++i) expected += "line " + std::to_string(i) + "\n";
    EXPECT_EQ(Read("long.txt"), expected);
}

TEST_F(FastFileTest, OverlongLinesSurviveUnlessReplaced)
{
    const std::string longLine(3000, 'w');
    const std::string withZero("a\0b", 3);
    Write("wide.txt", "short\r\n" + longLine + "\r\n" + withZero + "\r\n" + longLine + "\r\n");
    ASSERT_EQ(g_FastFile.PutFile("wide.txt", 0, "first"), 0);
    ASSERT_EQ(g_FastFile.PutFile("wide.txt", 3, "replaced"), 0);
    g_FastFile.FillBuffer(nullptr);
    EXPECT_EQ(Read("wide.txt"), "first\r\n" + longLine + "\r\n" + withZero + "\r\nreplaced\r\n");
}

TEST_F(FastFileTest, GetFileGivesTheStartOfALineTooLongForAString)
{
    std::string line(1500, 'q');
    line[1021] = 'E';
    Write("wide.txt", line + "\r\n");
    out = "previous value";
    testing::internal::CaptureStderr();
    ASSERT_EQ(g_FastFile.GetFile("wide.txt", 0, out), 0);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("cut"), std::string::npos);
    EXPECT_EQ(out.Length(), KvStr::kMaxStored);
    EXPECT_EQ(out.GetAt(1021), 'E');
}

TEST_F(FastFileTest, WriteBackReplacesTheFileAndKeepsItsKind)
{
    Write("kept.txt", "old\r\n");
    chmod("kept.txt", 0640);
    Write("target.txt", "old\r\n");
    std::filesystem::create_symlink("target.txt", "link.txt");

    g_FastFile.PutFile("kept.txt", 0, "new");
    g_FastFile.PutFile("link.txt", 0, "through link");
    g_FastFile.FillBuffer(nullptr);

    struct stat info {};
    ASSERT_EQ(stat("kept.txt", &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(Read("kept.txt"), "new\r\n");
    EXPECT_TRUE(std::filesystem::is_symlink("link.txt"));
    EXPECT_EQ(Read("target.txt"), "through link\r\n");
    // No temporary file is left behind.
    int entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        (void)entry;
        ++entries;
    }
    EXPECT_EQ(entries, 3);
}

TEST_F(FastFileTest, WriteBackGoesWhereTheFileWasLoadedFrom)
{
    std::filesystem::create_directory("other");
    Write("notes.txt", "here\r\n");
    Write("other/notes.txt", "there\r\n");
    ASSERT_EQ(g_FastFile.PutFile("notes.txt", 0, "changed here"), 0);
    ASSERT_EQ(chdir("other"), 0);

    // Same name, different folder: a different file, read afresh.
    ASSERT_EQ(g_FastFile.GetFile("notes.txt", 0, out), 0);
    EXPECT_STREQ(out.GetStrData(), "there");
    EXPECT_EQ(Read("../notes.txt"), "changed here\r\n");
    EXPECT_EQ(Read("notes.txt"), "there\r\n");
}

TEST_F(FastFileTest, FailedWriteBackIsReported)
{
    std::filesystem::create_directory("gone");
    Write("gone/f.txt", "x\r\n");
    ASSERT_EQ(g_FastFile.PutFile("gone/f.txt", 0, "y"), 0);
    std::filesystem::remove_all("gone");
    testing::internal::CaptureStderr();
    g_FastFile.FillBuffer(nullptr);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("gone/f.txt"), std::string::npos);
    EXPECT_FALSE(g_FastFile.dirty);
}

// The write-back leaves alone what a rename would change: a file the user
// may not write keeps its content (and the log says the changes were
// dropped), a hard link stays one file, owner and group stay.
TEST_F(FastFileTest, WriteBackRespectsReadOnlyFilesLinksAndOwners)
{
    Write("shared.txt", "old\r\n");
    ASSERT_EQ(link("shared.txt", "alias.txt"), 0);
    Write("owned.txt", "old\r\n");
    // Root may hand the file to another user; anyone may choose another of
    // their own groups, and the write-back must keep whichever was set.
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chown("owned.txt", 65534, 65534), 0);
    }
    struct stat before {};
    ASSERT_EQ(stat("owned.txt", &before), 0);

    ASSERT_EQ(g_FastFile.PutFile("shared.txt", 0, "new"), 0);
    ASSERT_EQ(g_FastFile.PutFile("owned.txt", 0, "new"), 0);
    g_FastFile.FillBuffer(nullptr);
    EXPECT_EQ(Read("alias.txt"), "new\r\n");
    struct stat after {};
    ASSERT_EQ(stat("shared.txt", &after), 0);
    EXPECT_EQ(after.st_nlink, 2u);
    ASSERT_EQ(stat("owned.txt", &after), 0);
    EXPECT_EQ(Read("owned.txt"), "new\r\n");
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);

    // A read-only file, written to by a user without the right to (a child
    // process that gives up root if it has it): the changes are dropped.
    Write("locked.txt", "old\r\n");
    ASSERT_EQ(chmod("locked.txt", 0444), 0);
    ASSERT_EQ(chmod(".", 0777), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        g_FastFile.FillBuffer(nullptr);
        if (root && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(10);
        setenv("TMPDIR", folder.c_str(), 1);
        if (g_FastFile.PutFile("locked.txt", 0, "new") != 0) _exit(11);
        g_FastFile.FillBuffer(nullptr);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(Read("locked.txt"), "old\r\n");
    std::string log = Read("ErrorLog.txt");
    EXPECT_NE(log.find("locked.txt"), std::string::npos) << log;
    EXPECT_NE(log.find("dropped"), std::string::npos) << log;
}

// Runs body in a child process with a private mount namespace in which
// "disk" is a tmpfs of 16 KiB with no room for a file more than the test makes; the child's
// standard error goes to "child-stderr.txt". body returns the exit code.
// The parent sees only what the child copied out of "disk".
template <typename Body>
int RunOnSmallDisk(Body body)
{
    std::filesystem::create_directory("disk");
    pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) {
        int log = open("child-stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0666);
        if (log < 0 || dup2(log, 2) < 0 || fchmod(log, 0666) != 0) _exit(20);
        if (unshare(CLONE_NEWNS) != 0) _exit(21);
        if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) _exit(22);
        if (mount("tmpfs", "disk", "tmpfs", 0, "size=16k,nr_inodes=5,mode=0755") != 0) _exit(23);
        _exit(body());
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -2;
    return WEXITSTATUS(status);
}

// Fills what is left of the disk with one file.
void FillDisk(const char* path)
{
    int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::string block(4096, 'f');
    while (fd >= 0 && write(fd, block.data(), block.size()) > 0) {
    }
    if (fd >= 0) close(fd);
}

// A file rewritten in place (it has a second hard link, or it belongs to
// another user and lies in a folder that user may not write) on a full
// disk: a write-back that needs more room is dropped and leaves the old
// content whole; one that fits in the room the file already has goes
// through.
TEST_F(FastFileTest, InPlaceWriteBackOnAFullDiskKeepsTheOldContent)
{
    ASSERT_EQ(geteuid(), 0u) << "this test mounts a file system of its own";
    ASSERT_EQ(chmod(".", 0777), 0);
    std::string old;
    for (int i = 0; old.size() < 4085; ++i) old += "line " + std::to_string(i) + "\r\n";
    old.resize(4083);
    old += "\r\n";
    ASSERT_EQ(old.size(), 4085u);
    const std::string longer(300, 'L');

    int code = RunOnSmallDisk([&] {
        // The staged copy cannot go beside the file: it goes here.
        setenv("TMPDIR", folder.c_str(), 1);
        Write("disk/shared.txt", old);
        if (link("disk/shared.txt", "disk/alias.txt") != 0) return 30;
        Write("disk/owned.txt", old);
        if (chown("disk/owned.txt", 65534, 65534) != 0 || chmod("disk/owned.txt", 0666) != 0) return 31;
        FillDisk("disk/filler");
        auto keep = [](const char* from, const char* to) { Write(to, Read(from)); };

        // Hard link: the new content would need a second page.
        if (g_FastFile.PutFile("disk/shared.txt", 0, longer.c_str()) != 0) return 32;
        g_FastFile.FillBuffer(nullptr);
        keep("disk/alias.txt", "shared-after-growth.txt");
        if (g_FastFile.PutFile("disk/shared.txt", 0, "short") != 0) return 33;
        g_FastFile.FillBuffer(nullptr);
        keep("disk/alias.txt", "shared-after-shrink.txt");

        // Another user's file, written by a third user.
        if (setgid(65533) != 0 || setuid(65533) != 0) return 34;
        if (g_FastFile.PutFile("disk/owned.txt", 0, longer.c_str()) != 0) return 35;
        g_FastFile.FillBuffer(nullptr);
        keep("disk/owned.txt", "owned-after-growth.txt");
        if (g_FastFile.PutFile("disk/owned.txt", 0, "short") != 0) return 36;
        g_FastFile.FillBuffer(nullptr);
        keep("disk/owned.txt", "owned-after-shrink.txt");
        return 0;
    });
    std::string said = Read("child-stderr.txt");
    ASSERT_EQ(code, 0) << said;

    const std::string shrunk = "short\r\n" + old.substr(old.find('\n') + 1);
    EXPECT_EQ(Read("shared-after-growth.txt"), old);
    EXPECT_EQ(Read("shared-after-shrink.txt"), shrunk);
    EXPECT_EQ(Read("owned-after-growth.txt"), old);
    EXPECT_EQ(Read("owned-after-shrink.txt"), shrunk);
    EXPECT_NE(said.find("changes to disk/shared.txt dropped"), std::string::npos) << said;
    EXPECT_NE(said.find("changes to disk/owned.txt dropped"), std::string::npos) << said;
    EXPECT_EQ(said.find("kept in"), std::string::npos) << said;
    // No staged copy is left behind in the temporary folder.
    for (const auto& entry : std::filesystem::directory_iterator("."))
        EXPECT_EQ(entry.path().filename().string().rfind("kvlinefile-", 0), std::string::npos)
            << entry.path();
}

// A run killed during a write-back leaves ".~name.XXXXXX" beside the file;
// the next write-back of that file removes it, and nothing else.
TEST_F(FastFileTest, WriteBackRemovesLeftoversOfTheSameFileOnly)
{
    Write("notes.txt", "old\r\n");
    Write(".~notes.txt.Ab12Zq", std::string(1 << 20, 'x'));
    Write(".~notes.txt.Ab12Z", "not a temporary name");
    Write(".~notes.txt.Ab12Zq7", "not a temporary name");
    Write(".~other.txt.Ab12Zq", "another file's");
    Write("victim", "kept");
    std::filesystem::create_symlink("victim", ".~notes.txt.Link99");
    ASSERT_EQ(g_FastFile.PutFile("notes.txt", 0, "new"), 0);
    g_FastFile.FillBuffer(nullptr);

    EXPECT_EQ(Read("notes.txt"), "new\r\n");
    EXPECT_FALSE(std::filesystem::exists(".~notes.txt.Ab12Zq"));
    EXPECT_TRUE(std::filesystem::exists(".~notes.txt.Ab12Z"));
    EXPECT_TRUE(std::filesystem::exists(".~notes.txt.Ab12Zq7"));
    EXPECT_TRUE(std::filesystem::exists(".~other.txt.Ab12Zq"));
    EXPECT_TRUE(std::filesystem::is_symlink(".~notes.txt.Link99"));
    EXPECT_EQ(Read("victim"), "kept");
}

// Bytes read by this process so far, from the kernel's own count.
long long BytesRead(const char* field)
{
    std::ifstream io("/proc/self/io");
    std::string name;
    long long value = 0;
    while (io >> name >> value)
        if (name == field) return value;
    return -1;
}

// Only the 256 lines of the table are read: a large file costs no more to
// select than a small one, and what lies past the table is copied from the
// original when the file is written back.
TEST_F(FastFileTest, OnlyTheTableIsReadFromALargeFile)
{
    std::string head = NumberedLines(300, "\r\n");
    Write("large.txt", head);
    const std::uint64_t size = 1ull << 30;  // a gigabyte, sparse: no disk space used
    ASSERT_EQ(truncate("large.txt", static_cast<off_t>(size)), 0);
    long long before = BytesRead("rchar");
    ASSERT_EQ(g_FastFile.GetFile("large.txt", 255, out), 0);
    EXPECT_STREQ(out.GetStrData(), "line 255");
    EXPECT_LT(BytesRead("rchar") - before, 1 << 20);
    g_FastFile.FillBuffer(nullptr);

    // Write-back with a tail to copy (kept small so the copy is quick).
    ASSERT_EQ(truncate("large.txt", static_cast<off_t>(head.size() + 4096)), 0);
    ASSERT_EQ(g_FastFile.PutFile("large.txt", 0, "first"), 0);
    g_FastFile.FillBuffer(nullptr);
    std::string expected = "first\r\n" + head.substr(head.find('\n') + 1) + std::string(4096, '\0');
    EXPECT_EQ(Read("large.txt"), expected);
}

// A line longer than 64 KiB is not looked for to its end: a file of one
// huge line (here a sparse gigabyte without a line feed) is refused after
// the first 64 KiB, with a message, and not read again while unchanged. A
// line of exactly 64 KiB still loads.
TEST_F(FastFileTest, FileWithAHugeLineIsRefusedWithoutReadingIt)
{
    Write("huge.txt", "first\r\n");
    ASSERT_EQ(truncate("huge.txt", 1ll << 30), 0);
    testing::internal::CaptureStderr();
    long long before = BytesRead("rchar");
    EXPECT_EQ(g_FastFile.GetFile("huge.txt", 0, out), 3);
    EXPECT_STREQ(out.GetStrData(), "NO_FILE");
    EXPECT_EQ(g_error, 3);
    EXPECT_EQ(g_FastFile.PutFile("huge.txt", 0, "x"), 3);
    EXPECT_LT(BytesRead("rchar") - before, 1 << 20);
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("huge.txt cannot be loaded: line 1 is longer than 65536 bytes"), std::string::npos)
        << said;
    EXPECT_EQ(said.find("huge.txt"), said.rfind("huge.txt")) << said;

    Write("wide.txt", "a\r\n" + std::string(65536, 'w') + "\r\nc\r\n");
    ASSERT_EQ(g_FastFile.GetFile("wide.txt", 2, out), 0);
    EXPECT_STREQ(out.GetStrData(), "c");
}

// A file that changed on disk after it was loaded cannot lend its bytes to
// the write-back: the changes are dropped rather than mixed with new text.
TEST_F(FastFileTest, WriteBackRefusesToCopyFromAChangedOriginal)
{
    Write("moving.txt", NumberedLines(300, "\n"));
    ASSERT_EQ(g_FastFile.PutFile("moving.txt", 0, "new"), 0);
    Write("moving.txt", "replaced by someone else\n");
    testing::internal::CaptureStderr();
    g_FastFile.FillBuffer(nullptr);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("changed on disk"), std::string::npos);
    EXPECT_EQ(Read("moving.txt"), "replaced by someone else\n");
}

// A file that fails to load is not read again on every call while it stays
// as it was (/proc/self/mem is a plain file whose first bytes cannot be
// read).
TEST_F(FastFileTest, FailedLoadIsNotRetriedOnEveryCall)
{
    testing::internal::CaptureStderr();
    EXPECT_EQ(g_FastFile.GetFile("/proc/self/mem", 0, out), 3);
    long long readsBefore = BytesRead("syscr");
    for (int i = 0; i < 5; ++i) {
        g_error = 0;
        EXPECT_EQ(g_FastFile.GetFile("/proc/self/mem", 0, out), 3);
        EXPECT_STREQ(out.GetStrData(), "NO_FILE");
        EXPECT_EQ(g_error, 3);
    }
    // BytesRead itself reads /proc/self/io once.
    EXPECT_LE(BytesRead("syscr") - readsBefore, 2);
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.find("cannot be read"), said.rfind("cannot be read")) << said;
    EXPECT_NE(said.find("cannot be read"), std::string::npos) << said;
}

TEST(FastFileObject, DestructionWritesBack)
{
    std::string pattern = (std::filesystem::temp_directory_path() / "kvfast.XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const std::string path = pattern + "/f.txt";
    ScratchFolder::Write(path, "a\r\n");
    {
        auto cache = std::make_unique<FAST_FILE>();
        ASSERT_EQ(cache->PutFile(path.c_str(), 1, "b"), 0);
    }
    EXPECT_EQ(ScratchFolder::Read(path), "a\r\nb\r\n");
    std::filesystem::remove_all(pattern);
}

}  // namespace
