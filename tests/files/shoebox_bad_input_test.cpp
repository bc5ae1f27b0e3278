// Damaged and hostile archives: every case ends as "not found", reads and
// writes nothing out of bounds (the sanitizers watch) and leaves no
// temporary file behind.
#include "files/shoebox.h"

#include <gtest/gtest.h>

#include <random>

#include "archive_bytes.h"
#include "files/shoebox_archive.h"

using namespace archive_test;
namespace fs = std::filesystem;

namespace {

class BadArchiveTest : public ScratchFolder {
protected:
    // Writes bytes as the box's archive and asks for request.
    bool Lookup(const Bytes& archive, const std::string& request = "level1.dat")
    {
        WriteFile(folder / "bad.box", archive);
        EXPECT_TRUE(box.SetArchive((folder / "bad.box").string().c_str()));
        KvStr name = request.c_str();
        bool found = box.Extract(name);
        if (!found) {
            EXPECT_STREQ(name.GetStrData(), "") << "an opened archive empties the name";
            EXPECT_STREQ(box.tempFile, "");
        }
        return found;
    }

    static Bytes GoodArchive()
    {
        return BuildArchive({{"level1.dat", LzoBlock(ToBytes("the first level"))}});
    }

    TzShoeBox box;
};

void SetField32(Bytes& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<unsigned char>(value >> (8 * i));
}

}  // namespace

TEST_F(BadArchiveTest, GoodArchiveIsFoundSoTheBadOnesMeanSomething)
{
    EXPECT_TRUE(Lookup(GoodArchive()));
}

TEST_F(BadArchiveTest, ArchiveShorterThanFourBytes)
{
    for (std::size_t size = 0; size < 4; ++size) EXPECT_FALSE(Lookup(Bytes(size, 0))) << size;
}

TEST_F(BadArchiveTest, ArchivePathNamingAFolder)
{
    fs::create_directory("folder.box");
    ASSERT_TRUE(box.SetArchive("folder.box"));
    KvStr name = "level1.dat";
    EXPECT_FALSE(box.Extract(name));
    EXPECT_STREQ(box.tempFile, "");
}

TEST_F(BadArchiveTest, DirectoryOffsetOutsideTheFile)
{
    Bytes archive = GoodArchive();
    std::size_t tail = archive.size() - 4;
    for (std::uint32_t d : {static_cast<std::uint32_t>(archive.size()), 0x7FFFFFFFu,
                            static_cast<std::uint32_t>(-static_cast<std::int32_t>(archive.size()) - 1),
                            0x80000000u}) {
        SetField32(archive, tail, d);
        EXPECT_FALSE(Lookup(archive)) << d;
    }
}

TEST_F(BadArchiveTest, DirectoryWithoutEndRunsIntoTheEndOfTheFile)
{
    // D points at the last 4 bytes themselves: one "entry" that runs off.
    Bytes archive = GoodArchive();
    SetField32(archive, archive.size() - 4, static_cast<std::uint32_t>(archive.size() - 4));
    archive[archive.size() - 4] = 40;  // a name length whose bytes are missing
    EXPECT_FALSE(Lookup(archive));
}

TEST_F(BadArchiveTest, NameOrEntryFieldsRunningPastTheEnd)
{
    Bytes block = LzoBlock(ToBytes("level"));
    Bytes body = block;
    std::size_t directoryStart = body.size();
    // An entry that names the member but stops inside its offset field.
    Bytes cut = body;
    cut.push_back(10);
    for (char c : std::string("level1.dat")) cut.push_back(static_cast<unsigned char>(c));
    cut.push_back(0);
    cut.push_back(0);
    PutLittleEndian32(cut, static_cast<std::uint32_t>(directoryStart));
    EXPECT_FALSE(Lookup(cut));

    // A name length of 255 with only a few bytes after it.
    Bytes longName = body;
    longName.push_back(255);
    longName.push_back('x');
    PutLittleEndian32(longName, static_cast<std::uint32_t>(directoryStart));
    EXPECT_FALSE(Lookup(longName));
}

TEST_F(BadArchiveTest, MemberOffsetOrSizeOutsideTheFile)
{
    Bytes good = GoodArchive();
    std::size_t offsetField = good.size() - 4 - 1 - 8;  // of the one entry
    std::size_t sizeField = offsetField + 4;
    auto size = static_cast<std::uint32_t>(good.size());

    struct Case { std::uint32_t offset, packedSize; };
    for (Case c : {Case{size, 4}, Case{size - 2, 8}, Case{0, size + 1}, Case{0, 0xFFFFFFFFu},
                   Case{0x80000000u, 16}, Case{0xFFFFFFF0u, 8}}) {
        Bytes archive = good;
        SetField32(archive, offsetField, c.offset);
        SetField32(archive, sizeField, c.packedSize);
        EXPECT_FALSE(Lookup(archive)) << c.offset << " " << c.packedSize;
    }

    // From the end: a positive member offset points past the end.
    Layout fromEnd;
    fromEnd.fromEnd = true;
    Bytes archive = BuildArchive({{"level1.dat", LzoBlock(ToBytes("x"))}}, fromEnd);
    SetField32(archive, archive.size() - 4 - 1 - 8, 3);
    EXPECT_FALSE(Lookup(archive));
    SetField32(archive, archive.size() - 4 - 1 - 8, static_cast<std::uint32_t>(-static_cast<std::int32_t>(archive.size()) - 1));
    EXPECT_FALSE(Lookup(archive));
}

