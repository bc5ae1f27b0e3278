// The video decoder on its own: pictures in time, scaled output, rewinding,
// sound, and files that are broken or absurd.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "media/media_files.h"
#include "platform/video_file.h"

using namespace mediatest;

namespace {

Rgb PixelOf(const unsigned char* rgba, int width, int x, int y)
{
    const unsigned char* p = rgba + (static_cast<std::size_t>(y) * width + x) * 4;
    return Rgb{p[0], p[1], p[2]};
}

// Four pictures at 10 per second: red, green, blue, white.
VideoRecipe FourColours()
{
    VideoRecipe recipe;
    recipe.width = 4;
    recipe.height = 2;
    recipe.fps = 10;
    recipe.pictures = 4;
    recipe.colours = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
    return recipe;
}

class VideoFileTest : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const VideoRecipe& recipe)
    {
        const std::string path = m_folder.Path(name);
        std::string why;
        EXPECT_TRUE(WriteVideo(path, recipe, &why)) << why;
        return path;
    }
    Folder m_folder;
};

TEST_F(VideoFileTest, PicturesComeInTheirTimeAndTheLastStandsOnePeriod)
{
    platform::VideoFile* video = platform::OpenVideoFile(Write("four.nut", FourColours()).c_str(), true);
    ASSERT_NE(video, nullptr);
    EXPECT_TRUE(platform::VideoFileHasPictures(video));
    EXPECT_FALSE(platform::VideoFileHasSound(video));
    EXPECT_EQ(platform::VideoWidth(video), 4);
    EXPECT_EQ(platform::VideoHeight(video), 2);

    const unsigned char* rgba = nullptr;
    bool changed = false;
    struct Moment {
        double seconds;
        Rgb colour;
        bool changed;
    };
    const Moment moments[] = {{0.0, {255, 0, 0}, true},  {0.05, {255, 0, 0}, false},
                              {0.15, {0, 255, 0}, true}, {0.25, {0, 0, 255}, true},
                              {0.35, {255, 255, 255}, true}, {0.39, {255, 255, 255}, false}};
    for (const Moment& m : moments) {
        ASSERT_TRUE(platform::VideoFileAt(video, m.seconds, &rgba, &changed)) << m.seconds;
        ASSERT_NE(rgba, nullptr);
        EXPECT_EQ(PixelOf(rgba, 4, 3, 1), m.colour) << "at " << m.seconds << " s";
        EXPECT_EQ(changed, m.changed) << "at " << m.seconds << " s";
        EXPECT_EQ(rgba[3], 255) << "opaque";
    }
    EXPECT_FALSE(platform::VideoFileAt(video, 0.41, &rgba, &changed)) << "the end";

    ASSERT_TRUE(platform::RewindVideoFile(video));
    ASSERT_TRUE(platform::VideoFileAt(video, 0.0, &rgba, &changed));
    EXPECT_EQ(PixelOf(rgba, 4, 0, 0), (Rgb{255, 0, 0})) << "from the start again";
    platform::CloseVideoFile(video);
}

TEST_F(VideoFileTest, PicturesAreScaledToTheOutputSize)
{
    VideoRecipe recipe = FourColours();
    recipe.pictures = 1;
    platform::VideoFile* video = platform::OpenVideoFile(Write("one.nut", recipe).c_str(), true);
    ASSERT_NE(video, nullptr);
    EXPECT_FALSE(platform::SetVideoFileOutputSize(video, 0, 5));
    EXPECT_FALSE(platform::SetVideoFileOutputSize(video, 100000, 5));
    ASSERT_TRUE(platform::SetVideoFileOutputSize(video, 40, 20));
    const unsigned char* rgba = nullptr;
    bool changed = false;
    ASSERT_TRUE(platform::VideoFileAt(video, 0, &rgba, &changed));
    for (int y : {0, 10, 19})
        for (int x : {0, 20, 39}) EXPECT_EQ(PixelOf(rgba, 40, x, y), (Rgb{255, 0, 0})) << x << "," << y;
    EXPECT_FALSE(platform::SetVideoFileOutputSize(video, 8, 4)) << "pictures already have their size";
    platform::CloseVideoFile(video);
}

TEST_F(VideoFileTest, SoundComesOutAt22050HzStereo)
{
    VideoRecipe recipe = FourColours();
    recipe.withSound = true;
    recipe.soundValue = -1234;
    platform::VideoFile* video = platform::OpenVideoFile(Write("sound.nut", recipe).c_str(), true);
    ASSERT_NE(video, nullptr);
    ASSERT_TRUE(platform::VideoFileHasSound(video));
    const unsigned char* rgba = nullptr;
    bool changed = false;
    for (double t = 0; platform::VideoFileAt(video, t, &rgba, &changed); t += 0.05) {}
    std::vector<std::int16_t> sound(22050 * 2);
    const int frames = platform::TakeVideoSound(video, sound.data(), 22050);
    EXPECT_NEAR(frames, 4 * 2205, 2205) << "0.4 s of sound";
    for (int i = 0; i < frames * 2; ++i) ASSERT_EQ(sound[static_cast<std::size_t>(i)], -1234) << i;
    EXPECT_EQ(platform::TakeVideoSound(video, sound.data(), 10), 0) << "taken once only";
    platform::CloseVideoFile(video);

    // Without sound wanted, none is decoded.
    video = platform::OpenVideoFile(m_folder.Path("sound.nut").c_str(), false);
    ASSERT_NE(video, nullptr);
    EXPECT_FALSE(platform::VideoFileHasSound(video));
    platform::CloseVideoFile(video);
}

