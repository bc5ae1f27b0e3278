// The Windows platform's files and folders, run under Wine: the temporary
// folder, the program's path, the start folder, Latin-1 names, and what a
// Windows user expects of a file another program holds open.
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// A private folder in the temporary folder, removed with its files.
class WindowsFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_folder = platform::MakePrivateTempFolder("kvwintest-");
        ASSERT_FALSE(m_folder.empty());
    }
    void TearDown() override { platform::RemovePrivateTempFolder(m_folder.c_str()); }
    std::string Path(const char* name) const { return m_folder + name; }

    std::string m_folder;
};

std::vector<std::string> Names(const std::string& folder)
{
    std::vector<platform::DirectoryEntry> entries;
    EXPECT_TRUE(platform::ListDirectory(folder.c_str(), entries));
    std::vector<std::string> names;
    for (const auto& entry : entries) names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    return names;
}

TEST(WindowsPaths, TheTemporaryFolderIsGetTempPathsWithItsBackslash)
{
    wchar_t expected[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, expected);
    ASSERT_GT(length, 0u);
    const std::string folder = platform::TempFolder();
    ASSERT_EQ(folder.size(), length);
    for (DWORD i = 0; i < length; ++i) EXPECT_EQ(static_cast<unsigned char>(folder[i]), expected[i]);
    EXPECT_EQ(folder.back(), '\\');
}

TEST(WindowsPaths, TheModulePathNamesThisProgramWithItsDrive)
{
    const std::string path = platform::ModulePath();
    ASSERT_GT(path.size(), 3u);
    EXPECT_EQ(path[1], ':') << path;
    EXPECT_EQ(path.substr(path.size() - 4), ".exe") << path;
    EXPECT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES) << path;
}

TEST(WindowsPaths, NamesFromTheUserCountFromTheStartFolderUnlessTheyHaveADriveOrRoot)
{
    const std::string start = platform::StartFolder();
    ASSERT_FALSE(start.empty());
    ASSERT_TRUE(platform::ChangeDirectory(platform::TempFolder().c_str()));
    EXPECT_EQ(platform::StartFolder(), start) << "the start folder stays the folder the program began in";
    const std::string joined = start.back() == '\\' ? start + "saves\\a.txt" : start + "\\saves\\a.txt";
    EXPECT_EQ(platform::FromStartFolder("saves\\a.txt"), joined);
    EXPECT_EQ(platform::FromStartFolder("D:\\games\\a.txt"), "D:\\games\\a.txt");
    EXPECT_EQ(platform::FromStartFolder("d:a.txt"), "d:a.txt");
    EXPECT_EQ(platform::FromStartFolder("\\\\server\\share\\a.txt"), "\\\\server\\share\\a.txt");
    EXPECT_EQ(platform::FromStartFolder("/top/a.txt"), "/top/a.txt");
    ASSERT_TRUE(platform::ChangeDirectory(start.c_str()));
}

