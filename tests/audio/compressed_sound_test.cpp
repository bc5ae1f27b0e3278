// Ogg Vorbis, MP3 and FLAC files in sound slots: what the mixer really
// plays (recorded through SDL's disk audio driver), and what a damaged file
// of each format leaves behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "audio/mixer_recording.h"
#include "audio/sfx_sound_buffer.h"
#include "audio/sound_commands.h"
#include "audio/sound_file_kind.h"
#include "audio/wave_files.h"
#include "frame/frame.h"

using namespace wavetest;

namespace {

constexpr int kRate = 22050;
// The fixtures: a 440 Hz sine of 0.25 s at half of full scale
// (tests/audio/data/README.md says how they were made).
constexpr double kToneHz = 440;
constexpr double kToneSeconds = 0.25;
constexpr double kToneRms = 0.5 * 32767 / 1.4142135623730951;

std::string Fixture(const std::string& name)
{
    return std::string(KV_SOURCE_DIR) + "/tests/audio/data/" + name;
}

Bytes ReadFixture(const std::string& name)
{
    std::ifstream in(Fixture(name), std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// One stretch of sound in a recording: the frames from the first sounding
// one to the last, where sounds are apart by at least a tenth of a second
// of exact silence.
using Segment = std::vector<StereoFrame>;

std::vector<Segment> Segments(const std::vector<StereoFrame>& frames)
{
    constexpr std::size_t kGap = kRate / 10;
    std::vector<Segment> segments;
    std::size_t start = 0, lastSounding = 0;
    bool inside = false;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const bool sounding = frames[i].left != 0 || frames[i].right != 0;
        if (sounding && !inside) {
            inside = true;
            start = i;
        }
        if (sounding) lastSounding = i;
        if (inside && i - lastSounding >= kGap) {
            segments.emplace_back(frames.begin() + static_cast<long>(start),
                                  frames.begin() + static_cast<long>(lastSounding + 1));
            inside = false;
        }
    }
    if (inside)
        segments.emplace_back(frames.begin() + static_cast<long>(start),
                              frames.begin() + static_cast<long>(lastSounding + 1));
    return segments;
}

double Rms(const Segment& segment, bool left)
{
    double sum = 0;
    for (const StereoFrame& frame : segment) {
        const double value = left ? frame.left : frame.right;
        sum += value * value;
    }
    return segment.empty() ? 0 : std::sqrt(sum / static_cast<double>(segment.size()));
}

// The frequency by upward zero crossings of the left channel (or the right
// one when the left is silent).
double Frequency(const Segment& segment)
{
    const bool left = Rms(segment, true) >= Rms(segment, false);
    int crossings = 0;
    for (std::size_t i = 1; i < segment.size(); ++i) {
        const int before = left ? segment[i - 1].left : segment[i - 1].right;
        const int now = left ? segment[i].left : segment[i].right;
        if (before < 0 && now >= 0) ++crossings;
    }
    return crossings * static_cast<double>(kRate) / static_cast<double>(segment.size());
}

double Seconds(const Segment& segment) { return static_cast<double>(segment.size()) / kRate; }

// The part of a segment louder than a tenth of the tone: a decoder's faint
// noise before and after the tone (MP3's encoder delay) left out.
Segment LoudPart(const Segment& segment)
{
    const int threshold = static_cast<int>(kToneRms / 10);
    auto loud = [threshold](const StereoFrame& frame) {
        return std::abs(int{frame.left}) > threshold || std::abs(int{frame.right}) > threshold;
    };
    std::size_t first = segment.size(), last = 0;
    for (std::size_t i = 0; i < segment.size(); ++i) {
        if (!loud(segment[i])) continue;
        first = std::min(first, i);
        last = i;
    }
    if (first > last) return {};
    return Segment(segment.begin() + static_cast<long>(first), segment.begin() + static_cast<long>(last + 1));
}

// The tone as it should sound: its length (MP3 adds its encoder's delay and
// padding, a few hundredths of a second), its pitch and its loudness, on
// each side scaled by the gain expected there.
void ExpectTone(const Segment& recorded, const std::string& what, double leftGain, double rightGain)
{
    const Segment segment = LoudPart(recorded);
    const double extra = what.find("mp3") != std::string::npos ? 0.04 : 0.01;
    EXPECT_GT(Seconds(segment), kToneSeconds - 0.01) << what;
    EXPECT_LT(Seconds(segment), kToneSeconds + extra) << what;
    EXPECT_NEAR(Frequency(segment), kToneHz, kToneHz * 0.05) << what;
    EXPECT_NEAR(Rms(segment, true), leftGain * kToneRms, 0.15 * kToneRms + 2) << what;
    EXPECT_NEAR(Rms(segment, false), rightGain * kToneRms, 0.15 * kToneRms + 2) << what;
}

}  // namespace

TEST(CompressedSound, EachFormatPlaysAsItsTone)
{
    TempFolder folder;
    setenv("KV_SOUND_LOG", folder.PathOf("sounds.log").c_str(), 1);
    MixerRecording recording(folder);
    const std::vector<std::string> files = {"tone.ogg", "tone.mp3", "tone.flac"};
    for (std::size_t i = 0; i < files.size(); ++i) {
        LOADSOUND(Fixture(files[i]).c_str(), static_cast<double>(i), 1);
        ASSERT_EQ(DXwav[i].CopyCount(), 1) << files[i];
        PLAYSOUND(static_cast<double>(i), 0, 1);
        recording.WaitUntilSilent();
    }
    const auto segments = Segments(recording.Finish());
    ASSERT_EQ(segments.size(), files.size());
    for (std::size_t i = 0; i < files.size(); ++i) ExpectTone(segments[i], files[i], 1, 1);

    // The sound log gives each decoded length in frames at the device's
    // rate, as it does for a wave file.
    std::ifstream log(folder.PathOf("sounds.log"));
    std::vector<long> lengths;
    long frame = 0, channel = 0, length = 0;
    std::string play, once;
    while (log >> frame >> play >> channel >> length >> once) lengths.push_back(length);
    ASSERT_EQ(lengths.size(), 3u);
    EXPECT_NEAR(lengths[0], kToneSeconds * kRate, 2);
    EXPECT_GE(lengths[1], kToneSeconds * kRate);
    EXPECT_LT(lengths[1], (kToneSeconds + 0.08) * kRate);
    EXPECT_NEAR(lengths[2], kToneSeconds * kRate, 2);
}

TEST(CompressedSound, PanAndVolumeWorkAsForWaveFiles)
{
    TempFolder folder;
    MixerRecording recording(folder);
    for (const char* file : {"tone.mp3", "tone.flac"}) {
        LOADSOUND(Fixture(file).c_str(), 3, 1);
        PLAYSOUND(3, 1, 1);     // full right
        recording.WaitUntilSilent();
        PLAYSOUND(3, -1, 0.5);  // full left, at half the amplitude
        recording.WaitUntilSilent();
    }
    LOADSOUND(Fixture("tone.ogg").c_str(), 3, 1);
    PLAYSOUND(3, 0, 0.25);
    recording.WaitUntilSilent();
    const auto segments = Segments(recording.Finish());
    ASSERT_EQ(segments.size(), 5u);
    ExpectTone(segments[0], "tone.mp3 right", 0, 1);
    ExpectTone(segments[1], "tone.mp3 left, half", 0.5, 0);
    ExpectTone(segments[2], "tone.flac right", 0, 1);
    ExpectTone(segments[3], "tone.flac left, half", 0.5, 0);
    ExpectTone(segments[4], "tone.ogg quarter", 0.25, 0.25);
    // A full pan silences the other side completely.
    EXPECT_EQ(Rms(segments[0], true), 0);
    EXPECT_EQ(Rms(segments[1], false), 0);
}

TEST(CompressedSound, CopiesSoundTogetherAsForWaveFiles)
{
    TempFolder folder;
    MixerRecording recording(folder);
    LOADSOUND(Fixture("tone.ogg").c_str(), 127, 2);
    LOADSOUND(Fixture("tone.ogg").c_str(), 200, 3);  // slot 127 again, now with 3 copies
    ASSERT_EQ(DXwav[127].CopyCount(), 3);
    LOADSOUND(Fixture("tone.flac").c_str(), 9, 1);
    ASSERT_EQ(DXwav[9].CopyCount(), 1);
    // At 0.3 each, three together stay below full scale.
    for (int play = 0; play < 3; ++play) PLAYSOUND(127, 0, 0.3);
    for (int copy = 0; copy < 3; ++copy) EXPECT_TRUE(DXwav[127].CopyIsPlaying(copy)) << copy;
    recording.WaitUntilSilent();
    PLAYSOUND(9, 0, 1);
    PLAYSOUND(9, 0, 1);  // one copy: not restarted while it plays
    recording.WaitUntilSilent();
    const auto segments = Segments(recording.Finish());
    ASSERT_EQ(segments.size(), 2u);
    // Three copies started together sound as one tone three times as loud.
    ExpectTone(segments[0], "tone.ogg three copies", 0.9, 0.9);
    EXPECT_GT(Rms(LoudPart(segments[0]), true), 0.6 * kToneRms);
    ExpectTone(segments[1], "tone.flac once", 1, 1);
}

TEST(CompressedSound, DamagedFilesLeaveTheSlotEmptyWithAMessage)
{
    TempFolder folder;
    MixerRecording recording(folder);
    struct Damage {
        std::string name;
        Bytes bytes;
    };
    std::vector<Damage> damaged;
    for (const char* format : {"ogg", "mp3", "flac"}) {
        const Bytes whole = ReadFixture(std::string("tone.") + format);
        ASSERT_GT(whole.size(), 100u) << format;
        // Cut inside the headers.
        damaged.push_back({std::string("cut.") + format, Bytes(whole.begin(), whole.begin() + 60)});
        // The format's first bytes, then noise.
        Bytes garbage(whole.begin(), whole.begin() + 4);
        unsigned state = 12345;
        while (garbage.size() < whole.size()) {
            state = state * 1103515245u + 12345u;
            garbage.push_back(static_cast<std::uint8_t>(state >> 16));
        }
        damaged.push_back({std::string("noise.") + format, garbage});
    }
    // A FLAC file whose frames are cut off decodes to nothing at all.
    const Bytes flac = ReadFixture("tone.flac");
    damaged.push_back({"half.flac", Bytes(flac.begin(), flac.begin() + static_cast<long>(flac.size() / 2))});
    // Only the magic.
    damaged.push_back({"magic.ogg", Bytes{'O', 'g', 'g', 'S'}});

    int slot = 0;
    for (const Damage& file : damaged) {
        // A good sound first, so an empty slot means the damaged load emptied it.
        LOADSOUND(Fixture("tone.ogg").c_str(), slot, 2);
        ASSERT_EQ(DXwav[slot].CopyCount(), 2);
        testing::internal::CaptureStderr();
        LOADSOUND(folder.Write(file.name, file.bytes).c_str(), slot, 2);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(DXwav[slot].CopyCount(), 0) << file.name;
        EXPECT_NE(said.find("sound " + folder.PathOf(file.name) + " cannot be read: the "), std::string::npos)
            << file.name << ": " << said;
        if (file.name == "half.flac") {
            EXPECT_NE(said.find("decodes to no sound"), std::string::npos) << said;
        }
        PLAYSOUND(slot, 0, 1);  // plays nothing
        ++slot;
    }
    recording.WaitUntilSilent();
    EXPECT_EQ(CountNonSilent(recording.Finish()), 0);
}

TEST(CompressedSound, FirstBytesChooseTheReader)
{
    auto kindOf = [](std::initializer_list<unsigned char> head) {
        const std::vector<unsigned char> bytes(head);
        return SoundFileKindOf(bytes.data(), bytes.size());
    };
    EXPECT_EQ(kindOf({'O', 'g', 'g', 'S'}), SoundFileKind::OggVorbis);
    EXPECT_EQ(kindOf({'f', 'L', 'a', 'C'}), SoundFileKind::Flac);
    EXPECT_EQ(kindOf({'I', 'D', '3'}), SoundFileKind::Mp3);
    EXPECT_EQ(kindOf({0xFF, 0xFB, 0x90, 0x64}), SoundFileKind::Mp3);  // MPEG-1 layer III, 128 kbit/s
    EXPECT_EQ(kindOf({0xFF, 0xF3, 0x40, 0xC4}), SoundFileKind::Mp3);  // MPEG-2, as tone.mp3 starts
    // Sync bits with a reserved version, layer, bit rate or sample rate, or
    // cut short: not MP3, so read as a wave file as before.
    EXPECT_EQ(kindOf({0xFF, 0xEB, 0x90, 0x64}), SoundFileKind::Wave);
    EXPECT_EQ(kindOf({0xFF, 0xF9, 0x90, 0x64}), SoundFileKind::Wave);
    EXPECT_EQ(kindOf({0xFF, 0xFB, 0xF0, 0x64}), SoundFileKind::Wave);
    EXPECT_EQ(kindOf({0xFF, 0xFB, 0x9C, 0x64}), SoundFileKind::Wave);
    EXPECT_EQ(kindOf({0xFF, 0xFB, 0x90}), SoundFileKind::Wave);
    EXPECT_EQ(kindOf({'R', 'I', 'F', 'F'}), SoundFileKind::Wave);
    EXPECT_EQ(kindOf({'O', 'g', 'g'}), SoundFileKind::Wave);
    EXPECT_EQ(kindOf({}), SoundFileKind::Wave);
}
