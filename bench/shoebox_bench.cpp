// Media archive speed. Extracting a 10 MiB member through a box (find the
// entry, read the packed block, unpack, write the temporary file) against the
// least any extraction must do: a bare lzo1x_decompress_safe of the same
// block into a ready buffer, then one write of its output to a new file in
// the same temporary folder (the previous one deleted, as Extract deletes
// its previous file). Both run in turn in the same process; CPU time of this
// thread, minimum and median. Text-like and picture-like members, packed by
// LZO1X-1 and by LZO1X-999. Then name resolution in an archive of 1000
// members. Prints RESULT rows (see bench/support/measure.h).
#include <lzo/lzo1x.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "files/shoebox.h"
#include "files/shoebox_archive.h"
#include "platform/platform.h"
#include "support/measure.h"

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

namespace {

constexpr std::size_t kLargeMember = 10u << 20;

// Words and punctuation from a small vocabulary, lines of varying length:
// compresses about as well as scripts and level files do.
Bytes TextLikeBytes(std::size_t size)
{
    static const char* const words[] = {"the", "player", "jumps", "over", "a", "wall", "and", "collects",
                                        "coins", "level", "enemy", "bird", "score", "=", "+", "1",
                                        "IF", "THEN", "GOSUB", "RETURN", "x", "y", "(", ")", "sprite"};
    std::mt19937 random(7);
    Bytes bytes;
    bytes.reserve(size);
    while (bytes.size() < size) {
        const char* word = words[random() % (sizeof words / sizeof *words)];
        bytes.insert(bytes.end(), word, word + std::strlen(word));
        bytes.push_back(random() % 9 == 0 ? '\n' : ' ');
    }
    bytes.resize(size);
    return bytes;
}

// A 24-bit picture: smooth gradients and shapes with sensor-like noise in
// the low bits, the way photos and painted backgrounds pack.
Bytes PictureLikeBytes(std::size_t size)
{
    std::mt19937 random(42);
    Bytes bytes(size);
    const std::size_t width = 1024;
    for (std::size_t i = 0; i + 2 < size; i += 3) {
        const std::size_t pixel = i / 3;
        const std::size_t x = pixel % width, y = pixel / width;
        const bool inShape = ((x / 64) + (y / 48)) % 3 == 0;
        const unsigned noise = random() % 4;
        bytes[i] = static_cast<unsigned char>((inShape ? 200 : x / 4) + noise);
        bytes[i + 1] = static_cast<unsigned char>((y / 3) + noise);
        bytes[i + 2] = static_cast<unsigned char>((inShape ? 40 : (x + y) / 8) + (noise >> 1));
    }
    return bytes;
}

enum class Method { kLzo1x1, kLzo1x999 };

Bytes PackBlock(const Bytes& content, Method method)
{
    lzo_init();
    Bytes block(4 + content.size() + content.size() / 16 + 67);
    WriteLittleEndian32(block.data(), static_cast<std::uint32_t>(content.size()));
    lzo_uint packed = 0;
    if (method == Method::kLzo1x1) {
        Bytes work(LZO1X_1_MEM_COMPRESS);
        lzo1x_1_compress(content.data(), content.size(), block.data() + 4, &packed, work.data());
    } else {
        Bytes work(LZO1X_999_MEM_COMPRESS);
        lzo1x_999_compress(content.data(), content.size(), block.data() + 4, &packed, work.data());
    }
    block.resize(4 + packed);
    return block;
}

// A standalone archive of the given members in a fresh folder.
struct ArchiveOnDisk {
    fs::path folder;
    fs::path path;

