// The frame's part in sound: start-up creates the device and the 128 slots
// and opens the device, shutdown releases them, and a sound played in
// between is really heard.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "audio/mixer_recording.h"
#include "audio/sfx_sound.h"
#include "audio/sfx_sound_buffer.h"
#include "audio/sound_commands.h"
#include "audio/wave_files.h"
#include "frame/frame.h"

using namespace wavetest;

// The exit test's child ends the whole process through the frame. The
// window system leaves two small allocations behind in a library it has
// already unloaded, which the leak checker cannot attribute or suppress;
// the child therefore skips the leak check at exit. The sound code's own
// leaks are checked by every other test of this program.
static bool g_endingChild = false;
extern "C" int __lsan_is_turned_off() { return g_endingChild ? 1 : 0; }

namespace {

// Runs in the child of the exit test: a tiny program in generated form.
[[noreturn]] void PlayOneSoundAndEnd(const std::string& sound, const std::string& recording)
{
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", recording.c_str(), 1);
    KV_FULLSCREEN = 0;
    char commandLine[] = "";
    __GlobalInit(nullptr, nullptr, commandLine, 0, "sound test");
    if (pDXsnd == nullptr || DXwav == nullptr) std::_Exit(2);
    if (!pDXsnd->HasDevice()) std::_Exit(3);
    for (int slot = 0; slot < kSoundSlotCount; ++slot)
        if (DXwav[slot].CopyCount() != 0) std::_Exit(4);
    LOADSOUND(sound.c_str(), 3, 1);
    if (DXwav[3].CopyCount() != 1) std::_Exit(5);
    PLAYSOUND(3, 0, 1);
    for (int wait = 0; wait < 500 && DXwav[3].CopyIsPlaying(0); ++wait) SleepSeconds(0.01);
    SleepSeconds(0.2);
    g_endingChild = true;
    END();
    std::_Exit(6);  // END never returns
}

}  // namespace

TEST(SoundFrame, StartUpOpensTheDeviceAndShutdownReleasesIt)
{
    TempFolder folder;
    const std::string sound =
        folder.Write("s.wav", BuildWave({}, ConstantFrames16({3000, 3000}, 4410)));
    const std::string recording = folder.PathOf("mixed.raw");
    EXPECT_EXIT(PlayOneSoundAndEnd(sound, recording), ::testing::ExitedWithCode(0), "");

    std::ifstream in(recording, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    int loud = 0;
    for (std::size_t i = 0; i + 4 <= bytes.size(); i += 4) {
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + i);
        if (static_cast<std::int16_t>(p[0] | (p[1] << 8)) == 3000 &&
            static_cast<std::int16_t>(p[2] | (p[3] << 8)) == 3000)
            ++loud;
    }
    EXPECT_NEAR(loud, 4410, 4);
}
