#include "platform/video_file.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/imgutils.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstdio>
#include <deque>
#include <mutex>
#include <vector>

namespace platform {

namespace {

constexpr int kSoundRate = 22050;
// Decoded sound beyond this many frames (about 3 s) is dropped: nobody is
// listening fast enough, and memory must not grow without bound.
constexpr std::size_t kMaxBufferedSoundFrames = kSoundRate * 3;

}  // namespace

struct VideoFile {
    AVFormatContext* format = nullptr;
    AVCodecContext* picture = nullptr;
    AVCodecContext* soundDecoder = nullptr;
    int pictureStream = -1;
    int soundStream = -1;
    SwsContext* scaler = nullptr;
    SwrContext* resampler = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    double pictureTimeBase = 0;
    int64_t firstPts = 0;                // the picture stream's start

    std::vector<unsigned char> shown;    // the picture now due, RGB
    bool haveShown = false;
    std::vector<unsigned char> next;     // the next decoded picture, RGB
    double nextTime = 0;                 // its time in seconds
    double shownTime = 0;
    double picturePeriod = 0.04;         // seconds one picture stands
    bool started = false;                // the first picture was asked for
    bool ended = false;                  // no more pictures will come

    std::mutex soundLock;
    std::deque<std::int16_t> soundQueue; // interleaved stereo
};

namespace {

AVCodecContext* OpenDecoder(AVFormatContext* format, int stream)
{
    const AVCodec* codec = avcodec_find_decoder(format->streams[stream]->codecpar->codec_id);
    if (codec == nullptr) return nullptr;
    AVCodecContext* context = avcodec_alloc_context3(codec);
    if (context == nullptr) return nullptr;
    if (avcodec_parameters_to_context(context, format->streams[stream]->codecpar) < 0 ||
        avcodec_open2(context, codec, nullptr) < 0) {
        avcodec_free_context(&context);
        return nullptr;
    }
    return context;
}

void QueueSound(VideoFile* video, AVFrame* frame)
{
    if (video->resampler == nullptr) {
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        if (swr_alloc_set_opts2(&video->resampler, &stereo, AV_SAMPLE_FMT_S16, kSoundRate,
                                &frame->ch_layout, static_cast<AVSampleFormat>(frame->format),
                                frame->sample_rate, 0, nullptr) < 0 ||
            swr_init(video->resampler) < 0) {
            swr_free(&video->resampler);
            return;
        }
    }
    const int capacity = swr_get_out_samples(video->resampler, frame->nb_samples);
    if (capacity <= 0) return;
    std::vector<std::int16_t> converted(static_cast<std::size_t>(capacity) * 2);
    uint8_t* out[1] = {reinterpret_cast<uint8_t*>(converted.data())};
    const int frames = swr_convert(video->resampler, out, capacity,
                                   const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples);
    if (frames <= 0) return;
    std::lock_guard<std::mutex> guard(video->soundLock);
    video->soundQueue.insert(video->soundQueue.end(), converted.begin(), converted.begin() + frames * 2);
    while (video->soundQueue.size() > kMaxBufferedSoundFrames * 2) video->soundQueue.pop_front();
}

void StorePicture(VideoFile* video, AVFrame* frame)
{
    const int width = video->picture->width;
    const int height = video->picture->height;
    video->scaler = sws_getCachedContext(video->scaler, frame->width, frame->height,
                                         static_cast<AVPixelFormat>(frame->format), width, height,
                                         AV_PIX_FMT_RGB24, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (video->scaler == nullptr) return;
    video->next.resize(static_cast<std::size_t>(width) * height * 3);
    uint8_t* planes[1] = {video->next.data()};
    int strides[1] = {width * 3};
    sws_scale(video->scaler, frame->data, frame->linesize, 0, frame->height, planes, strides);
    const int64_t pts = frame->best_effort_timestamp;
    video->nextTime = pts == AV_NOPTS_VALUE ? video->shownTime + video->picturePeriod
                                            : (pts - video->firstPts) * video->pictureTimeBase;
}

// Reads on until the next picture is decoded (sound on the way is queued).
// False when the file has no more pictures.
bool DecodeNextPicture(VideoFile* video)
{
    for (;;) {
        int got = avcodec_receive_frame(video->picture, video->frame);
        if (got == 0) {
            StorePicture(video, video->frame);
            av_frame_unref(video->frame);
            return true;
        }
        if (got == AVERROR_EOF) return false;
        int read = av_read_frame(video->format, video->packet);
        if (read < 0) {
            avcodec_send_packet(video->picture, nullptr);  // drain what is left
            continue;
        }
        if (video->packet->stream_index == video->pictureStream) {
            avcodec_send_packet(video->picture, video->packet);
        } else if (video->packet->stream_index == video->soundStream && video->soundDecoder != nullptr) {
            if (avcodec_send_packet(video->soundDecoder, video->packet) == 0) {
                while (avcodec_receive_frame(video->soundDecoder, video->frame) == 0) {
                    QueueSound(video, video->frame);
                    av_frame_unref(video->frame);
                }
            }
        }
        av_packet_unref(video->packet);
    }
}

}  // namespace

VideoFile* OpenVideoFile(const char* path)
{
    VideoFile* video = new VideoFile;
    if (avformat_open_input(&video->format, path, nullptr, nullptr) != 0 ||
        avformat_find_stream_info(video->format, nullptr) < 0) {
        CloseVideoFile(video);
        return nullptr;
    }
    video->pictureStream = av_find_best_stream(video->format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (video->pictureStream < 0 || (video->picture = OpenDecoder(video->format, video->pictureStream)) == nullptr ||
        video->picture->width <= 0 || video->picture->height <= 0) {
        CloseVideoFile(video);
        return nullptr;
    }
    AVRational base = video->format->streams[video->pictureStream]->time_base;
    video->pictureTimeBase = av_q2d(base);
    const int64_t start = video->format->streams[video->pictureStream]->start_time;
    video->firstPts = start == AV_NOPTS_VALUE ? 0 : start;
    AVRational rate = video->format->streams[video->pictureStream]->avg_frame_rate;
    if (rate.num > 0 && rate.den > 0) video->picturePeriod = av_q2d(av_inv_q(rate));
    video->soundStream = av_find_best_stream(video->format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (video->soundStream >= 0) video->soundDecoder = OpenDecoder(video->format, video->soundStream);
    video->packet = av_packet_alloc();
    video->frame = av_frame_alloc();
    if (video->packet == nullptr || video->frame == nullptr) {
        CloseVideoFile(video);
        return nullptr;
    }
    return video;
}

void CloseVideoFile(VideoFile* video)
{
    if (video == nullptr) return;
    av_packet_free(&video->packet);
    av_frame_free(&video->frame);
    avcodec_free_context(&video->picture);
    avcodec_free_context(&video->soundDecoder);
    sws_freeContext(video->scaler);
    swr_free(&video->resampler);
    avformat_close_input(&video->format);
    delete video;
}

int VideoWidth(const VideoFile* video) { return video->picture->width; }
int VideoHeight(const VideoFile* video) { return video->picture->height; }
bool VideoHasSound(const VideoFile* video) { return video->soundDecoder != nullptr; }

bool VideoPictureAt(VideoFile* video, double seconds, const unsigned char** rgb)
{
    if (!video->started) {
        video->started = true;
        if (!DecodeNextPicture(video)) video->ended = true;
    }
    // Every picture whose time has come replaces the one shown.
    while (!video->next.empty() && video->nextTime <= seconds) {
        video->shown.swap(video->next);
        video->next.clear();
        video->shownTime = video->nextTime;
        video->haveShown = true;
        if (!video->ended && !DecodeNextPicture(video)) video->ended = true;
    }
    *rgb = video->haveShown ? video->shown.data() : nullptr;
    // The last picture still stands for one picture period.
    return !video->next.empty() || (video->haveShown && seconds < video->shownTime + video->picturePeriod);
}

bool RewindVideoFile(VideoFile* video)
{
    if (av_seek_frame(video->format, -1, video->format->start_time == AV_NOPTS_VALUE ? 0 : video->format->start_time,
                      AVSEEK_FLAG_BACKWARD) < 0)
        return false;
    avcodec_flush_buffers(video->picture);
    if (video->soundDecoder != nullptr) avcodec_flush_buffers(video->soundDecoder);
    video->next.clear();
    video->started = false;
    video->ended = false;
    return true;
}

int TakeVideoSound(VideoFile* video, std::int16_t* out, int frames)
{
    std::lock_guard<std::mutex> guard(video->soundLock);
    const int available = static_cast<int>(video->soundQueue.size() / 2);
    const int taken = std::min(available, frames);
    std::copy(video->soundQueue.begin(), video->soundQueue.begin() + taken * 2, out);
    video->soundQueue.erase(video->soundQueue.begin(), video->soundQueue.begin() + taken * 2);
    return taken;
}

}  // namespace platform
