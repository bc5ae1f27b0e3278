// Music on the shared mixer: SDL_mixer's one music stream, which decodes
// WAV, OGG, MP3, FLAC, MOD and whatever else the library was built with.
#include "platform/platform.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdio>
#include <new>

namespace platform {

struct MusicPlayer {
    bool mixerOpen = false;     // this player holds one open of the mixer
    Mix_Music* music = nullptr; // null: the file could not be decoded
    bool started = false;       // played and neither stopped nor rewound since
};

MusicPlayer* OpenMusic(const char* path)
{
    auto* player = new (std::nothrow) MusicPlayer;
    if (player == nullptr) return nullptr;
    player->mixerOpen = OpenAudioMixer();
    // Without an audio device the piece would never be heard: it stays silent.
    if (!player->mixerOpen) return player;
    player->music = Mix_LoadMUS(path);
    if (player->music == nullptr)
        std::fprintf(stderr, "music %s cannot be played: %s\n", path, Mix_GetError());
    return player;
}

void CloseMusic(MusicPlayer* player)
{
    if (player == nullptr) return;
    StopMusic(player);
    if (player->music != nullptr) Mix_FreeMusic(player->music);  // halts it if it still plays
    if (player->mixerOpen) CloseAudioMixer();
    delete player;
}

bool PlayMusic(MusicPlayer* player)
{
    if (player == nullptr || player->music == nullptr) return false;
    if (Mix_PlayingMusic() != 0 && player->started) return true;
    // SDL_mixer starts a piece from its beginning; RewindMusic made sure the
    // player expects exactly that.
    if (Mix_PlayMusic(player->music, 0) != 0) {
        std::fprintf(stderr, "music cannot be played: %s\n", Mix_GetError());
        return false;
    }
    player->started = true;
    return true;
}

void StopMusic(MusicPlayer* player)
{
    if (player == nullptr || player->music == nullptr) return;
    if (player->started) Mix_HaltMusic();
    player->started = false;
}

void RewindMusic(MusicPlayer* player)
{
    // The next PlayMusic starts the piece again from its first sample.
    StopMusic(player);
}

bool MusicAtEnd(MusicPlayer* player)
{
    // The mixer drops a piece that has played to its end; one we did not
    // stop has therefore ended.
    return player != nullptr && player->music != nullptr && player->started &&
           Mix_PlayingMusic() == 0;
}

bool MusicIsPlaying(MusicPlayer* player)
{
    return player != nullptr && player->music != nullptr && player->started &&
           Mix_PlayingMusic() != 0;
}

}  // namespace platform
