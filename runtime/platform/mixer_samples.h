// The block of samples behind platform::MixerSamples, shared by the files
// that make blocks (converted PCM, decoded sound files) and the mixer that
// plays and frees them.
#pragma once

#include <SDL.h>
#include <SDL_mixer.h>

namespace platform {

struct MixerSamples {
    Mix_Chunk* chunk = nullptr;  // freeing it frees its samples only when it owns them
    Uint8* data = nullptr;       // samples the chunk points into but does not own; ours to free
};

}  // namespace platform
