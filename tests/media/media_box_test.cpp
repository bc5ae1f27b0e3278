// Music and video found in the media archive: both are unpacked through the
// media box, and the music goes on playing from its unpacked file while the
// video is unpacked through the same box (which removes the music's file).
#include <gtest/gtest.h>

#include "audio/music_commands.h"
#include "audio/video_commands.h"
#include "commands.h"
#include "files/archive_bytes.h"
#include "files/shoebox.h"
#include "media/runtime_fixture.h"

using namespace mediatest;

namespace {

class MediaBoxTest : public MediaRuntimeTest {};

TEST_F(MediaBoxTest, ArchivedMusicKeepsPlayingWhileAnArchivedVideoPlays)
{
    Start({"1 screenshot " + m_folder.Path("shot.bmp")});
    // The members, made on disk first and then packed into an archive.
    WriteConstantWav(m_folder.Path("made_song.wav"), 1500, 22050 * 5);
    VideoRecipe recipe;
    recipe.pictures = 40;
    recipe.withSound = true;
    recipe.soundValue = 2500;
    recipe.colours = {{0, 0, 255}};
    std::string why;
    ASSERT_TRUE(WriteVideo(m_folder.Path("made_clip.nut"), recipe, &why)) << why;
    using archive_test::LzoBlock;
    const std::vector<archive_test::Member> members{
        {"song.wav", LzoBlock(archive_test::ReadFile(m_folder.Path("made_song.wav")))},
        {"clip.nut", LzoBlock(archive_test::ReadFile(m_folder.Path("made_clip.nut")))}};
    archive_test::WriteFile(m_folder.Path("media.box"), archive_test::BuildArchive(members));
    SETSHOEBOX("", m_folder.Path("media.box").c_str());

    ASSERT_EQ(PLAYMUSIC("song.wav"), 0);
    ASSERT_TRUE(platform::MusicIsPlaying(wnd_mp3));
    const std::string songFile = g_ShoeBox_Media.tempFile;
    EXPECT_FALSE(songFile.empty()) << "unpacked into the media box";
    EXPECT_TRUE(g_ShoeBox_Data.tempFile[0] == 0) << "the data box is not involved";

    EXPECT_EQ(PlayVideo("clip.nut", false), 0);
    Picture shot;
    ASSERT_TRUE(shot.Load(m_folder.Path("shot.bmp")));
    EXPECT_EQ(shot.At(320, 240), (Rgb{0, 0, 255})) << "the archived video was shown";
    EXPECT_TRUE(platform::MusicIsPlaying(wnd_mp3)) << "the music's unpacked file went, the music did not";
    SleepSeconds(0.2);

    const std::vector<StereoFrame> frames = FinishRecording();
    EXPECT_GT(CountFrames(frames, 4000), 22050 / 4) << "music and the video's sound together";
    EXPECT_GT(CountFrames(frames, 1500), 22050 / 10) << "the music alone after the video";
    SETSHOEBOX("", "");
}

TEST_F(MediaBoxTest, NamesMissingFromDiskAndArchiveReturnThree)
{
    Start();
    archive_test::WriteFile(m_folder.Path("media.box"),
                            archive_test::BuildArchive({{"other.wav", archive_test::LzoBlock({1, 2, 3})}}));
    SETSHOEBOX("", m_folder.Path("media.box").c_str());
    EXPECT_EQ(PLAYMUSIC("song.wav"), 3);
    EXPECT_EQ(wnd_mp3, nullptr);
    EXPECT_EQ(PlayVideo("clip.nut", true), 3);
    SETSHOEBOX("", "");
}

}  // namespace
