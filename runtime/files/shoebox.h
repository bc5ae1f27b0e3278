// TzShoeBox: a media archive box. Every loader resolves its file name
// through a box first: a file on disk wins, otherwise the member is unpacked
// from the archive into a temporary file whose path replaces the name.
#pragma once

#include "core/kvstr.h"

class TzShoeBox {
public:
    // Deletes the temporary file of this box, if any, and forgets the archive.
    void Clear();
    // Resolves name in place; true when a readable file is now named.
    bool Extract(KvStr& name);

    char archivePath[260] = {};
    char tempFile[260] = {};
};

extern TzShoeBox g_ShoeBox_Data;   // bitmaps, fonts, sounds, line files, objects
extern TzShoeBox g_ShoeBox_Media;  // music and video

double SETSHOEBOX(KvStr dataArchive, KvStr mediaArchive);
