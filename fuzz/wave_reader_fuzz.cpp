// libFuzzer harness over the wave reader: every input is written to a file
// and loaded into a sound slot exactly as LOADSOUND does, through the header
// reader, the sample transfer, the channel packing and the conversion to the
// mixer's format (on SDL's dummy audio driver, which needs no device).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "audio/sfx_sound.h"
#include "audio/sfx_sound_buffer.h"

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
        std::fprintf(stderr, "wave_reader_fuzz: the dummy audio driver did not open\n");
        std::exit(1);
    }
    g_path = (std::filesystem::temp_directory_path() /
              ("kv_wave_fuzz_" + std::to_string(std::random_device{}()) + ".wav"))
                 .string();
    std::atexit(CloseDevice);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::FILE* file = std::fopen(g_path.c_str(), "wb");
    if (file == nullptr) return 0;
    if (size > 0) std::fwrite(data, 1, size, file);
    std::fclose(file);

    SFXSoundBuffer slot;
    if (slot.Load(g_device, g_path.c_str(), 2)) {
        // A loaded slot is well-formed: one or two played channels of a
        // supported sample size, and a first copy to play.
        const WaveFormat& format = slot.Format();
        if (format.channels < 1 || format.channels > 2) std::abort();
        if (format.bitsPerSample != 8 && format.bitsPerSample != 16) std::abort();
        if (slot.GetFreeBuffer() != 0) std::abort();
    } else if (slot.CopyCount() != 0) {
        std::abort();  // a failed load leaves the slot empty
    }
    return 0;
}
