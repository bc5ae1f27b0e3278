// The program's end with music playing, right after a video: shutdown
// stops the music and exits cleanly.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <stdlib.h>

#include <fstream>

#include <string>

#include "audio/music_commands.h"
#include "audio/video_commands.h"
#include "commands.h"
#include "media/media_files.h"

using namespace mediatest;

// The child ends the whole process through the frame; the window system
// leaves allocations behind in a library it has already unloaded, which the
// leak checker cannot attribute. The other tests of this program check the
// media code's own leaks.
static bool g_endingChild = false;
extern "C" int __lsan_is_turned_off() { return g_endingChild ? 1 : 0; }

// The test program puts its own Mix_HaltMusic in front of the mixer
// library's: the child notes in a file that the music was stopped.
static std::string g_haltNote;
extern "C" int Mix_HaltMusic(void)
{
    using Halt = int (*)(void);
    static const Halt real = reinterpret_cast<Halt>(dlsym(RTLD_NEXT, "Mix_HaltMusic"));
    if (!g_haltNote.empty()) std::ofstream(g_haltNote, std::ios::app) << "halted\n";
    return real != nullptr ? real() : 0;
}

namespace {

[[noreturn]] void PlayMusicAndVideoThenEnd(const Folder& folder)
{
    setenv("TMPDIR", folder.Path().c_str(), 1);
    RecordMixerInto(folder.Path("mixed.raw"));
    KV_FULLSCREEN = 0;
    char commandLine[] = "";
    __GlobalInit(nullptr, nullptr, commandLine, 0, "shutdown test");
    if (PLAYMUSIC(folder.Path("music.wav").c_str()) != 0 || wnd_mp3 == nullptr) std::_Exit(2);
    if (PlayVideo(folder.Path("clip.nut").c_str(), false) != 0) std::_Exit(3);
    if (!platform::MusicIsPlaying(wnd_mp3)) std::_Exit(4);
    g_endingChild = true;
    g_haltNote = folder.Path("halted.txt");
    END();
    std::_Exit(5);  // END never returns
}

TEST(MediaShutdown, EndingWhileMusicPlaysExitsCleanly)
{
    Folder folder;
    WriteConstantWav(folder.Path("music.wav"), 1500, 22050 * 5);
    VideoRecipe recipe;
    recipe.pictures = 25;  // a second of sound: a loaded machine still mixes some of it
    recipe.withSound = true;
    std::string why;
    ASSERT_TRUE(WriteVideo(folder.Path("clip.nut"), recipe, &why)) << why;
    EXPECT_EXIT(PlayMusicAndVideoThenEnd(folder), ::testing::ExitedWithCode(0), "");
    EXPECT_FALSE(ReadBytes(folder.Path("halted.txt")).empty()) << "shutdown stopped the music";
    // The music was heard, and the video's sound beside it.
    const std::vector<StereoFrame> frames = ReadRecording(folder.Path("mixed.raw"));
    EXPECT_GT(CountFrames(frames, 5500), 1000);
    EXPECT_GT(CountFrames(frames, 1500) + CountFrames(frames, 5500), 2000);
}

}  // namespace
