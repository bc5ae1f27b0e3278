// Video files in the browser: there is no decoder in the web build, so every
// video file fails to open as an undecodable one does.
#include "platform/video_file.h"
#include "platform/web/unavailable.h"

namespace platform {

struct VideoFile {};

VideoFile* OpenVideoFile(const char*, bool)
{
    web::SayUnavailable("video playback");
    return nullptr;
}

void CloseVideoFile(VideoFile* video) { delete video; }
bool VideoFileHasPictures(const VideoFile*) { return false; }
bool VideoFileHasSound(const VideoFile*) { return false; }
int VideoWidth(const VideoFile*) { return 0; }
int VideoHeight(const VideoFile*) { return 0; }
bool SetVideoFileOutputSize(VideoFile*, int, int) { return false; }
bool VideoFileAt(VideoFile*, double, const unsigned char**, bool*) { return false; }
bool RewindVideoFile(VideoFile*) { return false; }
int TakeVideoSound(VideoFile*, std::int16_t*, int) { return 0; }

}  // namespace platform
