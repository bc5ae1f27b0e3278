// Test helpers: archives built byte by byte, independently of the packer,
// so that the reader is checked against the format itself; and a scratch
// folder that each test works in.
#pragma once

#include <lzo/lzo1x.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace archive_test {

using Bytes = std::vector<unsigned char>;

inline Bytes ToBytes(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

inline void PutLittleEndian32(Bytes& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

// One packed block: the unpacked length, then the LZO1X-1 stream.
inline Bytes LzoBlock(const Bytes& content)
{
    static const bool initialised = lzo_init() == LZO_E_OK;
    EXPECT_TRUE(initialised);
    Bytes packed(content.size() + content.size() / 16 + 64 + 3);
    Bytes work(LZO1X_1_MEM_COMPRESS);
    lzo_uint packedSize = 0;
    lzo1x_1_compress(content.data(), content.size(), packed.data(), &packedSize, work.data());
    Bytes block;
    PutLittleEndian32(block, static_cast<std::uint32_t>(content.size()));
    block.insert(block.end(), packed.begin(), packed.begin() + static_cast<long>(packedSize));
    return block;
}

inline Bytes RandomBytes(std::size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    Bytes bytes(size);
    for (auto& b : bytes) b = static_cast<unsigned char>(random());
    return bytes;
}

struct Member {
    std::string name;
    Bytes block;  // the packed block as stored
};

struct Layout {
    Bytes prefix;          // bytes before the first member (a program, say)
    bool fromEnd = false;  // offsets counted back from the end of the file
    std::size_t tailPadding = 0;  // ignored bytes between directory and D
};

// Writes prefix, the blocks in order, the directory in order, padding, D.
inline Bytes BuildArchive(const std::vector<Member>& members, const Layout& layout = {})
{
    Bytes file = layout.prefix;
    std::vector<long long> starts;
    for (const Member& member : members) {
        starts.push_back(static_cast<long long>(file.size()));
        file.insert(file.end(), member.block.begin(), member.block.end());
    }
    long long directoryStart = static_cast<long long>(file.size());
    Bytes directory;
    for (std::size_t i = 0; i < members.size(); ++i) {
        directory.push_back(static_cast<unsigned char>(members[i].name.size()));
        directory.insert(directory.end(), members[i].name.begin(), members[i].name.end());
        PutLittleEndian32(directory, 0);  // offset, filled in below
        PutLittleEndian32(directory, static_cast<std::uint32_t>(members[i].block.size()));
    }
    directory.push_back(0);
    long long totalSize = directoryStart + static_cast<long long>(directory.size()) +
                          static_cast<long long>(layout.tailPadding) + 4;
    // Fill in the member offsets now that the total size is known.
    std::size_t at = 0;
    for (std::size_t i = 0; i < members.size(); ++i) {
        at += 1 + members[i].name.size();
        long long offset = layout.fromEnd ? starts[i] - totalSize : starts[i];
        for (int k = 0; k < 4; ++k)
            directory[at + static_cast<std::size_t>(k)] =
                static_cast<unsigned char>(static_cast<std::uint32_t>(offset) >> (8 * k));
        at += 8;
    }
    file.insert(file.end(), directory.begin(), directory.end());
    file.insert(file.end(), layout.tailPadding, 0xEE);
    long long d = layout.fromEnd ? directoryStart - totalSize : directoryStart;
    PutLittleEndian32(file, static_cast<std::uint32_t>(d));
    return file;
}

inline void WriteFile(const std::filesystem::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

inline Bytes ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A fresh folder that becomes the working directory for one test.
class ScratchFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "kvtest-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
        previous = std::filesystem::current_path();
        std::filesystem::current_path(folder);
    }
    void TearDown() override
    {
        std::filesystem::current_path(previous);
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    std::filesystem::path folder;
    std::filesystem::path previous;
};

}  // namespace archive_test
