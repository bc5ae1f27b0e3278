#include "audio/sound_commands.h"

#include <algorithm>
#include <string>

#include "audio/sfx_sound.h"
#include "audio/sfx_sound_buffer.h"
#include "audio/sound_file_kind.h"
#include "audio/sound_levels.h"
#include "audio/wave_reader.h"
#include "core/runtime_state.h"
#include "core/unreadable_media.h"
#include "files/shoebox.h"

namespace {

// The slot a program's sound number names: truncated, numbers above the
// table are its last slot, negative numbers name no slot.
SFXSoundBuffer* SlotOf(double number)
{
    if (DXwav == nullptr) return nullptr;
    const int slot = NumberToInt(number);
    if (slot < 0) return nullptr;
    return &DXwav[std::min(slot, kSoundSlotCount - 1)];
}

}  // namespace

double LOADSOUND(KvStr fileName, double number, double copies)
{
    SFXSoundBuffer* slot = SlotOf(number);
    if (slot == nullptr) return 0;
    const KvStr asked = fileName;  // an archive member resolves to a temporary file
    if (!g_ShoeBox_Data.Extract(fileName)) return 0;
    // A file that cannot be read leaves the slot empty; no error, but the
    // person running the program is told which file it was and why.
    if (!slot->Load(pDXsnd, fileName.GetStrData(), NumberToInt(copies)) && pDXsnd != nullptr && pDXsnd->HasDevice()) {
        const std::string why = SoundFileKindOf(fileName.GetStrData()) == SoundFileKind::Wave
                                    ? WaveFileProblem(fileName.GetStrData())
                                    : slot->LoadProblem();
        if (!why.empty()) ReportUnreadableMedia("sound", asked.GetStrData(), why);
    }
    return 0;
}

double PLAYSOUND(double number, double pan, double volume)
{
    SFXSoundBuffer* slot = SlotOf(number);
    if (slot == nullptr) return 0;
    pan = std::clamp(pan, -1.0, 1.0);
    volume = std::clamp(volume, 0.0, 1.0);
    slot->Play(NumberToInt(pan * kPanRight), GainToVolume(volume), 0);
    return 0;
}

double HUSH()
{
    if (DXwav == nullptr) return 0;
    for (int slot = 0; slot < kSoundSlotCount; ++slot)
        DXwav[slot].Stop();
    return 0;
}
