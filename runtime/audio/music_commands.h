// Background music: one piece at a time, resolved through the media box,
// looping for as long as frames are presented.
#pragma once

#include "core/kvstr.h"
#include "platform/platform.h"

// The music now playing (in the role of the music window); null when none.
extern platform::MusicPlayer* wnd_mp3;

// Stops any music, then plays the named file (resolved through the media
// box). 3 when the name is found neither on disk nor in the archive (no
// runtime error is set), 0 otherwise, also for a file that cannot be
// decoded (it stays silent; the reason goes to stderr).
double PLAYMUSIC(KvStr fileName);
// Stops and forgets the music.
double STOPMUSIC();
// Once a frame (SHOWSCREEN): a piece that has reached its end starts again.
void RepeatFinishedMusic();
