// Media archive speed: extracting a 10 MiB member through a box, against a
// bare lzo1x_decompress_safe of the same block in the same run, and name
// resolution in an archive of 1000 members.
#include <benchmark/benchmark.h>

#include <lzo/lzo1x.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "files/shoebox.h"
#include "files/shoebox_archive.h"

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

namespace {

// Media-like content: runs and repeats mixed with noise.
Bytes MediaLikeBytes(std::size_t size)
{
    std::mt19937 random(42);
    Bytes bytes(size);
    for (std::size_t i = 0; i < size;) {
        std::size_t run = 1 + random() % 64;
        auto value = static_cast<unsigned char>(random());
        bool noise = random() % 3 == 0;
        for (std::size_t k = 0; k < run && i < size; ++k, ++i)
            bytes[i] = noise ? static_cast<unsigned char>(random()) : value;
    }
    return bytes;
}

Bytes PackBlock(const Bytes& content)
{
    lzo_init();
    Bytes block(4 + content.size() + content.size() / 16 + 67);
    WriteLittleEndian32(block.data(), static_cast<std::uint32_t>(content.size()));
    Bytes work(LZO1X_1_MEM_COMPRESS);
    lzo_uint packed = 0;
    lzo1x_1_compress(content.data(), content.size(), block.data() + 4, &packed, work.data());
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

constexpr std::size_t kLargeMember = 10u << 20;

double BareDecompressSeconds(const Bytes& block, int rounds)
{
    Bytes out(kLargeMember);
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i) {
        lzo_uint written = out.size();
        lzo1x_decompress_safe(block.data() + 4, block.size() - 4, out.data(), &written, nullptr);
        benchmark::DoNotOptimize(out.data());
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / rounds;
}

void BM_BareDecompress10MiB(benchmark::State& state)
{
    Bytes block = PackBlock(MediaLikeBytes(kLargeMember));
    Bytes out(kLargeMember);
    for (auto _ : state) {
        lzo_uint written = out.size();
        lzo1x_decompress_safe(block.data() + 4, block.size() - 4, out.data(), &written, nullptr);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kLargeMember));
}
BENCHMARK(BM_BareDecompress10MiB)->Unit(benchmark::kMillisecond);

// Reading the block, unpacking it and writing the temporary file; the
// counter "vs_bare" is this time over the bare decompression's.
void BM_Extract10MiB(benchmark::State& state)
{
    Bytes block = PackBlock(MediaLikeBytes(kLargeMember));
    ArchiveOnDisk archive({{"big.bmp", block}});
    TzShoeBox box;
    box.SetArchive(archive.path.c_str());
    auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        KvStr name = "big.bmp";
        if (!box.Extract(name)) state.SkipWithError("member not found");
    }
    double perExtract = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
                        static_cast<double>(state.iterations());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kLargeMember));
    state.counters["vs_bare"] = perExtract / BareDecompressSeconds(block, 5);
}
BENCHMARK(BM_Extract10MiB)->Unit(benchmark::kMillisecond);

std::vector<std::pair<std::string, Bytes>> ThousandMembers()
{
    std::vector<std::pair<std::string, Bytes>> members;
    Bytes tiny = PackBlock(Bytes(64, 'x'));
    for (int i = 0; i < 1000; ++i) members.push_back({"sprite_" + std::to_string(i) + ".bmp", tiny});
    return members;
}

// The whole directory walked without a match: the cost of resolution alone.
void BM_ResolveMissIn1000(benchmark::State& state)
{
    ArchiveOnDisk archive(ThousandMembers());
    TzShoeBox box;
    box.SetArchive(archive.path.c_str());
    for (auto _ : state) {
        KvStr name = "absent.bmp";
        benchmark::DoNotOptimize(box.Extract(name));
    }
}
BENCHMARK(BM_ResolveMissIn1000)->Unit(benchmark::kMicrosecond);

// The last entry of 1000, extracted: walk plus a tiny member's file.
void BM_ResolveLastOf1000(benchmark::State& state)
{
    ArchiveOnDisk archive(ThousandMembers());
    TzShoeBox box;
    box.SetArchive(archive.path.c_str());
    for (auto _ : state) {
        KvStr name = "sprite_999.bmp";
        if (!box.Extract(name)) state.SkipWithError("member not found");
    }
}
BENCHMARK(BM_ResolveLastOf1000)->Unit(benchmark::kMicrosecond);

}  // namespace