    explicit ArchiveOnDisk(const std::vector<std::pair<std::string, Bytes>>& members)
    {
        std::string pattern = (fs::temp_directory_path() / "kvbench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        folder = pattern;
        path = folder / "media.box";
        Bytes file, directory;
        for (const auto& [name, block] : members) {
            directory.push_back(static_cast<unsigned char>(name.size()));
            directory.insert(directory.end(), name.begin(), name.end());
            unsigned char fields[8];
            WriteLittleEndian32(fields, static_cast<std::uint32_t>(file.size()));
            WriteLittleEndian32(fields + 4, static_cast<std::uint32_t>(block.size()));
            directory.insert(directory.end(), fields, fields + 8);
            file.insert(file.end(), block.begin(), block.end());
        }
        directory.push_back(0);
        unsigned char d[4];
        WriteLittleEndian32(d, static_cast<std::uint32_t>(file.size()));
        file.insert(file.end(), directory.begin(), directory.end());
        file.insert(file.end(), d, d + 4);
        std::FILE* out = std::fopen(path.c_str(), "wb");
        std::fwrite(file.data(), 1, file.size(), out);
        std::fclose(out);
    }
    ~ArchiveOnDisk() { fs::remove_all(folder); }
};

void CompareExtraction(const char* kind, const Bytes& content, Method method, int repetitions)
{
    const Bytes block = PackBlock(content, method);
    ArchiveOnDisk archive({{"first.txt", PackBlock(Bytes(100, 'a'), Method::kLzo1x1)}, {"big.bin", block}});
    TzShoeBox box;
    box.SetArchive(archive.path.c_str());
    KvStr name = "big.bin";
    if (!box.Extract(name)) {
        std::fprintf(stderr, "the member did not extract\n");
        std::exit(1);
    }
    // The baseline writes into the box's own folder.
    const std::string folder = fs::path(box.tempFile).parent_path().string() + "/";
    Bytes out(kLargeMember);
    std::string previous;
    int counter = 0;
    bool sameBytes = true;

    auto extract = [&] {
        KvStr request = "big.bin";
        if (!box.Extract(request)) std::exit(1);
    };
    auto bare = [&] {
        if (!previous.empty()) platform::RemoveFile(previous.c_str());
        lzo_uint written = out.size();
        lzo1x_decompress_safe(block.data() + 4, block.size() - 4, out.data(), &written, nullptr);
        previous = folder + "bare" + std::to_string(counter++);
        if (!platform::WriteNewFile(previous.c_str(), out.data(), written)) std::exit(1);
    };
    bench::Samples ours, baseline;
    bench::Interleave(2, repetitions, {&ours, &baseline}, extract, bare);
    if (!previous.empty()) platform::RemoveFile(previous.c_str());
    sameBytes = fs::file_size(box.tempFile) == content.size();

    const double ratio = baseline.minCpu() / ours.minCpu();
    const std::string figure = std::string("extract 10 MiB, ") + kind +
                               (method == Method::kLzo1x1 ? ", LZO1X-1" : ", LZO1X-999") + " (packed " +
                               bench::Number(100.0 * static_cast<double>(block.size()) / content.size(), "%.0f") +
                               " %), cpu min / median";
    std::printf("%s\n  ours     %s\n  baseline %s\n", figure.c_str(), bench::Summary(ours).c_str(),
                bench::Summary(baseline).c_str());
    bench::Result(figure, bench::Duration(ours.minCpu()) + " / " + bench::Duration(ours.medianCpu()),
                  bench::Duration(baseline.minCpu()) + " / " + bench::Duration(baseline.medianCpu()) +
                      " (decompress + write)",
                  bench::Number(ratio, "%.2f"), "≥ 0.95", bench::Met(ratio >= 0.95 && sameBytes));
}

std::vector<std::pair<std::string, Bytes>> ThousandMembers()
{
    std::vector<std::pair<std::string, Bytes>> members;
    Bytes tiny = PackBlock(Bytes(64, 'x'), Method::kLzo1x1);
    for (int i = 0; i < 1000; ++i) members.push_back({"sprite_" + std::to_string(i) + ".bmp", tiny});
    return members;
}

// The whole directory walked: a miss, and the last entry (with its tiny file).
void NameResolution(int repetitions)
{
    ArchiveOnDisk archive(ThousandMembers());
    TzShoeBox box;
    box.SetArchive(archive.path.c_str());
    auto miss = [&] {
        KvStr name = "absent.bmp";
        box.Extract(name);
    };
    auto last = [&] {
        KvStr name = "sprite_999.bmp";
        if (!box.Extract(name)) std::exit(1);
    };
    bench::Samples missing, found;
    // Many calls per sample: one resolution is far below the clock's grain.
    const int calls = 200;
    bench::Interleave(
        1, repetitions, {&missing, &found}, [&] { for (int i = 0; i < calls; ++i) miss(); },
        [&] { for (int i = 0; i < calls; ++i) last(); });
    bench::Result("name resolution, 1000 members, miss (cpu per call, min / median)",
                  bench::Duration(missing.minCpu() / calls) + " / " + bench::Duration(missing.medianCpu() / calls), "",
                  "", "", "-");
    bench::Result("name resolution, 1000 members, last entry extracted (cpu per call, min / median)",
                  bench::Duration(found.minCpu() / calls) + " / " + bench::Duration(found.medianCpu() / calls), "", "",
                  "", "-");
}

}  // namespace

int main()
{
    const int repetitions = 7;
    const Bytes text = TextLikeBytes(kLargeMember);
    const Bytes picture = PictureLikeBytes(kLargeMember);
    for (Method method : {Method::kLzo1x1, Method::kLzo1x999}) {
        CompareExtraction("text-like", text, method, repetitions);
        CompareExtraction("picture-like", picture, method, repetitions);
    }
    NameResolution(repetitions);
    return 0;
}