TEST_F(BadArchiveTest, HugeAnnouncedLengthIsRefused)
{
    Bytes block = LzoBlock(ToBytes("the first level"));
    SetField32(block, 0, 0xFFFFFF00u);  // 4 GiB claimed by a 20-byte stream
    EXPECT_FALSE(Lookup(BuildArchive({{"level1.dat", block}})));
}

TEST_F(BadArchiveTest, CorruptStreamIsNotFoundAndSaysWhichMember)
{
    Bytes content = RandomBytes(2000, 8);
    Bytes block = LzoBlock(content);
    block.resize(block.size() - 300);  // truncated
    testing::internal::CaptureStderr();
    EXPECT_FALSE(Lookup(BuildArchive({{"level1.dat", block}})));
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("level1.dat"), std::string::npos) << said;

    // Names from the archive reach the terminal without control characters.
    testing::internal::CaptureStderr();
    EXPECT_FALSE(Lookup(BuildArchive({{"\x1b[2Jlevel1.dat", block}}), "\x1b[2Jlevel1.dat"));
    said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("?[2Jlevel1.dat"), std::string::npos) << said;
    EXPECT_EQ(said.find('\x1b'), std::string::npos);

    Bytes shortBlock = {3, 0};  // not even a header
    EXPECT_FALSE(Lookup(BuildArchive({{"level1.dat", shortBlock}})));
}

TEST_F(BadArchiveTest, DamagedMemberLeavesNoFileInThePrivateFolder)
{
    Bytes archive = BuildArchive({{"good.dat", LzoBlock(ToBytes("good"))},
                                  {"bad.dat", Bytes{5, 0, 0, 0, 0xFF, 0xFF}}});
    ASSERT_TRUE(Lookup(archive, "good.dat"));
    fs::path privateFolder = fs::path(box.tempFile).parent_path();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(Lookup(archive, "bad.dat"));
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(fs::is_empty(privateFolder));
}

TEST_F(BadArchiveTest, RandomDamageNeverCrashes)
{
    // Flips, cuts and random tails over a good archive of several members.
    std::vector<Member> members;
    for (int i = 0; i < 6; ++i)
        members.push_back({"m" + std::to_string(i) + ".dat", LzoBlock(RandomBytes(300 + 50 * static_cast<std::size_t>(i), static_cast<unsigned>(i)))});
    Bytes good = BuildArchive(members);
    std::mt19937 random(1234);
    testing::internal::CaptureStderr();
    for (int round = 0; round < 300; ++round) {
        Bytes archive = good;
        switch (round % 3) {
        case 0:
            for (int k = 0; k < 4; ++k) archive[random() % archive.size()] ^= static_cast<unsigned char>(1 + random() % 255);
            break;
        case 1:
            archive.resize(random() % archive.size());
            break;
        case 2:
            for (std::size_t k = archive.size() - 1 - random() % 60; k < archive.size(); ++k)
                archive[k] = static_cast<unsigned char>(random());
            break;
        }
        Lookup(archive, "m" + std::to_string(round % 7) + ".dat");
    }
    testing::internal::GetCapturedStderr();
}

// A standalone archive (offsets from its start) cut short: the members its
// directory still lists are had, and the damage is said once per file.
TEST_F(BadArchiveTest, ArchiveCutShortKeepsWhatItsDirectoryStillLists)
{
    const Bytes whole = BuildArchive({{"a.dat", LzoBlock(ToBytes("first"))}, {"bb.dat", LzoBlock(ToBytes("second"))}});
    // The directory: a.dat (14 bytes), bb.dat (15), the closing 0, then D.
    const std::size_t directoryStart = whole.size() - 4 - 1 - 14 - 15;
    auto lookUp = [&](const char* request) {
        KvStr name = request;
        if (!box.Extract(name)) return std::string("<not found>");
        Bytes content = ReadFile(name.GetStrData());
        return std::string(content.begin(), content.end());
    };
    auto count = [](const std::string& text, const std::string& part) {
        std::size_t n = 0;
        for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
        return n;
    };

    WriteFile(folder / "cut.box", Bytes(whole.begin(), whole.end() - 2));
    ASSERT_TRUE(box.SetArchive((folder / "cut.box").string().c_str()));
    testing::internal::CaptureStderr();
    EXPECT_EQ(lookUp("a.dat"), "first");
    EXPECT_EQ(lookUp("bb.dat"), "second");
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(count(said, "cut.box is damaged: cut short by 2 bytes at the end of its directory; all 2 members can "
                          "still be had"), 1u) << said;
    EXPECT_EQ(count(said, "damaged"), 1u) << said;

    WriteFile(folder / "cut.box", Bytes(whole.begin(), whole.begin() + static_cast<long>(directoryStart + 14 + 3)));
    testing::internal::CaptureStderr();
    EXPECT_EQ(lookUp("a.dat"), "first");
    EXPECT_EQ(lookUp("bb.dat"), "<not found>");
    said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(count(said, "cut.box is damaged: cut short inside its directory; the 1 members listed up to "
                          "\"a.dat\" can still be had, the members listed after it cannot"), 1u) << said;

    WriteFile(folder / "cut.box", Bytes(whole.begin(), whole.begin() + 10));
    testing::internal::CaptureStderr();
    EXPECT_EQ(lookUp("a.dat"), "<not found>");
    said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("cut.box is damaged: its directory cannot be found"), std::string::npos) << said;
}
