// Drives a fuzz target where libFuzzer is not available (compilers other
// than clang): runs every seed file given on the command line, then a fixed
// number of seeded mutations of them (bit flips, cut ends, copied and
// inserted runs, random lengths) under the sanitizers. Usage:
//   fuzz_<name> [-runs=N] seed-file-or-folder...
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

using Bytes = std::vector<std::uint8_t>;

void AddSeeds(const std::filesystem::path& path, std::vector<Bytes>& seeds)
{
    if (std::filesystem::is_directory(path)) {
        for (const auto& entry : std::filesystem::directory_iterator(path)) AddSeeds(entry.path(), seeds);
        return;
    }
    std::ifstream in(path, std::ios::binary);
    seeds.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes Mutate(Bytes bytes, std::mt19937& random)
{
    const int edits = 1 + static_cast<int>(random() % 4);
    for (int e = 0; e < edits; ++e) {
        const std::size_t size = bytes.size();
        const std::size_t at = size ? random() % size : 0;
        switch (random() % 6) {
        case 0:
            if (size) bytes[at] ^= static_cast<std::uint8_t>(1u << (random() % 8));
            break;
        case 1:
            if (size) bytes[at] = static_cast<std::uint8_t>(random());
            break;
        case 2:
            bytes.resize(at);
            break;
        case 3:
            bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), 1 + random() % 8,
                         static_cast<std::uint8_t>(random()));
            break;
        case 4: {  // an interesting 32-bit value over a count or a colour
            static const std::uint32_t values[] = {0, 1, 255, 256, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0xFFFFFFFE};
            const std::uint32_t v = values[random() % std::size(values)];
            for (int i = 0; i < 4 && at + i < size; ++i) bytes[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
            break;
        }
        default:
            if (size > 1) {
                const std::size_t from = random() % size;
                const std::size_t length = 1 + random() % (size - from);
                Bytes run(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                          bytes.begin() + static_cast<std::ptrdiff_t>(from + length));
                bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), run.begin(), run.end());
            }
            break;
        }
    }
    return bytes;
}

}  // namespace

int main(int argc, char** argv)
{
    long runs = 20000;
    std::vector<Bytes> seeds;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "-runs=", 6) == 0)
            runs = std::strtol(argv[i] + 6, nullptr, 10);
        else if (argv[i][0] != '-')
            AddSeeds(argv[i], seeds);
    }
    if (seeds.empty()) seeds.emplace_back();
    for (const Bytes& seed : seeds) LLVMFuzzerTestOneInput(seed.data(), seed.size());
    std::mt19937 random(12345);
    for (long run = 0; run < runs; ++run) {
        const Bytes input = Mutate(seeds[random() % seeds.size()], random);
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    std::printf("%zu seeds and %ld mutations run\n", seeds.size(), runs);
    return 0;
}
