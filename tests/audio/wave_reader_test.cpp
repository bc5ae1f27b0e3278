// The wave reader: which files it accepts, where it finds the samples, and
// how it refuses damaged headers without reading past the end.
#include <gtest/gtest.h>

#include <cstdio>

#include "audio/wave_files.h"
#include "audio/wave_reader.h"

using namespace wavetest;

namespace {

// Runs the header reader over the bytes of a file.
bool ReadHeader(const Bytes& file, WaveDataChunk& data)
{
    TempFolder folder;
    std::FILE* in = std::fopen(folder.Write("sound.wav", file).c_str(), "rb");
    if (in == nullptr) return false;
    const bool accepted = ReadWaveHeader(in, data);
    std::fclose(in);
    return accepted;
}

bool Accepts(const Bytes& file)
{
    WaveDataChunk data;
    return ReadHeader(file, data);
}

const Bytes kFrames = ConstantFrames16({1000, -1000}, 100);

}  // namespace

TEST(WaveReader, PlainPcmFileFindsFormatAndSamples)
{
    WaveDataChunk data;
    ASSERT_TRUE(ReadHeader(BuildWave({}, kFrames), data));
    EXPECT_EQ(data.format.channels, 2);
    EXPECT_EQ(data.format.fileChannels, 2);
    EXPECT_EQ(data.format.samplesPerSecond, 22050);
    EXPECT_EQ(data.format.blockAlign, 4);
    EXPECT_EQ(data.format.bitsPerSample, 16);
    EXPECT_EQ(data.format.BytesPerSecond(), 88200);
    EXPECT_EQ(data.position, 44);
    EXPECT_EQ(data.size, kFrames.size());
}

TEST(WaveReader, LongerFormatChunkAndFactChunkMoveTheSamples)
{
    WaveLayout layout;
    layout.formatBytes = 18;
    WaveDataChunk data;
    ASSERT_TRUE(ReadHeader(BuildWave(layout, kFrames), data));
    EXPECT_EQ(data.position, 46);

    layout.factChunk = true;
    ASSERT_TRUE(ReadHeader(BuildWave(layout, kFrames), data));
    EXPECT_EQ(data.position, 46 + 12);
    EXPECT_EQ(data.size, kFrames.size());
}

TEST(WaveReader, AnyOtherChunkBeforeDataIsRefused)
{
    WaveLayout layout;
    layout.listChunk = true;
    EXPECT_FALSE(Accepts(BuildWave(layout, kFrames)));
    layout.factChunk = true;  // "fact" then "LIST": still not "data"
    EXPECT_FALSE(Accepts(BuildWave(layout, kFrames)));
}

TEST(WaveReader, MonoStaysMonoAndMoreChannelsPlayAsStereo)
{
    WaveLayout layout;
    layout.channels = 1;
    WaveDataChunk data;
    ASSERT_TRUE(ReadHeader(BuildWave(layout, ConstantFrames16({5}, 10)), data));
    EXPECT_EQ(data.format.channels, 1);

    layout.channels = 4;
    ASSERT_TRUE(ReadHeader(BuildWave(layout, ConstantFrames16({1, 2, 3, 4}, 10)), data));
    EXPECT_EQ(data.format.fileChannels, 4);
    EXPECT_EQ(data.format.channels, 2);
    EXPECT_EQ(data.format.blockAlign, 8);
}

TEST(WaveReader, OnlyPcmFormatsAreAccepted)
{
    WaveLayout layout;
    layout.formatTag = 3;  // floating point
    EXPECT_FALSE(Accepts(BuildWave(layout, kFrames)));
    layout.formatTag = 2;  // ADPCM
    EXPECT_FALSE(Accepts(BuildWave(layout, kFrames)));

    layout.formatTag = 0xFFFE;  // extensible with a PCM sub-format
    layout.formatBytes = 40;
    WaveDataChunk data;
    ASSERT_TRUE(ReadHeader(BuildWave(layout, kFrames), data));
    EXPECT_EQ(data.position, 68);
    layout.extensibleSubFormat = 3;  // extensible floating point
    EXPECT_FALSE(Accepts(BuildWave(layout, kFrames)));
    layout.extensibleSubFormat = 1;
    layout.formatBytes = 16;  // extensible tag without its extension
    EXPECT_FALSE(Accepts(BuildWave(layout, kFrames)));

    layout = {};
    layout.bitsPerSample = 24;
    EXPECT_FALSE(Accepts(BuildWave(layout, kFrames)));
    layout.bitsPerSample = 8;
    layout.blockAlign = 2;
    EXPECT_TRUE(Accepts(BuildWave(layout, kFrames)));
}

TEST(WaveReader, ShortFilesAreRefused)
{
    const Bytes whole = BuildWave({}, kFrames);
    EXPECT_FALSE(Accepts({}));
    EXPECT_FALSE(Accepts(Bytes(whole.begin(), whole.begin() + 35)));
    EXPECT_FALSE(Accepts(Bytes(whole.begin(), whole.begin() + 36)));  // no data header
    EXPECT_FALSE(Accepts(Bytes(whole.begin(), whole.begin() + 43)));  // cut data header
}

