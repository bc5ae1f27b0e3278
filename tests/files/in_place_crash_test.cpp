// A line file rewritten in place (it has a second hard link, or its folder
// takes no new file) is neither old nor new while the copy runs. A run
// killed with SIGKILL during the copy must leave a whole copy of the new
// content, which the next write-back does not remove and the next start
// names. Each case kills a real child process while it writes: the
// in-place cases are a second hard link, another user's file, and a folder
// that takes no new file.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "core/runtime_state.h"
#include "files/fast_file.h"
#include "scratch_folder.h"

namespace {

// Large enough that copying it takes a while however fast the disk is.
constexpr int kLines = 1 << 19;  // 60 MB

std::string OldContent()
{
    std::string text;
    text.reserve(static_cast<std::size_t>(kLines) * 128);
    const std::string filler(100, '.');
    for (int i = 0; i < kLines; ++i) text += "line " + std::to_string(i) + " " + filler + "\r\n";
    return text;
}

// The whole file at once (the stream iterator of Read is slow for 30 MB).
std::string ReadAll(const std::string& path)
{
    std::string bytes;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        char buffer[1 << 16];
        std::size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
        std::fclose(file);
    }
    return bytes;
}

void WriteAll(const std::string& path, const std::string& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    ASSERT_EQ(std::fclose(file), 0);
}

// The old content with line 0 replaced, as the write-back makes it.
std::string NewContent(const std::string& old)
{
    return "new 0\r\n" + old.substr(old.find('\n') + 1);
}

// Kills child once the file at path starts with the new first line, after
// a further delay; true when it was still running then.
bool KillDuringCopy(pid_t child, const std::string& path, std::chrono::microseconds delay)
{
    bool killed = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) return false;  // ended on its own
        char start[7] = {};
        const int fd = open(path.c_str(), O_RDONLY);
        const bool begun = fd >= 0 && pread(fd, start, 7, 0) == 7 && std::string(start, 7) == "new 0\r\n";
        if (fd >= 0) close(fd);
        if (begun) {
            std::this_thread::sleep_for(delay);
            killed = kill(child, SIGKILL) == 0;
            break;
        }
    }
    int status = 0;
    waitpid(child, &status, 0);
    return killed && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

class InPlaceCrashTest : public ScratchFolder {
protected:
    void SetUp() override
    {
        ScratchFolder::SetUp();
        temp = (folder / "tmp").string();
        std::filesystem::create_directory(temp);
        setenv("TMPDIR", temp.c_str(), 1);
        KV_DEBUG = 0;
        g_error = 0;
    }

    // The notes a killed rewrite left in the temporary folder.
    int Notes() const
    {
        int notes = 0;
        for (const auto& entry : std::filesystem::directory_iterator(temp))
            notes += entry.path().filename().string().rfind("kvrewrite-", 0) == 0;
        return notes;
    }

    std::string temp;
};

TEST_F(InPlaceCrashTest, AHardLinkedFileKilledDuringTheCopyKeepsAWholeCopyOfTheNewContent)
{
    const std::string old = OldContent();
    const std::string fresh = NewContent(old);
    const std::string target = (folder / "scores.txt").string();
    const std::string kept = target + ".unsaved";
    int mixed = 0;
    // At the first bytes of the copy, and at later moments.
    for (const int delayUs : {0, 0, 3000, 10000}) {
        SCOPED_TRACE(delayUs);
        std::filesystem::remove(target);
        std::filesystem::remove("twin.txt");
        std::filesystem::remove(kept);
        WriteAll("scores.txt", old);
        ASSERT_EQ(link("scores.txt", "twin.txt"), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (g_FastFile.PutFile("scores.txt", 0, "new 0") != 0) _exit(10);
            g_FastFile.FillBuffer(nullptr);
            _exit(0);
        }
        if (!KillDuringCopy(child, target, std::chrono::microseconds(delayUs))) continue;

        const std::string now = ReadAll("scores.txt");
        if (now == fresh) continue;  // killed after the file was whole
        ++mixed;
        // The file is a mix, but the whole new content is there, and a note
        // says so.
        ASSERT_TRUE(ReadAll(kept) == fresh) << "the kept copy is not the whole new content";
        EXPECT_EQ(Notes(), 1);

        // The next start tells where it is, once.
        testing::internal::CaptureStderr();
        ReportInterruptedWriteBacks();
        ReportInterruptedWriteBacks();
        const std::string said = testing::internal::GetCapturedStderr();
        const std::string expected = "line file " + target + " was not written back whole";
        EXPECT_NE(said.find(expected), std::string::npos) << said;
        EXPECT_NE(said.find("its whole new content is kept in " + kept + "\n"), std::string::npos) << said;
        EXPECT_EQ(said.find(expected, said.find(expected) + 1), std::string::npos) << said;
        EXPECT_EQ(Notes(), 0);

        // The next write-back of the same file leaves the copy alone.
        ASSERT_EQ(g_FastFile.PutFile("scores.txt", 1, "after"), 0);
        g_FastFile.FillBuffer(nullptr);
        EXPECT_TRUE(ReadAll(kept) == fresh) << "the next write-back changed the kept copy";
        EXPECT_TRUE(ReadAll("twin.txt") == ReadAll("scores.txt")) << "the hard link was broken";
        EXPECT_NE(ReadAll("scores.txt").find("after\r\n"), std::string::npos);
    }
    EXPECT_GE(mixed, 1) << "no kill landed inside the copy";
}

