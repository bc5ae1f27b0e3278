// Video files through FFmpeg's libraries (platform-internal, used by the
// platform's video player): pictures as RGB, sound as 22050 Hz stereo.
#pragma once

#include <cstdint>

namespace platform {

struct VideoFile;

// Null when the file cannot be opened or holds no decodable picture.
VideoFile* OpenVideoFile(const char* path);
void CloseVideoFile(VideoFile* video);
int VideoWidth(const VideoFile* video);
int VideoHeight(const VideoFile* video);
bool VideoHasSound(const VideoFile* video);

// Decodes up to the picture due `seconds` after the start. rgb then points
// to width x height x 3 bytes, top row first (null before the first
// picture). False once the file has no more pictures.
bool VideoPictureAt(VideoFile* video, double seconds, const unsigned char** rgb);
// Back to the start, for looping.
bool RewindVideoFile(VideoFile* video);

// Takes up to `frames` stereo frames of decoded sound (signed 16-bit,
// 22050 Hz); returns how many were there. Safe to call from the audio thread.
int TakeVideoSound(VideoFile* video, std::int16_t* out, int frames);

}  // namespace platform