TEST_F(WindowsFilesTest, Latin1NamesAreTheSameCharactersForWindows)
{
    // "Größe.txt" in the runtime's Latin-1 is U+00F6 and U+00DF to Windows,
    // whatever the system's code page.
    const std::string name = Path("Gr\xF6\xDF" "e.txt");
    ASSERT_TRUE(platform::AppendToPlainFile(name.c_str(), "eins\r\n"));
    std::wstring wide;
    for (unsigned char c : m_folder) wide.push_back(c);
    wide += L"Gr\u00F6\u00DFe.txt";
    EXPECT_NE(GetFileAttributesW(wide.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(platform::IsReadableFile(name.c_str()));
    const std::vector<std::string> names = Names(m_folder);
    EXPECT_NE(std::find(names.begin(), names.end(), "Gr\xF6\xDF" "e.txt"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), ".."), names.end());
}

TEST_F(WindowsFilesTest, AppendingAddsToTheEndAndNewFilesNeverReplaceOldOnes)
{
    const std::string log = Path("ErrorLog.txt");
    ASSERT_TRUE(platform::AppendToPlainFile(log.c_str(), "-End On Line\r\n"));
    ASSERT_TRUE(platform::AppendToPlainFile(log.c_str(), "0\r\n"));
    HANDLE file = CreateFileA(log.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    char bytes[64] = {};
    DWORD read = 0;
    ReadFile(file, bytes, sizeof bytes - 1, &read, nullptr);
    CloseHandle(file);
    EXPECT_EQ(std::string(bytes, read), "-End On Line\r\n0\r\n");

    EXPECT_FALSE(platform::WriteNewFile(log.c_str(), "x", 1)) << "an existing name is never reused";
    ASSERT_TRUE(platform::WriteNewFile(Path("member.bmp").c_str(), "BM", 2));
    EXPECT_TRUE(platform::IsReadableFile(Path("member.bmp").c_str()));
    EXPECT_FALSE(platform::IsReadableFile(m_folder.c_str())) << "a folder is no file to load";
    std::string why;
    EXPECT_FALSE(platform::AppendToPlainFile(m_folder.c_str(), "x", &why));
    EXPECT_FALSE(why.empty());
}

TEST_F(WindowsFilesTest, AFileAnotherProgramHoldsOpenIsNamedSoAndLeftAlone)
{
    const std::string name = Path("held.txt");
    ASSERT_TRUE(platform::WriteNewFile(name.c_str(), "kept", 4));
    // Another program has it open and shares nothing, as an editor may.
    HANDLE held = CreateFileA(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::string why;
    EXPECT_FALSE(platform::AppendToPlainFile(name.c_str(), "more", &why));
    EXPECT_EQ(why, "another program has it open");
    why.clear();
    EXPECT_FALSE(platform::RemoveFileIfPresent(name.c_str(), &why));
    EXPECT_EQ(why, "another program has it open");
    CloseHandle(held);
    EXPECT_TRUE(platform::RemoveFileIfPresent(name.c_str(), &why));
    EXPECT_TRUE(platform::RemoveFileIfPresent(name.c_str(), &why)) << "nothing left is no failure";
    EXPECT_FALSE(platform::IsReadableFile(name.c_str()));
}

TEST_F(WindowsFilesTest, CreateFileMakesAnEmptyFileAndNeverEmptiesOne)
{
    const std::string name = Path("highscores.txt");
    std::string why;
    ASSERT_TRUE(platform::CreateEmptyFile(name.c_str(), &why)) << why;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(GetFileAttributesExA(name.c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(data.nFileSizeLow, 0u);
    ASSERT_TRUE(platform::AppendToPlainFile(name.c_str(), "Kim 1234\r\n"));
    EXPECT_TRUE(platform::CreateEmptyFile(name.c_str(), &why)) << "an existing file is fine as it is";
    ASSERT_TRUE(GetFileAttributesExA(name.c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(data.nFileSizeLow, 10u) << "and keeps its content";
    ASSERT_TRUE(CreateDirectoryA(Path("folder").c_str(), nullptr));
    EXPECT_FALSE(platform::CreateEmptyFile(Path("folder").c_str(), &why));
    EXPECT_NE(why.find("is not a plain file"), std::string::npos) << why;
    RemoveDirectoryA(Path("folder").c_str());
    EXPECT_FALSE(platform::CreateEmptyFile(Path("missing\\a.txt").c_str(), &why));
    EXPECT_NE(why.find("cannot create"), std::string::npos) << why;
}

TEST(WindowsPrivateFolders, APrivateFolderGoesWithItsFilesAndTwoAreNeverTheSame)
{
    const std::string first = platform::MakePrivateTempFolder("kvwintest-");
    const std::string second = platform::MakePrivateTempFolder("kvwintest-");
    ASSERT_FALSE(first.empty());
    ASSERT_FALSE(second.empty());
    EXPECT_NE(first, second);
    EXPECT_EQ(first.rfind(platform::TempFolder() + "kvwintest-", 0), 0u) << first;
    ASSERT_TRUE(platform::WriteNewFile((first + "a.wav").c_str(), "RIFF", 4));
    ASSERT_TRUE(platform::WriteNewFile((first + "b.bmp").c_str(), "BM", 2));
    EXPECT_TRUE(platform::RemovePrivateTempFolder(first.c_str()));
    EXPECT_EQ(GetFileAttributesA(first.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(platform::RemovePrivateTempFolder(second.c_str()));
}

TEST(WindowsPaths, TheUserIdStaysTheSameForTheUser)
{
    EXPECT_EQ(platform::UserId(), platform::UserId());
    EXPECT_NE(platform::UserId(), 0u);
}

TEST(WindowsProcess, TheMainThreadsStackIsTheReserveThisProgramWasLinkedWith)
{
    // The program's header names the stack it reserves for its main thread.
    const auto* image = reinterpret_cast<const unsigned char*>(GetModuleHandleA(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image);
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(image + dos->e_lfanew);
    EXPECT_EQ(platform::MainThreadStackSize(), headers->OptionalHeader.SizeOfStackReserve);
}

}  // namespace
