// Music: PLAYMUSIC through the media box, STOPMUSIC, and the once-a-frame
// repeat inside SHOWSCREEN, checked against what the mixer really played.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "audio/music_commands.h"
#include "commands.h"
#include "media/runtime_fixture.h"

using namespace mediatest;

namespace {

constexpr std::int16_t kPieceValue = 5000;
constexpr int kRate = 22050;

class MusicTest : public MediaRuntimeTest {};

TEST_F(MusicTest, MissingNameReturnsThreeAndLeavesNoMusic)
{
    Start();
    WriteConstantWav(m_folder.Path("long.wav"), kPieceValue, kRate * 4);
    ASSERT_EQ(PLAYMUSIC(m_folder.Path("long.wav").c_str()), 0);
    ASSERT_NE(wnd_mp3, nullptr);
    SleepSeconds(0.3);

    // The earlier piece is stopped even though the new name leads nowhere.
    EXPECT_EQ(PLAYMUSIC(m_folder.Path("nowhere.ogg").c_str()), 3);
    EXPECT_EQ(wnd_mp3, nullptr);
    EXPECT_EQ(g_error, 0) << "a missing piece is no runtime error";
    SleepSeconds(0.5);

    const std::vector<StereoFrame> frames = FinishRecording();
    // About 0.3 s of the 4 s piece were heard, nothing after the stop.
    const int heard = CountFrames(frames, kPieceValue);
    EXPECT_GT(heard, kRate / 10);
    EXPECT_LT(heard, kRate * 1);
}

TEST_F(MusicTest, APieceThatEndedStartsAgainAtTheNextShowscreenOnly)
{
    Start();
    const int pieceFrames = kRate / 5;  // 0.2 s
    WriteConstantWav(m_folder.Path("short.wav"), kPieceValue, pieceFrames);
    ASSERT_EQ(PLAYMUSIC(m_folder.Path("short.wav").c_str()), 0);
    // Long past its end, with no frame presented: it waits there.
    SleepSeconds(0.6);
    ASSERT_NE(wnd_mp3, nullptr);
    EXPECT_FALSE(platform::MusicIsPlaying(wnd_mp3));
    SHOWSCREEN();
    EXPECT_TRUE(platform::MusicIsPlaying(wnd_mp3)) << "SHOWSCREEN starts the ended piece again";
    SleepSeconds(0.6);

    const std::vector<StereoFrame> frames = FinishRecording();
    // Exactly two whole plays, apart from each other.
    EXPECT_EQ(CountRuns(frames, kPieceValue, pieceFrames - 2), 2);
    EXPECT_NEAR(CountFrames(frames, kPieceValue), 2 * pieceFrames, 8);
}

TEST_F(MusicTest, AFramePresentedWhileThePiecePlaysDoesNotRestartIt)
{
    Start();
    const int pieceFrames = kRate / 2;  // 0.5 s
    WriteConstantWav(m_folder.Path("half.wav"), kPieceValue, pieceFrames);
    ASSERT_EQ(PLAYMUSIC(m_folder.Path("half.wav").c_str()), 0);
    for (int i = 0; i < 5; ++i) {
        SHOWSCREEN();
        SleepSeconds(0.02);
    }
    SleepSeconds(0.8);
    const std::vector<StereoFrame> frames = FinishRecording();
    EXPECT_EQ(CountRuns(frames, kPieceValue, 100), 1);
    EXPECT_NEAR(CountFrames(frames, kPieceValue), pieceFrames, 8);
}

TEST_F(MusicTest, StopmusicSilencesIt)
{
    Start();
    WriteConstantWav(m_folder.Path("long.wav"), kPieceValue, kRate * 3);
    ASSERT_EQ(PLAYMUSIC(m_folder.Path("long.wav").c_str()), 0);
    SleepSeconds(0.3);
    EXPECT_EQ(STOPMUSIC(), 0);
    EXPECT_EQ(wnd_mp3, nullptr);
    // Frames go on; nothing brings the stopped music back.
    SHOWSCREEN();
    SleepSeconds(0.5);
    SHOWSCREEN();
    const std::vector<StereoFrame> frames = FinishRecording();
    const int heard = CountFrames(frames, kPieceValue);
    EXPECT_GT(heard, kRate / 10);
    EXPECT_LT(heard, kRate * 6 / 10);
    EXPECT_EQ(STOPMUSIC(), 0) << "stopping twice is harmless";
}

TEST_F(MusicTest, AFileThatCannotBeDecodedStaysSilent)
{
    Start();
    WriteBytes(m_folder.Path("noise.wav"), std::vector<std::uint8_t>(300, 0x5A));
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(PLAYMUSIC(m_folder.Path("noise.wav").c_str()), 0);
    SHOWSCREEN();
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("cannot be played"), std::string::npos) << said;
    EXPECT_FALSE(platform::MusicIsPlaying(wnd_mp3));
    SleepSeconds(0.2);
    const std::vector<StereoFrame> frames = FinishRecording();
    EXPECT_EQ(CountFrames(frames, 0), static_cast<int>(frames.size()));
}

// Compressed pieces: what the mixer played sounds as long as the piece,
// about as loud as it was made.
TEST_F(MusicTest, OggFlacAndMp3PiecesPlay)
{
    Start();
    struct Kind {
        const char* file;
        const char* container;
        const char* codec;
    };
    const Kind kinds[] = {{"piece.ogg", "ogg", "libvorbis"}, {"piece.flac", "flac", "flac"},
                          {"piece.mp3", "mp3", "libmp3lame"}};
    for (const Kind& kind : kinds) {
        std::string why;
        ASSERT_TRUE(WriteEncodedSine(m_folder.Path(kind.file), kind.container, kind.codec, 8000, kRate / 2, &why))
            << kind.file << ": " << why;
    }
    for (const Kind& kind : kinds) {
        ASSERT_EQ(PLAYMUSIC(m_folder.Path(kind.file).c_str()), 0) << kind.file;
        SleepSeconds(0.8);  // past its end: no frame restarts it
    }
    const std::vector<StereoFrame> frames = FinishRecording();
    // Three pieces of 0.5 s, each once; encoders may add a little silence.
    int loud = 0, largest = 0;
    for (const StereoFrame& f : frames) {
        const int a = std::abs(int{f.left});
        largest = std::max(largest, a);
        if (a > 100) ++loud;
    }
    EXPECT_GT(largest, 7000);
    EXPECT_LT(largest, 9500);
    // A 441 Hz sine is above 100 for about 99 % of its samples.
    EXPECT_NEAR(loud, 3 * kRate / 2, kRate / 4);
}

}  // namespace
