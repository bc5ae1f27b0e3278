// libFuzzer harness over the wave reader: every input is written to a file
// and loaded into a sound slot exactly as LOADSOUND does, through the header
// reader, the sample transfer, the channel packing and the conversion to the
// mixer's format (on SDL's dummy audio driver, which needs no device).
#include <cstddef>
#include <cstdint>

#include "audio/sfx_sound_buffer.h"
#include "sound_slot_fuzz.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    sound_slot_fuzz::OpenDevice("wave_reader_fuzz");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (!sound_slot_fuzz::WriteInput(data, size)) return 0;

    SFXSoundBuffer slot;
    if (slot.Load(sound_slot_fuzz::g_device, sound_slot_fuzz::g_path.c_str(), 2)) {
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
