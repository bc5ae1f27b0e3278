#include "audio/music_commands.h"

#include "files/shoebox.h"

platform::MusicPlayer* wnd_mp3 = nullptr;

double PLAYMUSIC(KvStr fileName)
{
    STOPMUSIC();
    // The media box keeps the extracted file apart from the data box's, so
    // loading other files cannot delete it while it plays.
    if (!g_ShoeBox_Media.Extract(fileName)) return 3;
    wnd_mp3 = platform::OpenMusic(fileName.GetStrData());
    platform::PlayMusic(wnd_mp3);
    return 0;
}

double STOPMUSIC()
{
    if (wnd_mp3 != nullptr) {
        platform::StopMusic(wnd_mp3);
        platform::CloseMusic(wnd_mp3);
        wnd_mp3 = nullptr;
    }
    return 0;
}

void RepeatFinishedMusic()
{
    if (wnd_mp3 != nullptr && platform::MusicAtEnd(wnd_mp3)) {
        platform::RewindMusic(wnd_mp3);
        platform::PlayMusic(wnd_mp3);
    }
}
