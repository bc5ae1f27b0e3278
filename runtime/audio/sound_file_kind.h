// Which reader a sound file goes to, told by its first bytes: Ogg Vorbis,
// FLAC and MP3 are decoded whole at load; everything else is read as a
// wave file, exactly as before those formats were known.
#pragma once

#include <cstddef>
#include <cstdio>

enum class SoundFileKind { Wave, OggVorbis, Flac, Mp3 };

// Bytes enough to tell every kind apart.
constexpr std::size_t kSoundFileMagicBytes = 4;

// "OggS" is Ogg, "fLaC" is FLAC, "ID3" (a tag before the frames) or the
// header of an MPEG audio frame is MP3; anything else, fewer bytes
// included, is a wave file.
SoundFileKind SoundFileKindOf(const unsigned char* head, std::size_t size);
// The same for an open file, read from its start; the file is left at its
// start again.
SoundFileKind SoundFileKindOf(std::FILE* file);
// The same for a file by name; Wave when it cannot be opened.
SoundFileKind SoundFileKindOf(const char* path);