TEST_F(VideoFileTest, AFileWithOnlySoundPlaysForItsLength)
{
    VideoRecipe recipe;
    recipe.withPictures = false;
    recipe.withSound = true;
    recipe.pictures = 10;  // ten blocks of 1/25 s
    platform::VideoFile* video = platform::OpenVideoFile(Write("sound_only.nut", recipe).c_str(), true);
    ASSERT_NE(video, nullptr);
    EXPECT_FALSE(platform::VideoFileHasPictures(video));
    const unsigned char* rgba = nullptr;
    bool changed = false;
    EXPECT_TRUE(platform::VideoFileAt(video, 0.3, &rgba, &changed));
    EXPECT_EQ(rgba, nullptr);
    EXPECT_FALSE(platform::VideoFileAt(video, 0.45, &rgba, &changed));
    platform::CloseVideoFile(video);
}

TEST_F(VideoFileTest, AnMpeg4VideoDecodesToItsColour)
{
    VideoRecipe recipe;
    recipe.width = 64;
    recipe.height = 48;
    recipe.codec = "mpeg4";
    recipe.container = "avi";
    recipe.colours = {{200, 40, 40}};
    platform::VideoFile* video = platform::OpenVideoFile(Write("m4.avi", recipe).c_str(), true);
    ASSERT_NE(video, nullptr);
    const unsigned char* rgba = nullptr;
    bool changed = false;
    ASSERT_TRUE(platform::VideoFileAt(video, 0, &rgba, &changed));
    ASSERT_NE(rgba, nullptr);
    const Rgb c = PixelOf(rgba, 64, 32, 24);
    EXPECT_NEAR(c.r, 200, 6);
    EXPECT_NEAR(c.g, 40, 6);
    EXPECT_NEAR(c.b, 40, 6);
    platform::CloseVideoFile(video);
}

TEST_F(VideoFileTest, BrokenAndAbsurdFilesAreRefused)
{
    WriteBytes(m_folder.Path("noise.avi"), std::vector<std::uint8_t>(5000, 0x33));
    EXPECT_EQ(platform::OpenVideoFile(m_folder.Path("noise.avi").c_str(), true), nullptr);
    EXPECT_EQ(platform::OpenVideoFile(m_folder.Path("missing.avi").c_str(), true), nullptr);

    // Pictures wider than 8192 or larger than 8192 x 4608 in all are refused
    // before anything is allocated for them (FFmpeg itself would take them).
    for (const char* size : {"W10000 H16", "W8000 H8000"}) {
        std::string header = std::string("YUV4MPEG2 ") + size + " F25:1 Ip A1:1 C420jpeg\nFRAME\n";
        std::vector<std::uint8_t> bytes(header.begin(), header.end());
        bytes.resize(bytes.size() + 4096, 0x80);
        WriteBytes(m_folder.Path("huge.y4m"), bytes);
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(platform::OpenVideoFile(m_folder.Path("huge.y4m").c_str(), true), nullptr) << size;
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find("refused"), std::string::npos) << said;
    }
}

TEST_F(VideoFileTest, NamesAreFilesNeverUrls)
{
    // A file whose name looks like a protocol is still just that file.
    VideoRecipe recipe = FourColours();
    const std::string odd = Write("pipe:0", recipe);
    platform::VideoFile* video = platform::OpenVideoFile(odd.c_str(), true);
    ASSERT_NE(video, nullptr) << "the file named pipe:0 opens as a file";
    platform::CloseVideoFile(video);
    // Relative to the working directory, the same.
    const std::string here = std::filesystem::current_path().string();
    std::filesystem::current_path(m_folder.Path());
    video = platform::OpenVideoFile("pipe:0", true);
    std::filesystem::current_path(here);
    ASSERT_NE(video, nullptr) << "not standard input";
    EXPECT_EQ(platform::VideoWidth(video), 4);
    platform::CloseVideoFile(video);
}

TEST_F(VideoFileTest, AFileCutShortPlaysWhatItHasAndEnds)
{
    VideoRecipe recipe = FourColours();
    recipe.width = 64;
    recipe.height = 64;
    recipe.pictures = 20;
    const std::string whole = Write("whole.nut", recipe);
    std::vector<std::uint8_t> bytes = ReadBytes(whole);
    bytes.resize(bytes.size() / 2);
    // Garbage instead of the second half's first bytes too.
    for (std::size_t i = bytes.size() - 300; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
    WriteBytes(m_folder.Path("cut.nut"), bytes);
    platform::VideoFile* video = platform::OpenVideoFile(m_folder.Path("cut.nut").c_str(), true);
    ASSERT_NE(video, nullptr);
    const unsigned char* rgba = nullptr;
    bool changed = false;
    int shown = 0;
    double t = 0;
    for (; t < 10 && platform::VideoFileAt(video, t, &rgba, &changed); t += 0.1) shown += changed ? 1 : 0;
    EXPECT_LT(t, 2.05) << "ends where the file ends";
    EXPECT_GE(shown, 5);
    EXPECT_LE(shown, 12);
    platform::CloseVideoFile(video);
}

}  // namespace
