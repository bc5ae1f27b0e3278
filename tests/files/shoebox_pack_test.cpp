// The archive packer round trip, and programs that carry their media in
// themselves: an archive appended to a copy of a real built program, and the
// one the build makes with kv_add_packed_program.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "archive_bytes.h"
#include "files/shoebox.h"
#include "files/shoebox_archive.h"

using namespace archive_test;
namespace fs = std::filesystem;

namespace {

const fs::path kTools = fs::path(KV_BUILD_DIR) / "tools";
const fs::path kData = fs::path(KV_SOURCE_DIR) / "tests/files/data";

struct CommandResult {
    int status = -1;
    std::string output;  // stdout and stderr
};

CommandResult RunCommand(const std::string& command)
{
    CommandResult run;
    std::FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return run;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string Quoted(const fs::path& path)
{
    return "'" + path.string() + "'";
}

// Runs a program of the runtime. Its leak report is switched off: the
// graphics stack it starts keeps allocations to the end that are not ours
// (the archive code's own leaks are caught by the tests in this process).
std::string ProgramRun(const fs::path& temporaryFolder, const fs::path& program)
{
    const char* asan = std::getenv("ASAN_OPTIONS");
    return "TMPDIR=" + Quoted(temporaryFolder) + " ASAN_OPTIONS='" + (asan ? asan : "") +
           ":detect_leaks=0' " + Quoted(program);
}

std::string Pack(const std::string& arguments)
{
    return Quoted(kTools / "shoebox_pack") + " " + arguments;
}

std::int32_t DirectoryOffsetOf(const fs::path& archive)
{
    Bytes bytes = ReadFile(archive);
    return bytes.size() < 4 ? 0 : static_cast<std::int32_t>(ReadLittleEndian32(&bytes[bytes.size() - 4]));
}

// The FNV-1a 64 hash shoebox_which prints, in the same notation.
std::string HashOf(const Bytes& bytes)
{
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (unsigned char b : bytes) hash = (hash ^ b) * 0x100000001b3ull;
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

class ShoeBoxPackTest : public ScratchFolder {
protected:
    void SetUp() override
    {
        ScratchFolder::SetUp();
        ASSERT_TRUE(fs::exists(kTools / "shoebox_pack")) << "build the shoebox_pack target";
        WriteFile("zeros.bin", Bytes(1 << 20, 0));
        WriteFile("noise.bin", RandomBytes(300000, 77));
        WriteFile("empty.txt", Bytes());
        WriteFile("at.bmp", ToBytes("short name"));
        WriteFile("cat.bmp", ToBytes("long name"));
    }

    std::string Resolve(const fs::path& archive, const std::string& request)
    {
        EXPECT_TRUE(box.SetArchive(archive.c_str()));
        KvStr name = request.c_str();
        if (!box.Extract(name)) return "<not found>";
        Bytes content = ReadFile(name.GetStrData());
        return std::string(content.begin(), content.end());
    }

    TzShoeBox box;
};

}  // namespace

TEST_F(ShoeBoxPackTest, StandaloneArchiveRoundTrips)
{
    CommandResult create = RunCommand(Pack("create media.box zeros.bin noise.bin empty.txt 'data\\Level1.DAT=cat.bmp'"));
    ASSERT_EQ(create.status, 0) << create.output;
    EXPECT_GE(DirectoryOffsetOf("media.box"), 0);

    // Through the runtime's box, from another folder so no plain file wins.
    fs::create_directory("elsewhere");
    fs::current_path("elsewhere");
    EXPECT_EQ(ToBytes(Resolve("../media.box", "zeros.bin")), Bytes(1 << 20, 0));
    EXPECT_EQ(ToBytes(Resolve("../media.box", "noise.bin")), RandomBytes(300000, 77));
    EXPECT_EQ(Resolve("../media.box", "empty.txt"), "");
    EXPECT_EQ(Resolve("../media.box", "gfx\\data\\level1.dat"), "long name");
    fs::current_path(folder);

    CommandResult list = RunCommand(Pack("list media.box"));
    ASSERT_EQ(list.status, 0) << list.output;
    EXPECT_NE(list.output.find("offsets from the start"), std::string::npos) << list.output;
    EXPECT_NE(list.output.find("   1048576 "), std::string::npos) << list.output;
    EXPECT_NE(list.output.find("data\\Level1.DAT"), std::string::npos) << list.output;

    fs::create_directory("out");
    CommandResult extract = RunCommand(Pack("extract media.box out"));
    ASSERT_EQ(extract.status, 0) << extract.output;
    EXPECT_EQ(ReadFile("out/noise.bin"), RandomBytes(300000, 77));
    EXPECT_EQ(ReadFile("out/zeros.bin"), Bytes(1 << 20, 0));
    EXPECT_TRUE(fs::exists("out/empty.txt"));
    EXPECT_EQ(ReadFile("out/data_Level1.DAT"), ToBytes("long name"));

    CommandResult missing = RunCommand(Pack("extract media.box out nothing.bmp"));
    EXPECT_EQ(missing.status, 1);
}

TEST_F(ShoeBoxPackTest, AppendedArchiveUsesOffsetsFromTheEnd)
{
    Bytes program = RandomBytes(54321, 2);
    WriteFile("program", program);
    CommandResult append = RunCommand(Pack("append -o shipped program noise.bin cat.bmp"));
    ASSERT_EQ(append.status, 0) << append.output;
    EXPECT_EQ(ReadFile("program"), program) << "-o leaves the original alone";
    Bytes shipped = ReadFile("shipped");
    ASSERT_GT(shipped.size(), program.size());
    EXPECT_TRUE(std::equal(program.begin(), program.end(), shipped.begin()));
    EXPECT_LT(DirectoryOffsetOf("shipped"), 0);

    // Whatever precedes it: the same archive bytes behind another prefix.
    Bytes archivePart(shipped.begin() + static_cast<long>(program.size()), shipped.end());
    Bytes moved = RandomBytes(99, 5);
    moved.insert(moved.end(), archivePart.begin(), archivePart.end());
    WriteFile("moved", moved);
    fs::remove("noise.bin");
    fs::remove("cat.bmp");
    for (const char* archive : {"shipped", "moved"}) {
        EXPECT_EQ(ToBytes(Resolve(archive, "noise.bin")), RandomBytes(300000, 77)) << archive;
        EXPECT_EQ(Resolve(archive, "Cat.BMP"), "long name") << archive;
    }

    // In place, without -o.
    CommandResult inPlace = RunCommand(Pack("append program at.bmp"));
    ASSERT_EQ(inPlace.status, 0) << inPlace.output;
    fs::remove("at.bmp");
    EXPECT_EQ(Resolve("program", "at.bmp"), "short name");
}

TEST_F(ShoeBoxPackTest, LongerNamesComeFirstSoNoEntryShadowsAnother)
{
    CommandResult create = RunCommand(Pack("create media.box at.bmp cat.bmp"));
    ASSERT_EQ(create.status, 0) << create.output;
    fs::remove("at.bmp");
    fs::remove("cat.bmp");
    EXPECT_EQ(Resolve("media.box", "cat.bmp"), "long name");
    EXPECT_EQ(Resolve("media.box", "at.bmp"), "short name");
}

TEST_F(ShoeBoxPackTest, RefusesWhatCannotBeAnArchive)
{
    EXPECT_EQ(RunCommand(Pack("create media.box cat.bmp CAT.BMP=at.bmp")).status, 1);
    EXPECT_EQ(RunCommand(Pack("create media.box " + std::string(256, 'n') + "=at.bmp")).status, 1);
    EXPECT_EQ(RunCommand(Pack("create media.box no-such-file")).status, 1);
    EXPECT_EQ(RunCommand(Pack("list at.bmp")).status, 1);
    EXPECT_EQ(RunCommand(Pack("frobnicate")).status, 2);
}

TEST_F(ShoeBoxPackTest, ArchiveAppendedToABuiltProgramResolvesThroughItsFrame)
{
    // A copy of a real program of the runtime, with an archive appended,
    // started the way a user starts it: its boxes look inside itself and its
    // folder becomes the working directory.
    ASSERT_TRUE(fs::exists(kTools / "shoebox_which")) << "build the shoebox_which target";
    fs::create_directory("game");
    CommandResult append = RunCommand(Pack("append -o game/which " + Quoted(kTools / "shoebox_which") +
                                 " noise.bin 'sounds\\Musik.wav=cat.bmp'"));
    ASSERT_EQ(append.status, 0) << append.output;
    WriteFile("game/ondisk.txt", ToBytes("next to the program"));
    fs::create_directory("tmp");

    CommandResult run = RunCommand("cd / && KV_VERBOSE=1 " + ProgramRun(folder / "tmp", folder / "game/which") +
                                   " noise.bin data\\\\sounds\\\\musik.WAV ondisk.txt absent.bmp");
    ASSERT_EQ(run.status, 0) << run.output;
    std::string boxLine = "Setting box:" + (folder / "game/which").string() + "\n";
    EXPECT_NE(run.output.find(boxLine + boxLine), std::string::npos) << run.output;
    std::string temp = (folder / "tmp").string() + "/kvshoebox-";
    EXPECT_NE(run.output.find("noise.bin -> " + temp), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("~sbx"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find(" 300000 " + HashOf(RandomBytes(300000, 77))), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("sounds_Musik.wav 9 " + HashOf(ToBytes("long name"))), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("ondisk.txt -> ondisk.txt 19 "), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("absent.bmp -> not found"), std::string::npos) << run.output;

    // The exit took the temporary files and the private folders with it.
    for (const auto& entry : fs::directory_iterator(folder / "tmp"))
        EXPECT_EQ(entry.path().filename().string().rfind("kvshoebox-", 0), std::string::npos) << entry.path();
}

// A packed program whose file was cut short: the lookups say once that the
// archive is damaged and what is lost, and keep what the cut left whole. A
// program without an archive says nothing.
TEST_F(ShoeBoxPackTest, CutProgramSaysOnceWhatIsLostAndKeepsWhatIsLeft)
{
    ASSERT_TRUE(fs::exists(kTools / "shoebox_which")) << "build the shoebox_which target";
    // The program's folder (its working directory) holds none of the members.
    fs::create_directory("game");
    fs::create_directory("tmp");
    CommandResult append = RunCommand(Pack("append -o whole " + Quoted(kTools / "shoebox_which") +
                                           " noise.bin cat.bmp at.bmp"));
    ASSERT_EQ(append.status, 0) << append.output;
    const Bytes whole = ReadFile("whole");
    const auto programSize = static_cast<std::size_t>(fs::file_size(kTools / "shoebox_which"));
    // The directory lists noise.bin (18 bytes), cat.bmp (16), at.bmp (15).
    const std::size_t directoryStart = whole.size() + static_cast<std::size_t>(DirectoryOffsetOf("whole"));
    ASSERT_EQ(whole.size() - directoryStart, 18u + 16 + 15 + 1 + 4);

    // A cut leaves whatever 4 bytes end up last as the directory's offset;
    // `pointFar` makes them point past the file, so that a cut inside a
    // member cannot by chance end in bytes that look like a directory
    // (which bytes those are depends on the program's own size).
    auto runCut = [&](std::size_t size, bool pointFar = false) {
        Bytes cut(whole.begin(), whole.begin() + static_cast<long>(size));
        if (pointFar)
            for (std::size_t i = cut.size() - 4; i < cut.size(); ++i) cut[i] = 0xFF;
        WriteFile("game/cut", cut);
        fs::permissions("game/cut", fs::perms::owner_all);
        return RunCommand(ProgramRun(folder / "tmp", folder / "game/cut") + " noise.bin cat.bmp at.bmp").output;
    };
    auto count = [](const std::string& text, const std::string& part) {
        std::size_t n = 0;
        for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
        return n;
    };
    const std::string noise = " 300000 " + HashOf(RandomBytes(300000, 77));

    // One byte off the end: the directory is whole, every member is had.
    std::string said = runCut(whole.size() - 1);
    EXPECT_EQ(count(said, "is damaged: cut short by 1 bytes at the end of its directory; all 3 members can still be had"), 1u) << said;
    EXPECT_NE(said.find(noise), std::string::npos) << said;
    EXPECT_NE(said.find("cat.bmp 9 " + HashOf(ToBytes("long name"))), std::string::npos) << said;
    EXPECT_NE(said.find("at.bmp 10 " + HashOf(ToBytes("short name"))), std::string::npos) << said;

    // Cut inside the second entry: the first entry's member is still had.
    said = runCut(directoryStart + 18 + 5);
    EXPECT_EQ(count(said, "is damaged: cut short inside its directory; the 1 members listed up to \"noise.bin\" "
                          "can still be had, the members listed after it cannot"), 1u) << said;
    EXPECT_NE(said.find(noise), std::string::npos) << said;
    EXPECT_NE(said.find("cat.bmp -> not found"), std::string::npos) << said;
    EXPECT_NE(said.find("at.bmp -> not found"), std::string::npos) << said;

    // Cut inside the first member: the directory went with the cut.
    said = runCut(programSize + 1000, true);
    EXPECT_EQ(count(said, "is damaged: its directory cannot be found (the file is cut short or corrupt); "
                          "no member can be had"), 1u) << said;
    EXPECT_EQ(count(said, "-> not found"), 3u) << said;

    // The program alone holds no archive: nothing is damaged.
    said = runCut(programSize);
    EXPECT_EQ(said.find("damaged"), std::string::npos) << said;
    EXPECT_EQ(count(said, "-> not found"), 3u) << said;
}

TEST_F(ShoeBoxPackTest, ProgramPackedByTheBuildCarriesItsMedia)
{
    fs::path packed = kTools / "shoebox_which_packed";
    ASSERT_TRUE(fs::exists(packed)) << "build the pack_shoebox_which_packed target";
    fs::create_directory("tmp");
    CommandResult run = RunCommand(ProgramRun(folder / "tmp", packed) + " greeting.txt Nested\\\\LEVEL1.DAT level1.dat");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find(" 26 " + HashOf(ReadFile(kData / "greeting.txt"))), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("nested_Level1.dat 661 " + HashOf(ReadFile(kData / "level1.dat"))),
              std::string::npos)
        << run.output;
    // The stored name nested\Level1.dat is longer than this request.
    EXPECT_NE(run.output.find("level1.dat -> not found"), std::string::npos) << run.output;
}
