// Video files through FFmpeg's libraries (platform-internal, used by the
// video player): pictures scaled to a chosen size as RGBA, sound as 22050 Hz
// signed 16-bit stereo. Time is passed in by the caller, so the decoder
// itself is deterministic.
#pragma once

#include <cstdint>

namespace platform {

struct VideoFile;

// Largest picture accepted, checked before anything is allocated for it.
constexpr int kMaxVideoSide = 8192;
constexpr long long kMaxVideoPixels = 8192LL * 4608;

// Null (reason on stderr) when the file cannot be opened, its picture size
// is absurd, or it holds neither a decodable picture nor a decodable sound
// stream. withSound false ignores any sound stream.
VideoFile* OpenVideoFile(const char* path, bool withSound);
void CloseVideoFile(VideoFile* video);
bool VideoFileHasPictures(const VideoFile* video);
bool VideoFileHasSound(const VideoFile* video);
// The picture size stored in the file (0 without pictures).
int VideoWidth(const VideoFile* video);
int VideoHeight(const VideoFile* video);
// Size of the pictures handed out (the file's own size until set). False
// when out of range or once pictures have been decoded.
bool SetVideoFileOutputSize(VideoFile* video, int width, int height);

// Decodes up to `seconds` after the start. *rgba then points to the picture
// due at that time (output size x 4 bytes, top row first; null before the
// first picture or without pictures) and *changed says whether it differs
// from the one of the previous call. Returns false once the file has
// nothing more to show or sound at that time: its last picture has stood
// for one picture period and its sound has been decoded to the end.
bool VideoFileAt(VideoFile* video, double seconds, const unsigned char** rgba, bool* changed);
// Back to the start, for looping. False when the file cannot seek.
bool RewindVideoFile(VideoFile* video);

// Takes up to `frames` stereo frames of decoded sound; returns how many
// were there. Safe to call from the audio thread.
int TakeVideoSound(VideoFile* video, std::int16_t* out, int frames);

}  // namespace platform
