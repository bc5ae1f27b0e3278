#include "files/tz_compression.h"

#include <gtest/gtest.h>

#include <cstring>

#include "archive_bytes.h"

using namespace archive_test;

namespace {

Bytes Unpacked(const TzCompression& unpacker)
{
    return Bytes(unpacker.Output(), unpacker.Output() + unpacker.OutputLength());
}

// Rewrites the announced length of a block.
Bytes WithAnnouncedLength(Bytes block, std::uint32_t length)
{
    for (int i = 0; i < 4; ++i) block[static_cast<std::size_t>(i)] = static_cast<unsigned char>(length >> (8 * i));
    return block;
}

}  // namespace

TEST(TzCompressionTest, UnpacksExactlyTheAnnouncedBytes)
{
    Bytes content = ToBytes("0123456789");
    Bytes block = LzoBlock(content);
    TzCompression unpacker;
    unpacker.SetMode(TzCompression::kModeLzo);
    EXPECT_EQ(unpacker.UnPack(block.data(), block.size()), 10);
    EXPECT_TRUE(unpacker.Complete());
    EXPECT_EQ(Unpacked(unpacker), content);
}

TEST(TzCompressionTest, RoundTripsRepetitiveAndRandomData)
{
    Bytes repetitive;
    for (int i = 0; i < 200000; ++i) repetitive.push_back(static_cast<unsigned char>("Zorvelin"[i % 8]));
    for (const Bytes& content : {repetitive, RandomBytes(150000, 3), Bytes(4 << 20, 0)}) {
        Bytes block = LzoBlock(content);
        TzCompression unpacker;
        unpacker.SetMode(TzCompression::kModeLzo);
        ASSERT_EQ(unpacker.UnPack(block.data(), block.size()), static_cast<int>(content.size()));
        EXPECT_EQ(Unpacked(unpacker), content);
    }
}

TEST(TzCompressionTest, AllZeroMemberStaysWithinTheExpansionCap)
{
    // The densest stream the packer makes must never hit the cap on lies.
    Bytes block = LzoBlock(Bytes(8 << 20, 0));
    EXPECT_LE(8u << 20, TzCompression::MaxUnpackedSize(block.size() - 4));
}

TEST(TzCompressionTest, EmptyMemberIsCompleteWithNoBytes)
{
    Bytes block = LzoBlock(Bytes());
    TzCompression unpacker;
    unpacker.SetMode(TzCompression::kModeLzo);
    EXPECT_EQ(unpacker.UnPack(block.data(), block.size()), 0);
    EXPECT_TRUE(unpacker.Complete());
    EXPECT_EQ(unpacker.OutputLength(), 0);
}

TEST(TzCompressionTest, ShortAnnouncedLengthStopsAtCapacity)
{
    Bytes content = RandomBytes(500, 11);
    Bytes block = WithAnnouncedLength(LzoBlock(content), 100);
    TzCompression unpacker;
    unpacker.SetMode(TzCompression::kModeLzo);
    EXPECT_EQ(unpacker.UnPack(block.data(), block.size()), 0);
    EXPECT_FALSE(unpacker.Complete());
    EXPECT_LE(unpacker.OutputLength(), 100);
    // What was decoded before the stop is the start of the member.
    EXPECT_EQ(0, std::memcmp(unpacker.Output(), content.data(), static_cast<std::size_t>(unpacker.OutputLength())));
}

TEST(TzCompressionTest, LongerAnnouncedLengthKeepsTheDecodedBytes)
{
    // The decoder's verdict counts: the stream itself is whole.
    Bytes content = ToBytes("short member");
    Bytes block = WithAnnouncedLength(LzoBlock(content), 40);
    TzCompression unpacker;
    unpacker.SetMode(TzCompression::kModeLzo);
    EXPECT_EQ(unpacker.UnPack(block.data(), block.size()), static_cast<int>(content.size()));
    EXPECT_EQ(Unpacked(unpacker), content);
}

TEST(TzCompressionTest, LyingHeaderIsRefusedWithoutAllocating)
{
    Bytes block = LzoBlock(ToBytes("tiny"));
    std::uint64_t cap = TzCompression::MaxUnpackedSize(block.size() - 4);
    for (std::uint32_t lie : {static_cast<std::uint32_t>(cap + 1), 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        Bytes lying = WithAnnouncedLength(block, lie);
        TzCompression unpacker;
        unpacker.SetMode(TzCompression::kModeLzo);
        EXPECT_EQ(unpacker.UnPack(lying.data(), lying.size()), 0) << lie;
        EXPECT_FALSE(unpacker.Complete());
        EXPECT_EQ(unpacker.Output(), nullptr);
        EXPECT_EQ(unpacker.OutputLength(), 0);
    }
}

TEST(TzCompressionTest, CorruptAndTruncatedStreamsFail)
{
    Bytes content = RandomBytes(3000, 5);
    for (std::size_t i = 0; i < 3000; i += 7) content[i] = 'a';  // some matches
    Bytes block = LzoBlock(content);

    Bytes truncated(block.begin(), block.begin() + static_cast<long>(block.size() / 2));
    Bytes trailingJunk = block;
    trailingJunk.push_back(0x42);
    Bytes flipped = block;
    flipped[4] ^= 0xFF;
    for (const Bytes& bad : {truncated, trailingJunk, flipped}) {
        TzCompression unpacker;
        unpacker.SetMode(TzCompression::kModeLzo);
        EXPECT_EQ(unpacker.UnPack(bad.data(), bad.size()), 0);
        EXPECT_FALSE(unpacker.Complete());
        EXPECT_LE(unpacker.OutputLength(), 3000);
    }
}

TEST(TzCompressionTest, BlockWithoutHeaderOrModeFails)
{
    Bytes block = LzoBlock(ToBytes("abc"));
    TzCompression unpacker;
    unpacker.SetMode(TzCompression::kModeLzo);
    EXPECT_EQ(unpacker.UnPack(block.data(), 3), 0);
    EXPECT_EQ(unpacker.UnPack(nullptr, 0), 0);
    EXPECT_FALSE(unpacker.Complete());

    TzCompression noMode;
    EXPECT_EQ(noMode.UnPack(block.data(), block.size()), 0);
    EXPECT_FALSE(noMode.Complete());
}

TEST(TzCompressionTest, SecondUnPackReplacesTheFirstAndClearEmpties)
{
    Bytes first = LzoBlock(ToBytes("first member, rather long"));
    Bytes second = LzoBlock(ToBytes("2nd"));
    TzCompression unpacker;
    unpacker.SetMode(TzCompression::kModeLzo);
    ASSERT_EQ(unpacker.UnPack(first.data(), first.size()), 25);
    ASSERT_EQ(unpacker.UnPack(second.data(), second.size()), 3);
    EXPECT_EQ(Unpacked(unpacker), ToBytes("2nd"));
    unpacker.Clear();
    EXPECT_EQ(unpacker.Output(), nullptr);
    EXPECT_EQ(unpacker.OutputLength(), 0);
    EXPECT_EQ(unpacker.Mode(), TzCompression::kModeLzo);
}
