// Telling a damaged archive from a file without one, and finding what is
// left of an archive whose end was cut off.
//
// An archive's directory offset sits in its last 4 bytes, so a file cut
// short (a download or copy that stopped early) loses it, whatever else is
// left. A program without media has no archive at all, and is no damage: a
// program file whose bytes end where its executable image ends holds no
// archive; bytes past that end, or a file that is no program, are meant to
// be one.
//
// Where only the directory offset, or the end of the directory, was cut
// off, the directory is found again by its shape: the entries that are left
// must run to the cut, and the members they name must lie, without
// overlapping, between the start of the archive and the directory, the way
// an archive is written (members one after another, then the directory).
// With offsets from the end of the file, that placement also tells how long
// the file was. A cut inside the members takes the whole directory with it:
// then nothing can be had.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

struct ShoeBoxRecovery {
    bool found = false;             // a directory was found
    long long directoryStart = 0;
    bool fromEnd = false;           // offsets count back from the original end
    long long originalSize = 0;     // the file's size before the cut
    bool directoryComplete = false; // only (part of) the directory offset is gone
    int entries = 0;                // entries that are left
    std::string lastEntry;          // the last of them, printable
};

// Where the archive in file starts: the end of the executable image for a
// program, 0 for any other file. Equal to fileSize when a program carries no
// archive.
long long ArchiveStartIn(std::FILE* file, long long fileSize);

// Looks for what is left of a cut archive between archiveStart and
// fileSize. Reads at most the last 1 MiB of the file.
ShoeBoxRecovery FindCutDirectory(std::FILE* file, long long archiveStart, long long fileSize);