TEST(WaveReader, FormatChunkSizeOutOfRangeIsRefused)
{
    WaveLayout layout;
    layout.formatBytes = 14;
    layout.formatBodyBytes = 16;
    EXPECT_FALSE(Accepts(BuildWave(layout, kFrames)));
    layout.formatBytes = 0;
    EXPECT_FALSE(Accepts(BuildWave(layout, kFrames)));
    layout.formatBytes = 100000;  // far past the end of the file
    EXPECT_FALSE(Accepts(BuildWave(layout, kFrames)));
    layout.formatBytes = 0xFFFFFFFF;
    EXPECT_FALSE(Accepts(BuildWave(layout, kFrames)));
}

TEST(WaveReader, DataChunkLongerThanTheFileIsRefused)
{
    WaveLayout layout;
    layout.dataBytesField = static_cast<std::int64_t>(kFrames.size()) + 1;
    EXPECT_FALSE(Accepts(BuildWave(layout, kFrames)));
    layout.dataBytesField = 0xFFFFFFFF;
    EXPECT_FALSE(Accepts(BuildWave(layout, kFrames)));
    // A shorter size is fine: the rest of the file is not samples.
    layout.dataBytesField = 40;
    WaveDataChunk data;
    ASSERT_TRUE(ReadHeader(BuildWave(layout, kFrames), data));
    EXPECT_EQ(data.size, 40u);
}

TEST(WaveReader, FactChunkLongerThanTheFileIsRefused)
{
    Bytes file = BuildWave({}, kFrames);
    // Turn the data chunk into a "fact" chunk whose body runs past the end.
    std::copy_n("fact", 4, file.begin() + 36);
    file[40] = 0xFF, file[41] = 0xFF, file[42] = 0xFF, file[43] = 0x7F;
    EXPECT_FALSE(Accepts(file));
}

TEST(WaveReader, ImpossibleFormatsAreRefused)
{
    WaveLayout layout;
    layout.channels = 0;
    layout.blockAlign = 4;
    EXPECT_FALSE(Accepts(BuildWave(layout, kFrames)));
    layout = {};
    layout.blockAlign = 0;
    EXPECT_FALSE(Accepts(BuildWave(layout, kFrames)));
    layout.blockAlign = 2;  // smaller than the two 16-bit channels played
    EXPECT_FALSE(Accepts(BuildWave(layout, kFrames)));
    layout = {};
    layout.samplesPerSecond = 0;
    EXPECT_FALSE(Accepts(BuildWave(layout, kFrames)));
    layout.samplesPerSecond = 0xFFFFFFFF;
    EXPECT_FALSE(Accepts(BuildWave(layout, kFrames)));
    layout = {};
    EXPECT_FALSE(Accepts(BuildWave(layout, Bytes{})));       // no samples at all
    EXPECT_FALSE(Accepts(BuildWave(layout, Bytes{1, 2, 3})));  // less than one frame
}

TEST(WaveReader, ReadsBytesFromAPositionOrFromWhereTheFileIs)
{
    TempFolder folder;
    std::FILE* in = std::fopen(folder.Write("bytes", Bytes{10, 11, 12, 13, 14}).c_str(), "rb");
    ASSERT_NE(in, nullptr);
    unsigned char out[4] = {};
    EXPECT_EQ(ReadWaveBytes(in, 2, 3, out), 2u);
    EXPECT_EQ(out[0], 13);
    EXPECT_EQ(out[1], 14);
    EXPECT_EQ(ReadWaveBytes(in, 2, 1, out), 2u);
    EXPECT_EQ(ReadWaveBytes(in, 1, -1, out), 1u);
    EXPECT_EQ(out[0], 13);
    EXPECT_EQ(ReadWaveBytes(in, 4, 3, out), 2u);  // short read
    EXPECT_EQ(ReadWaveBytes(in, 1, -5, out), 0u);
    std::fclose(in);
}

TEST(WaveReader, PackingKeepsTheFirstTwoChannelsOfWholeFrames)
{
    WaveFormat format;
    format.fileChannels = 3;
    format.channels = 2;
    format.bitsPerSample = 8;
    format.blockAlign = 3;
    const unsigned char samples[] = {1, 2, 3, 4, 5, 6, 7, 8};  // two frames and a bit
    const std::vector<unsigned char> packed = PackPlayedChannels(format, samples, sizeof samples);
    EXPECT_EQ(packed, (std::vector<unsigned char>{1, 2, 4, 5}));

    format.fileChannels = format.channels = 1;
    format.blockAlign = 1;
    EXPECT_EQ(PackPlayedChannels(format, samples, 3), (std::vector<unsigned char>{1, 2, 3}));
    EXPECT_TRUE(PackPlayedChannels(format, samples, 0).empty());
}
