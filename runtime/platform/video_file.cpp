#include "platform/video_file.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <deque>
#include <mutex>
#include <new>
#include <string>
#include <vector>

namespace platform {

namespace {

constexpr int kSoundRate = 22050;
// Decoded sound beyond this many frames (about 3 s) is dropped: nobody is
// listening fast enough, and memory must not grow without bound.
constexpr std::size_t kMaxBufferedSoundFrames = kSoundRate * 3;
// A file without pictures is decoded this far ahead of its clock, so the
// mixer always finds sound waiting.
constexpr double kSoundLeadSeconds = 0.5;
// A broken time stamp may not make a picture wait longer than this.
constexpr double kLongestPictureGap = 5.0;

bool SizeIsSane(int width, int height)
{
    return width > 0 && height > 0 && width <= kMaxVideoSide && height <= kMaxVideoSide &&
           static_cast<long long>(width) * height <= kMaxVideoPixels;
}

}  // namespace

struct VideoFile {
    AVFormatContext* format = nullptr;
    AVCodecContext* pictureDecoder = nullptr;
    AVCodecContext* soundDecoder = nullptr;
    int pictureStream = -1;
    int soundStream = -1;
    SwsContext* scaler = nullptr;
    SwrContext* resampler = nullptr;
    // What the resampler was set up for; a change mid-stream rebuilds it.
    int resamplerRate = 0;
    int resamplerFormat = -1;
    AVChannelLayout resamplerLayout{};
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;

    int width = 0, height = 0;            // stored in the file
    int outWidth = 0, outHeight = 0;      // handed out
    double pictureTimeBase = 0;
    int64_t firstPts = 0;                 // the picture stream's start
    double picturePeriod = 0.04;          // seconds one picture stands

    std::vector<unsigned char> shown;     // the picture now due, RGBA
    bool haveShown = false;
    double shownTime = 0;
    std::vector<unsigned char> next;      // the next decoded picture, RGBA
    bool haveNext = false;
    double nextTime = 0;
    bool started = false;                 // the first picture was asked for
    bool picturesEnded = false;           // no more pictures will come
    bool fileEnded = false;               // every packet has been read
    bool draining = false;                // the picture decoder was told the end

    double soundSecondsDecoded = 0;       // since the start (or rewind)

