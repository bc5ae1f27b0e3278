// What the sound harnesses share: one sound device on SDL's dummy audio
// driver (it needs no sound card) and a private file into which each input
// is written, so that it is loaded into a slot exactly as LOADSOUND loads
// a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "audio/sfx_sound.h"

namespace sound_slot_fuzz {

inline SFXSound* g_device = nullptr;
inline std::string g_path;

inline void CloseDevice()
{
    delete g_device;
    g_device = nullptr;
    std::remove(g_path.c_str());
}

// Opens the device and picks the file name; the harness's name goes into
// both the file name and the message when the driver does not open.
inline void OpenDevice(const char* harness)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    g_device = new SFXSound;
    if (g_device->Create(nullptr) != 1) {
        std::fprintf(stderr, "%s: the dummy audio driver did not open\n", harness);
        std::exit(1);
    }
    g_path = (std::filesystem::temp_directory_path() /
              (std::string("kv_") + harness + "_" + std::to_string(std::random_device{}()) + ".snd"))
                 .string();
    std::atexit(CloseDevice);
}

// Writes the input to the file; false when the file cannot be written.
inline bool WriteInput(const std::uint8_t* data, std::size_t size)
{
    std::FILE* file = std::fopen(g_path.c_str(), "wb");
    if (file == nullptr) return false;
    if (size > 0) std::fwrite(data, 1, size, file);
    std::fclose(file);
    return true;
}

}  // namespace sound_slot_fuzz