// A rewrite that ends normally leaves neither copy nor note; one killed
// after the file was whole is recognised at the next start and cleaned up
// without a word.
TEST_F(InPlaceCrashTest, AFinishedRewriteLeavesNothingAndAWholeFileNeedsNoWord)
{
    Write("small.txt", "a\r\nb\r\n");
    ASSERT_EQ(link("small.txt", "twin.txt"), 0);
    ASSERT_EQ(g_FastFile.PutFile("small.txt", 0, "c"), 0);
    g_FastFile.FillBuffer(nullptr);
    EXPECT_EQ(ReadAll("twin.txt"), "c\r\nb\r\n");
    EXPECT_FALSE(std::filesystem::exists("small.txt.unsaved"));
    EXPECT_EQ(Notes(), 0);

    // What a run killed after the copy, before its clean-up, leaves.
    Write("small.txt.unsaved", "c\r\nb\r\n");
    Write(temp + "/kvrewrite-Ab12Zq",
          "kvbasic in-place rewrite\n" + (folder / "small.txt").string() + "\n" + (folder / "small.txt.unsaved").string() + "\n");
    // Not a note: left alone.
    Write(temp + "/kvrewrite-other", "something else\n");
    testing::internal::CaptureStderr();
    ReportInterruptedWriteBacks();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(std::filesystem::exists("small.txt.unsaved"));
    EXPECT_EQ(Notes(), 1);
}

// Another user's file, written by a third user who may write it but cannot
// give a new file its owner: rewritten in place from a copy beside it. The
// copy and the note are the writer's, and so is the next start that names
// them.
TEST_F(InPlaceCrashTest, AnotherUsersFileKilledDuringTheCopyKeepsAWholeCopyForTheWriter)
{
    ASSERT_EQ(geteuid(), 0u) << "this test hands files to other users";
    ASSERT_EQ(chmod(folder.c_str(), 0777), 0);
    ASSERT_EQ(chmod(temp.c_str(), 0777), 0);
    const std::string old = OldContent();
    const std::string fresh = NewContent(old);
    const std::string target = (folder / "owned.txt").string();
    bool mixed = false;
    for (int attempt = 0; attempt < 3 && !mixed; ++attempt) {
        std::filesystem::remove(target);
        std::filesystem::remove(target + ".unsaved");
        WriteAll(target, old);
        ASSERT_EQ(chown(target.c_str(), 65534, 65534), 0);
        ASSERT_EQ(chmod(target.c_str(), 0666), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (setgid(65533) != 0 || setuid(65533) != 0) _exit(10);
            if (g_FastFile.PutFile(target.c_str(), 0, "new 0") != 0) _exit(11);
            g_FastFile.FillBuffer(nullptr);
            _exit(0);
        }
        if (!KillDuringCopy(child, target, std::chrono::microseconds(0))) continue;
        mixed = ReadAll(target) != fresh;
    }
    ASSERT_TRUE(mixed) << "no kill landed inside the copy";
    struct stat info {};
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 65534u);
    ASSERT_TRUE(ReadAll(target + ".unsaved") == fresh) << "the kept copy is not the whole new content";
    EXPECT_EQ(Notes(), 1);

    // The writer's next start names it.
    const std::string said = (folder / "said.txt").string();
    const pid_t next = fork();
    ASSERT_GE(next, 0);
    if (next == 0) {
        if (setgid(65533) != 0 || setuid(65533) != 0) _exit(10);
        const int out = open(said.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || dup2(out, 2) < 0) _exit(11);
        ReportInterruptedWriteBacks();
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(next, &status, 0), next);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const std::string text = ReadAll(said);
    EXPECT_NE(text.find("line file " + target + " was not written back whole"), std::string::npos) << text;
    EXPECT_NE(text.find("its whole new content is kept in " + target + ".unsaved\n"), std::string::npos) << text;
    EXPECT_EQ(Notes(), 0);
}

// The file's folder takes no new file (a file system without a free inode,
// in a mount namespace of the child's own): the new content is staged in
// the temporary folder and copied in place from there. Killed during that
// copy, the staged file stays whole and the note names it.
TEST_F(InPlaceCrashTest, AFileInAFolderThatTakesNoNewFileKeepsItsCopyInTheTemporaryFolder)
{
    ASSERT_EQ(geteuid(), 0u) << "this test mounts a file system of its own";
    const std::string old = OldContent();
    const std::string fresh = NewContent(old);
    const std::string disk = (folder / "disk").string();
    std::filesystem::create_directory(disk);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (unshare(CLONE_NEWNS) != 0) _exit(21);
        if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) _exit(22);
        if (mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=512m,nr_inodes=2,mode=0755") != 0) _exit(23);
        WriteAll(disk + "/scores.txt", old);
        if (g_FastFile.PutFile((disk + "/scores.txt").c_str(), 0, "new 0") != 0) _exit(24);
        g_FastFile.FillBuffer(nullptr);
        _exit(0);
    }
    // The child's file, seen through its own mount namespace.
    const std::string seen = "/proc/" + std::to_string(child) + "/root" + disk + "/scores.txt";
    ASSERT_TRUE(KillDuringCopy(child, seen, std::chrono::microseconds(0))) << "the child ended before it was killed";

    std::string copy;
    for (const auto& entry : std::filesystem::directory_iterator(temp))
        if (entry.path().filename().string().rfind("kvlinefile-", 0) == 0) copy = entry.path().string();
    ASSERT_FALSE(copy.empty());
    EXPECT_TRUE(ReadAll(copy) == fresh) << "the staged copy is not the whole new content";
    ASSERT_EQ(Notes(), 1);
    testing::internal::CaptureStderr();
    ReportInterruptedWriteBacks();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("line file " + disk + "/scores.txt was not written back whole"), std::string::npos) << said;
    EXPECT_NE(said.find("its whole new content is kept in " + copy + "\n"), std::string::npos) << said;
    EXPECT_TRUE(ReadAll(copy) == fresh) << "the staged copy is not the whole new content";
}

}  // namespace