    std::mutex soundLock;
    std::deque<std::int16_t> soundQueue;  // interleaved stereo
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

bool ResamplerFits(const VideoFile* video, const AVFrame* frame)
{
    return video->resampler != nullptr && video->resamplerRate == frame->sample_rate &&
           video->resamplerFormat == frame->format &&
           av_channel_layout_compare(&video->resamplerLayout, &frame->ch_layout) == 0;
}

void QueueSound(VideoFile* video, AVFrame* frame)
{
    if (frame->nb_samples <= 0 || frame->sample_rate <= 0) return;
    if (!ResamplerFits(video, frame)) {
        swr_free(&video->resampler);
        av_channel_layout_uninit(&video->resamplerLayout);
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        if (swr_alloc_set_opts2(&video->resampler, &stereo, AV_SAMPLE_FMT_S16, kSoundRate,
                                &frame->ch_layout, static_cast<AVSampleFormat>(frame->format),
                                frame->sample_rate, 0, nullptr) < 0 ||
            swr_init(video->resampler) < 0) {
            swr_free(&video->resampler);
            return;
        }
        video->resamplerRate = frame->sample_rate;
        video->resamplerFormat = frame->format;
        av_channel_layout_copy(&video->resamplerLayout, &frame->ch_layout);
    }
    const int capacity = swr_get_out_samples(video->resampler, frame->nb_samples);
    if (capacity <= 0) return;
    std::vector<std::int16_t> converted(static_cast<std::size_t>(capacity) * 2);
    uint8_t* out[1] = {reinterpret_cast<uint8_t*>(converted.data())};
    const int frames = swr_convert(video->resampler, out, capacity,
                                   const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples);
    if (frames <= 0) return;
    video->soundSecondsDecoded += static_cast<double>(frames) / kSoundRate;
    std::lock_guard<std::mutex> guard(video->soundLock);
    video->soundQueue.insert(video->soundQueue.end(), converted.begin(), converted.begin() + frames * 2);
    while (video->soundQueue.size() > kMaxBufferedSoundFrames * 2) video->soundQueue.pop_front();
}

void DecodeSoundPacket(VideoFile* video)
{
    if (avcodec_send_packet(video->soundDecoder, video->packet) != 0) return;  // a broken packet
    while (avcodec_receive_frame(video->soundDecoder, video->frame) == 0) {
        QueueSound(video, video->frame);
        av_frame_unref(video->frame);
    }
}

// Scales a decoded picture into `next` and times it.
void StorePicture(VideoFile* video, AVFrame* frame)
{
    if (!SizeIsSane(frame->width, frame->height) || frame->format < 0) return;
    video->scaler = sws_getCachedContext(video->scaler, frame->width, frame->height,
                                         static_cast<AVPixelFormat>(frame->format), video->outWidth,
                                         video->outHeight, AV_PIX_FMT_RGBA, SWS_BILINEAR, nullptr,
                                         nullptr, nullptr);
    if (video->scaler == nullptr) return;
    // The scaler's vector code writes whole blocks of pixels and may run
    // past the end of the last line; the slack keeps that inside the buffer
    // (found by fuzzing as a damaged heap). Only the picture is ever read.
    constexpr std::size_t kScalerSlack = 256;
    video->next.resize(static_cast<std::size_t>(video->outWidth) * video->outHeight * 4 +
                       static_cast<std::size_t>(video->outWidth) * 4 + kScalerSlack);
    uint8_t* planes[4] = {video->next.data(), nullptr, nullptr, nullptr};
    int strides[4] = {video->outWidth * 4, 0, 0, 0};
    sws_scale(video->scaler, frame->data, frame->linesize, 0, frame->height, planes, strides);

    const double previous = video->haveShown ? video->shownTime : 0;
    const int64_t pts = frame->best_effort_timestamp;
    double time = pts == AV_NOPTS_VALUE ? previous + video->picturePeriod
                                        : static_cast<double>(pts - video->firstPts) * video->pictureTimeBase;
    if (!std::isfinite(time)) time = previous + video->picturePeriod;
    video->nextTime = std::min(time, previous + kLongestPictureGap);
    video->haveNext = true;
}

// Reads on until the next picture is decoded (sound on the way is queued).
// False when the file has no more pictures.
bool DecodeNextPicture(VideoFile* video)
{
    for (;;) {
        const int got = avcodec_receive_frame(video->pictureDecoder, video->frame);
        if (got == 0) {
            video->haveNext = false;
            StorePicture(video, video->frame);
            av_frame_unref(video->frame);
            if (video->haveNext) return true;
            continue;  // a picture that could not be converted is left out
        }
        if (got != AVERROR(EAGAIN)) return false;  // the end, or a decoder that gave up
        if (video->draining) return false;
        if (av_read_frame(video->format, video->packet) < 0) {
            // The end of the file, or a file broken from here on: what the
            // decoder still holds comes out, then playback ends.
            video->fileEnded = true;
            video->draining = true;
            avcodec_send_packet(video->pictureDecoder, nullptr);
            continue;
        }
        if (video->packet->stream_index == video->pictureStream) {
            avcodec_send_packet(video->pictureDecoder, video->packet);  // a broken packet is skipped
        } else if (video->packet->stream_index == video->soundStream && video->soundDecoder != nullptr) {
            DecodeSoundPacket(video);
        }
        av_packet_unref(video->packet);
    }
}

// A file without pictures: sound is decoded a little ahead of the clock.
void DecodeSoundUpTo(VideoFile* video, double seconds)
{
    while (!video->fileEnded && video->soundSecondsDecoded < seconds + kSoundLeadSeconds) {
        if (av_read_frame(video->format, video->packet) < 0) {
            video->fileEnded = true;
            break;
        }
        if (video->packet->stream_index == video->soundStream) DecodeSoundPacket(video);
        av_packet_unref(video->packet);
    }
}

}  // namespace

VideoFile* OpenVideoFile(const char* path, bool withSound)
{
    auto* video = new (std::nothrow) VideoFile;
    if (video == nullptr) return nullptr;
    // The name is a file, never a URL ("pipe:0", "http://..."), and nothing
    // in the file (a playlist, say) may lead FFmpeg beyond local files.
    const std::string url = std::string("file:") + path;
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    const int opened = avformat_open_input(&video->format, url.c_str(), nullptr, &options);
    av_dict_free(&options);
    if (opened != 0 || avformat_find_stream_info(video->format, nullptr) < 0) {
        std::fprintf(stderr, "video %s cannot be opened\n", path);
        CloseVideoFile(video);
        return nullptr;
    }
    video->pictureStream = av_find_best_stream(video->format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (video->pictureStream >= 0) {
        const AVStream* stream = video->format->streams[video->pictureStream];
        const AVCodecParameters* parameters = stream->codecpar;
        // Checked before a decoder allocates anything for such a picture.
        if (!SizeIsSane(parameters->width, parameters->height)) {
            std::fprintf(stderr, "video %s: picture size %d x %d refused\n", path, parameters->width,
                         parameters->height);
            CloseVideoFile(video);
            return nullptr;
        }
        video->pictureDecoder = OpenDecoder(video->format, video->pictureStream);
        if (video->pictureDecoder == nullptr) {
            std::fprintf(stderr, "video %s: its pictures cannot be decoded\n", path);
            video->pictureStream = -1;
        } else {
            video->width = video->outWidth = parameters->width;
            video->height = video->outHeight = parameters->height;
            video->pictureTimeBase = av_q2d(stream->time_base);
            video->firstPts = stream->start_time == AV_NOPTS_VALUE ? 0 : stream->start_time;
            const AVRational rate = stream->avg_frame_rate;
            if (rate.num > 0 && rate.den > 0) {
                const double period = av_q2d(av_inv_q(rate));
                if (period > 0 && period <= kLongestPictureGap) video->picturePeriod = period;
            }
        }
    }
    if (withSound) {
        video->soundStream = av_find_best_stream(video->format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
        if (video->soundStream >= 0) {
            video->soundDecoder = OpenDecoder(video->format, video->soundStream);
            if (video->soundDecoder == nullptr) {
                std::fprintf(stderr, "video %s: its sound cannot be decoded\n", path);
                video->soundStream = -1;
            }
        }
    }
    if (video->pictureDecoder == nullptr && video->soundDecoder == nullptr) {
        std::fprintf(stderr, "video %s holds nothing that can be played\n", path);
        CloseVideoFile(video);
        return nullptr;
    }
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
    avcodec_free_context(&video->pictureDecoder);
    avcodec_free_context(&video->soundDecoder);
    sws_freeContext(video->scaler);
    swr_free(&video->resampler);
    av_channel_layout_uninit(&video->resamplerLayout);
    avformat_close_input(&video->format);
    delete video;
}

bool VideoFileHasPictures(const VideoFile* video) { return video->pictureDecoder != nullptr; }
bool VideoFileHasSound(const VideoFile* video) { return video->soundDecoder != nullptr; }
int VideoWidth(const VideoFile* video) { return video->width; }
int VideoHeight(const VideoFile* video) { return video->height; }

bool SetVideoFileOutputSize(VideoFile* video, int width, int height)
{
    // Pictures already decoded have the old size: only before the first.
    if (!SizeIsSane(width, height) || video->started) return false;
    video->outWidth = width;
    video->outHeight = height;
    return true;
}

bool VideoFileAt(VideoFile* video, double seconds, const unsigned char** rgba, bool* changed)
{
    *changed = false;
    if (video->pictureDecoder == nullptr) {
        DecodeSoundUpTo(video, seconds);
        *rgba = nullptr;
        return !video->fileEnded || seconds < video->soundSecondsDecoded;
    }
    if (!video->started) {
        video->started = true;
        if (!DecodeNextPicture(video)) video->picturesEnded = true;
    }
    // Every picture whose time has come replaces the one shown.
    while (video->haveNext && video->nextTime <= seconds) {
        video->shown.swap(video->next);
        video->shownTime = video->nextTime;
        video->haveShown = true;
        video->haveNext = false;
        *changed = true;
        if (!video->picturesEnded && !DecodeNextPicture(video)) video->picturesEnded = true;
    }
    *rgba = video->haveShown ? video->shown.data() : nullptr;
    // The last picture still stands for one picture period.
    return video->haveNext || (video->haveShown && seconds < video->shownTime + video->picturePeriod);
}

bool RewindVideoFile(VideoFile* video)
{
    const int64_t start = video->format->start_time == AV_NOPTS_VALUE ? 0 : video->format->start_time;
    if (av_seek_frame(video->format, -1, start, AVSEEK_FLAG_BACKWARD) < 0) return false;
    if (video->pictureDecoder != nullptr) avcodec_flush_buffers(video->pictureDecoder);
    if (video->soundDecoder != nullptr) avcodec_flush_buffers(video->soundDecoder);
    video->haveNext = false;
    video->haveShown = false;
    video->started = false;
    video->picturesEnded = false;
    video->fileEnded = false;
    video->draining = false;
    video->soundSecondsDecoded = 0;
    return true;
}

int TakeVideoSound(VideoFile* video, std::int16_t* out, int frames)
{
    std::lock_guard<std::mutex> guard(video->soundLock);
    const int available = static_cast<int>(video->soundQueue.size() / 2);
    const int taken = std::max(0, std::min(available, frames));
    std::copy(video->soundQueue.begin(), video->soundQueue.begin() + taken * 2, out);
    video->soundQueue.erase(video->soundQueue.begin(), video->soundQueue.begin() + taken * 2);
    return taken;
}

}  // namespace platform
