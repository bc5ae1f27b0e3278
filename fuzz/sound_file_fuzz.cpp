// libFuzzer harness over the compressed sound files (Ogg Vorbis, MP3, FLAC):
// every input is written to a file and loaded into a sound slot exactly as
// LOADSOUND does, through the choice of reader by the first bytes, the
// decoders and the block in the mixer's format (on SDL's dummy audio
// driver, which needs no device). Inputs that would go to the wave reader
// are left to wave_reader_fuzz.
#include <cstddef>
#include <cstdint>

#include "audio/sfx_sound_buffer.h"
#include "audio/sound_file_kind.h"
#include "sound_slot_fuzz.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    sound_slot_fuzz::OpenDevice("sound_file_fuzz");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (SoundFileKindOf(data, size) == SoundFileKind::Wave) return 0;
    if (!sound_slot_fuzz::WriteInput(data, size)) return 0;

    SFXSoundBuffer slot;
    if (slot.Load(sound_slot_fuzz::g_device, sound_slot_fuzz::g_path.c_str(), 2)) {
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
