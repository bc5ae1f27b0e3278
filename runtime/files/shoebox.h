// TzShoeBox: a media archive box. Every loader resolves its file name
// through a box first: a file on disk wins; otherwise the member of that name
// is unpacked from the box's archive into a temporary file whose path
// replaces the name. A box keeps one temporary file at a time: it is deleted
// at the next Extract, when the box is cleared, and at process exit.
#pragma once

#include <cstddef>
#include <cstdint>

#include <string>
#include <vector>

#include "core/kvstr.h"
#include "files/shoebox_archive.h"
#include "files/shoebox_damage.h"
#include "files/tz_compression.h"
#include "platform/platform.h"

class TzShoeBox {
public:
    TzShoeBox() = default;
    ~TzShoeBox();
    TzShoeBox(const TzShoeBox&) = delete;
    TzShoeBox& operator=(const TzShoeBox&) = delete;

    // Deletes this box's temporary file and its private folder, and forgets
    // the archive.
    void Clear();
    // Resolves name in place; true when name now names a readable file.
    // Not found inside an opened archive also empties name.
    bool Extract(KvStr& name);
    // The archive to look in; an empty path switches the archive off.
    // False (and no archive) when the path does not fit.
    bool SetArchive(const char* path);

    // Path of the archive file; empty = no archive.
    char archivePath[KvStr::kBufferSize] = {};
    // Path of the temporary file extracted last through this box; empty = none.
    char tempFile[KvStr::kBufferSize] = {};

private:
    void DeleteTempFile();
    bool WriteTempFile(const char* fileName, const unsigned char* data, int size);
    // For an archive whose directory does not read whole: says once per
    // version of the archive file what is damaged and what can still be had,
    // and points archive at a directory found before a cut. False when no
    // member can be looked up.
    bool UseWhatIsLeft(ShoeBoxArchive& archive, const ShoeBoxArchive::DirectoryCheck& check);

    // This box's private folder for its temporary file, with a trailing '/';
    // made on the first extraction, removed by Clear.
    char m_tempFolder[KvStr::kBufferSize] = {};
    // The packed block and the unpacked bytes of the last member, kept for
    // the next one: a member of the size of the one before is read and
    // unpacked into memory that is already there, and written from it.
    // Clear gives both back.
    std::vector<unsigned char> m_packed;
    TzCompression m_unpacker;
    // The damaged archive looked at last, as it was then, and what was
    // found in it: the same file is neither searched nor reported again.
    std::string m_damagedPath;
    platform::FileStamp m_damagedStamp;
    ShoeBoxRecovery m_recovery;
    bool m_directoryUsable = false;  // its own directory still answers
};

extern TzShoeBox g_ShoeBox_Data;   // bitmaps, fonts, sprites, sounds, line files, objects
extern TzShoeBox g_ShoeBox_Media;  // music and video

// Clears the data box, then the media box, and points them at new archives
// (an empty string: no archive). Prints "Setting box:<path>" for each on
// stdout when KV_VERBOSE asks for it.
double SETSHOEBOX(KvStr dataArchive, KvStr mediaArchive);

// The name a member is extracted to inside a box's folder: "~sbx", O in
// uppercase hex, S in lowercase hex, then the stored name, with any '/' or
// '\' in the name replaced by '_' so it stays one file in that folder.
// A name longer than the file system takes keeps "~sbx", O and S and only
// the end of the stored name, after a '~'. False when the result would not
// fit in size bytes.
bool ShoeBoxTempFileName(char* out, std::size_t size, std::int32_t offset,
                         std::uint32_t packedSize, const char* entryName);
