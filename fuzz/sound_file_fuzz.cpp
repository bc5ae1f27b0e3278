// libFuzzer harness over the compressed sound files (Ogg Vorbis, MP3, FLAC):
// every input is written to a file and loaded into a sound slot exactly as
// LOADSOUND does, through the choice of reader by the first bytes, the
// decoders and the block in the mixer's format (on SDL's dummy audio
// driver, which needs no device). Inputs that would go to the wave reader
// are left to wave_reader_fuzz.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "audio/sfx_sound.h"
#include "audio/sfx_sound_buffer.h"
#include "audio/sound_file_kind.h"

namespace {

SFXSound* g_device = nullptr;
std::string g_path;

void CloseDevice()
{
    delete g_device;
    g_device = nullptr;
    std::remove(g_path.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    g_device = new SFXSound;
    if (g_device->Create(nullptr) != 1) {
        std::fprintf(stderr, "sound_file_fuzz: the dummy audio driver did not open\n");
        std::exit(1);
    }
    g_path = (std::filesystem::temp_directory_path() /
              ("kv_sound_file_fuzz_" + std::to_string(std::random_device{}()) + ".snd"))
                 .string();
    std::atexit(CloseDevice);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (SoundFileKindOf(data, size) == SoundFileKind::Wave) return 0;
    std::FILE* file = std::fopen(g_path.c_str(), "wb");
    if (file == nullptr) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    SFXSoundBuffer slot;
    if (slot.Load(g_device, g_path.c_str(), 2)) {
        // A decoded sound is in the device's format and has a copy to play.
        const WaveFormat& format = slot.Format();
        if (format.channels != 2 || format.bitsPerSample != 16) std::abort();
        if (!slot.LoadProblem().empty()) std::abort();
        if (slot.GetFreeBuffer() != 0) std::abort();
        if (!slot.Play(0, 0, 0) || !slot.Stop()) std::abort();
    } else if (slot.CopyCount() != 0 || slot.LoadProblem().empty()) {
        std::abort();  // a failed load leaves the slot empty and says why
    }
    return 0;
}
