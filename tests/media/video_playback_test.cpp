// PLAYMOVIE and LOOPMOVIE in a started runtime: the fitted picture as the
// drawing area really shows it (screenshots of the scripted input source),
// the keys and buttons that end or delay playback, and the video's sound in
// the mixer beside music.
#include <gtest/gtest.h>

#include <chrono>

#include "audio/music_commands.h"
#include "audio/video_commands.h"
#include "commands.h"
#include "gfx/opengl_rainbows.h"
#include "gfx/video_frames.h"
#include "gl/gl_calls.h"
#include "media/runtime_fixture.h"
#include "platform/platform.h"

using namespace mediatest;

namespace {

const Rgb kBlack{0, 0, 0};
const Rgb kRed{255, 0, 0};

TEST(VideoFit, KeepsTheAspectRatioAndCentres)
{
    auto fit = [](int w, int h) { return FitVideo(w, h, 640, 480); };
    VideoPlacement p = fit(320, 240);
    EXPECT_EQ((std::vector<int>{p.left, p.top, p.width, p.height}), (std::vector<int>{0, 0, 640, 480}));
    p = fit(320, 120);
    EXPECT_EQ((std::vector<int>{p.left, p.top, p.width, p.height}), (std::vector<int>{0, 120, 640, 240}));
    p = fit(100, 100);
    EXPECT_EQ((std::vector<int>{p.left, p.top, p.width, p.height}), (std::vector<int>{80, 0, 480, 480}));
    p = fit(3, 2);  // scale 213.33: 640 x 426, half of 54 rows above
    EXPECT_EQ((std::vector<int>{p.left, p.top, p.width, p.height}), (std::vector<int>{0, 27, 640, 426}));
    p = fit(0, 10);
    EXPECT_EQ(p.width, 0);
}

class VideoPlaybackTest : public MediaRuntimeTest {
protected:
    std::string Video(const std::string& name, const VideoRecipe& recipe)
    {
        const std::string path = m_folder.Path(name);
        std::string why;
        EXPECT_TRUE(WriteVideo(path, recipe, &why)) << why;
        return path;
    }
    Picture Shot(const std::string& name)
    {
        Picture picture;
        EXPECT_TRUE(picture.Load(m_folder.Path(name))) << name << " was not taken";
        return picture;
    }
    std::string ShotLine(int frame, const std::string& name)
    {
        return std::to_string(frame) + " screenshot " + m_folder.Path(name);
    }
};

TEST_F(VideoPlaybackTest, AWideVideoFillsTheWidthCentredWithBlackAboveAndBelow)
{
    // Four seconds of video, ended by a click once the shot is taken: a
    // loaded machine cannot reach its end before frame 3.
    Start({ShotLine(3, "shot.bmp"), "6 button left down"});
    VideoRecipe recipe;
    recipe.width = 320;
    recipe.height = 120;
    recipe.pictures = 100;
    const std::string path = Video("wide.nut", recipe);
    const long before = platform::PresentedFrames();
    EXPECT_EQ(PlayVideo(path.c_str(), false), 0);
    // Pictures whose time has passed are skipped on a slow machine.
    EXPECT_GE(platform::PresentedFrames() - before, 5) << "pictures are presented as they come";

    const Picture shot = Shot("shot.bmp");
    ASSERT_EQ(shot.width, 640);
    ASSERT_EQ(shot.height, 480);
    for (int x : {0, 1, 320, 638, 639}) {
        EXPECT_EQ(shot.At(x, 119), kBlack) << x;
        EXPECT_EQ(shot.At(x, 120), kRed) << x;
        EXPECT_EQ(shot.At(x, 240), kRed) << x;
        EXPECT_EQ(shot.At(x, 359), kRed) << x;
        EXPECT_EQ(shot.At(x, 360), kBlack) << x;
    }
    EXPECT_EQ(shot.At(320, 0), kBlack);
    EXPECT_EQ(shot.At(320, 479), kBlack);
}

TEST_F(VideoPlaybackTest, ANarrowVideoIsCentredWithBlackAtTheSides)
{
    Start({ShotLine(2, "shot.bmp"), "5 button left down"});
    VideoRecipe recipe;
    recipe.width = 100;
    recipe.height = 100;
    recipe.pictures = 100;
    recipe.colours = {{10, 200, 30}};
    const std::string path = Video("square.nut", recipe);
    EXPECT_EQ(PlayVideo(path.c_str(), false), 0);
    const Picture shot = Shot("shot.bmp");
    for (int y : {0, 240, 479}) {
        EXPECT_EQ(shot.At(79, y), kBlack) << y;
        EXPECT_EQ(shot.At(80, y), (Rgb{10, 200, 30})) << y;
        EXPECT_EQ(shot.At(559, y), (Rgb{10, 200, 30})) << y;
        EXPECT_EQ(shot.At(560, y), kBlack) << y;
    }
}

TEST_F(VideoPlaybackTest, SpaceEndsLoopmovieButACursorKeyDoesNot)
{
    // Up arrow (200) early, Space (57) late.
    Start({"5 key 200 down", "8 key 200 up", "40 key 57 down"});
    VideoRecipe recipe;
    recipe.pictures = 5;  // 0.2 s a pass
    const std::string path = Video("loop.nut", recipe);
    const long before = platform::PresentedFrames();
    EXPECT_EQ(LOOPMOVIE(path.c_str()), 0);
    const long presented = platform::PresentedFrames() - before;
    // Frame 40 was the first with Space down: the loop ended right there,
    // many passes after the cursor key.
    EXPECT_GE(platform::PresentedFrames(), 40);
    EXPECT_LE(platform::PresentedFrames(), 41);
    EXPECT_GT(presented, 3 * recipe.pictures) << "the video went round several times";
}

TEST_F(VideoPlaybackTest, PlaymovieEndsByItselfAndShiftOrEscapeDoNotEndIt)
{
    Start({"2 key 42 down", "3 key 1 down", "4 key 42 up", "5 key 1 up"});
    VideoRecipe recipe;
    recipe.pictures = 60;
    const std::string path = Video("once.nut", recipe);
    const long before = platform::PresentedFrames();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(PLAYMOVIE(path.c_str()), 0);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const long presented = platform::PresentedFrames() - before;
    // Shift and Escape went down and up in frames 2 to 5 and did not end it;
    // it then ran its whole length (60 pictures at 25 a second: the last one
    // is due 2.36 s after the first) and returned with no further input. A
    // loaded machine drops late pictures, so the frames shown are bounded
    // only from above: a frame per picture and the odd idle frame between.
    EXPECT_GE(presented, 6);
    EXPECT_LE(presented, 2 * recipe.pictures);
    EXPECT_GE(seconds, 2.36);
}

TEST_F(VideoPlaybackTest, AHeldMouseButtonDelaysTheStart)
{
    Start({"0 button left down", ShotLine(6, "waiting.bmp"), "10 button left up", ShotLine(14, "playing.bmp"),
           "30 button right down"});
    VideoRecipe recipe;
    recipe.pictures = 100;
    const std::string path = Video("long.nut", recipe);
    EXPECT_EQ(LOOPMOVIE(path.c_str()), 0);
    EXPECT_EQ(Shot("waiting.bmp").At(320, 240), kBlack) << "nothing plays while the button is held";
    EXPECT_EQ(Shot("playing.bmp").At(320, 240), kRed) << "playback starts once it is released";
    EXPECT_GE(platform::PresentedFrames(), 30) << "a new press ends it, the held one did not";
    EXPECT_LE(platform::PresentedFrames(), 31);
}

TEST_F(VideoPlaybackTest, TheVideosSoundIsMixedBesideTheMusic)
{
    Start();
    WriteConstantWav(m_folder.Path("music.wav"), 1000, 22050 * 6);
    ASSERT_EQ(PLAYMUSIC(m_folder.Path("music.wav").c_str()), 0);
    VideoRecipe recipe;
    recipe.pictures = 40;  // 1.6 s
    recipe.withSound = true;
    recipe.soundValue = 4000;
    const std::string path = Video("talk.nut", recipe);
    EXPECT_EQ(PLAYMOVIE(path.c_str()), 0);
    // Long enough that the music alone after the video is over a quarter of
    // a second by itself, however fast the video opened.
    SleepSeconds(0.5);
    const std::vector<StereoFrame> frames = FinishRecording();
    // Music and the video's sound together (a loaded machine plays less of
    // it in real time); the music alone before and after.
    EXPECT_GT(CountFrames(frames, 5000), 22050 / 2);
    EXPECT_LT(CountFrames(frames, 5000), 22050 * 2);
    EXPECT_GT(CountFrames(frames, 1000), 22050 / 4);
    EXPECT_EQ(CountFrames(frames, 4000), 0) << "the music never stopped for the video";
}

TEST_F(VideoPlaybackTest, AFileWithOnlySoundPlaysItsSoundOverBlackFrames)
{
    Start({ShotLine(3, "shot.bmp")});
    WriteConstantWav(m_folder.Path("voice.wav"), 3000, 22050 * 2);
    const long before = platform::PresentedFrames();
    EXPECT_EQ(PlayVideo(m_folder.Path("voice.wav").c_str(), false), 0);
    EXPECT_GE(platform::PresentedFrames() - before, 5) << "black frames keep the window going";
    EXPECT_EQ(Shot("shot.bmp").At(320, 240), kBlack);
    SleepSeconds(0.2);
    const std::vector<StereoFrame> frames = FinishRecording();
    EXPECT_GT(CountFrames(frames, 3000), 22050 * 4 / 10);
}

Rgb DrawingAreaAt(int x, int y)
{
    unsigned char p[3] = {};
    gl::PixelStorei(GL_PACK_ALIGNMENT, 1);
    gl::ReadPixels(x, pRbow->Height() - 1 - y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, p);
    return Rgb{p[0], p[1], p[2]};
}

TEST_F(VideoPlaybackTest, AfterTheVideoTheGameDrawsAsBefore)
{
    Start();
    GLint alignmentBefore = 0;
    gl::GetIntegerv(GL_UNPACK_ALIGNMENT, &alignmentBefore);
    VideoRecipe recipe;
    recipe.pictures = 3;
    EXPECT_EQ(PLAYMOVIE(Video("short.nut", recipe).c_str()), 0);
    GLint alignmentAfter = 0;
    gl::GetIntegerv(GL_UNPACK_ALIGNMENT, &alignmentAfter);
    EXPECT_EQ(alignmentAfter, alignmentBefore) << "texture uploads keep their pixel layout";

    // The next game frame starts cleared, opaque and in the 2D projection.
    EXPECT_EQ(DrawingAreaAt(320, 240), kBlack) << "no video picture left behind";
    FILLRECT(100, 100, 200, 150, 0x00FF00);
    EXPECT_EQ(DrawingAreaAt(150, 120), (Rgb{0, 255, 0}));
    EXPECT_EQ(DrawingAreaAt(99, 120), kBlack);
    EXPECT_EQ(DrawingAreaAt(150, 99), kBlack);
}

TEST_F(VideoPlaybackTest, MissingAndUnreadableFilesReturnThree)
{
    Start();
    EXPECT_EQ(PlayVideo(m_folder.Path("missing.avi").c_str(), true), 3);
    WriteBytes(m_folder.Path("noise.avi"), std::vector<std::uint8_t>(2000, 0x41));
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(PlayVideo(m_folder.Path("noise.avi").c_str(), true), 3);
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("noise.avi"), std::string::npos) << said;
    EXPECT_EQ(PLAYMOVIE(m_folder.Path("missing.avi").c_str()), 0) << "the command itself has no value";
    EXPECT_EQ(g_error, 0);
}

}  // namespace
