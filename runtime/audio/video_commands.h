// Full-window video, played modally: nothing else runs until the video ends
// or a key with a character or a mouse button is pressed.
#pragma once

#include "core/kvstr.h"

// Plays the named video (resolved through the media box) once, or again and
// again with loop set. 0 when it was played, 3 when the name cannot be
// found or the file cannot be opened.
double PlayVideo(KvStr fileName, bool loop);
double PLAYMOVIE(KvStr fileName);
double LOOPMOVIE(KvStr fileName);
