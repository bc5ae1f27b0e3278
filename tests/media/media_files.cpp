#include "media/media_files.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
}

#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <thread>

namespace mediatest {

std::ostream& operator<<(std::ostream& out, const Rgb& c)
{
    return out << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

Folder::Folder()
{
#ifdef _WIN32
    // Windows has no /tmp: the user's temporary folder.
    std::string pattern = (std::filesystem::temp_directory_path() / "kv_media_test_XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) m_path = pattern;
#else
    char pattern[] = "/tmp/kv_media_test_XXXXXX";
    if (mkdtemp(pattern) != nullptr) m_path = pattern;
#endif
}

Folder::~Folder()
{
    std::error_code ignored;
    if (!m_path.empty()) std::filesystem::remove_all(m_path, ignored);
}

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

namespace {

void PutLe(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void PutText(std::vector<std::uint8_t>& out, const char* text)
{
    while (*text) out.push_back(static_cast<std::uint8_t>(*text++));
}

// Everything FFmpeg needs to write one file, released in one place.
struct Writer {
    AVFormatContext* format = nullptr;
    AVCodecContext* pictures = nullptr;
    AVCodecContext* sound = nullptr;
    AVStream* pictureStream = nullptr;
    AVStream* soundStream = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    ~Writer()
    {
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&pictures);
        avcodec_free_context(&sound);
        if (format != nullptr && !(format->oformat->flags & AVFMT_NOFILE)) avio_closep(&format->pb);
        avformat_free_context(format);
    }
};

bool Fail(std::string* why, const std::string& text)
{
    *why = text;
    return false;
}

// Sends a frame (null: the end) and writes every packet that comes out.
bool Encode(Writer& w, AVCodecContext* codec, AVStream* stream, AVFrame* frame)
{
    if (avcodec_send_frame(codec, frame) < 0) return false;
    for (;;) {
        const int got = avcodec_receive_packet(codec, w.packet);
        if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) return true;
        if (got < 0) return false;
        av_packet_rescale_ts(w.packet, codec->time_base, stream->time_base);
        w.packet->stream_index = stream->index;
        if (av_interleaved_write_frame(w.format, w.packet) < 0) return false;
    }
}

void FillPicture(AVFrame* frame, const Rgb& c, bool yuv)
{
    if (!yuv) {
        for (int y = 0; y < frame->height; ++y) {
            std::uint8_t* row = frame->data[0] + y * frame->linesize[0];
            for (int x = 0; x < frame->width; ++x) {
                row[x * 3] = static_cast<std::uint8_t>(c.r);
                row[x * 3 + 1] = static_cast<std::uint8_t>(c.g);
                row[x * 3 + 2] = static_cast<std::uint8_t>(c.b);
            }
        }
        return;
    }
    // BT.601 limited range, as the decoder's converter reads it back.
    const double Y = 16 + (65.481 * c.r + 128.553 * c.g + 24.966 * c.b) / 255;
    const double U = 128 + (-37.797 * c.r - 74.203 * c.g + 112.0 * c.b) / 255;
    const double V = 128 + (112.0 * c.r - 93.786 * c.g - 18.214 * c.b) / 255;
    const std::uint8_t values[3] = {static_cast<std::uint8_t>(Y + 0.5), static_cast<std::uint8_t>(U + 0.5),
                                    static_cast<std::uint8_t>(V + 0.5)};
    for (int plane = 0; plane < 3; ++plane) {
        const int h = plane == 0 ? frame->height : (frame->height + 1) / 2;
        const int wdt = plane == 0 ? frame->width : (frame->width + 1) / 2;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < wdt; ++x) frame->data[plane][y * frame->linesize[plane] + x] = values[plane];
    }
}

}  // namespace

void WriteConstantWav(const std::string& path, std::int16_t value, int frames)
{
    std::vector<std::uint8_t> b;
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(frames) * 4;
    PutText(b, "RIFF");
    PutLe(b, 36 + dataBytes, 4);
    PutText(b, "WAVEfmt ");
    PutLe(b, 16, 4);
    PutLe(b, 1, 2);          // PCM
    PutLe(b, 2, 2);          // stereo
    PutLe(b, 22050, 4);
    PutLe(b, 22050 * 4, 4);  // bytes per second
    PutLe(b, 4, 2);          // bytes per frame
    PutLe(b, 16, 2);
    PutText(b, "data");
    PutLe(b, dataBytes, 4);
    for (int i = 0; i < frames * 2; ++i) PutLe(b, static_cast<std::uint16_t>(value), 2);
    WriteBytes(path, b);
}

bool WriteVideo(const std::string& path, const VideoRecipe& recipe, std::string* why)
{
    Writer w;
    if (avformat_alloc_output_context2(&w.format, nullptr, recipe.container.c_str(), path.c_str()) < 0)
        return Fail(why, "no muxer " + recipe.container);
    w.frame = av_frame_alloc();
    w.packet = av_packet_alloc();
    const bool yuv = recipe.codec != "rawvideo";
    if (recipe.withPictures) {
        const AVCodec* codec = avcodec_find_encoder_by_name(recipe.codec.c_str());
        if (codec == nullptr) return Fail(why, "no encoder " + recipe.codec);
        w.pictures = avcodec_alloc_context3(codec);
        w.pictures->width = recipe.width;
        w.pictures->height = recipe.height;
        w.pictures->time_base = AVRational{1, recipe.fps};
        w.pictures->framerate = AVRational{recipe.fps, 1};
        w.pictures->pix_fmt = yuv ? AV_PIX_FMT_YUV420P : AV_PIX_FMT_RGB24;
        w.pictures->gop_size = 1;
        if (w.format->oformat->flags & AVFMT_GLOBALHEADER) w.pictures->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        if (avcodec_open2(w.pictures, codec, nullptr) < 0) return Fail(why, "cannot open " + recipe.codec);
        w.pictureStream = avformat_new_stream(w.format, nullptr);
        w.pictureStream->time_base = w.pictures->time_base;
        avcodec_parameters_from_context(w.pictureStream->codecpar, w.pictures);
    }
    if (recipe.withSound) {
        const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_PCM_S16LE);
        if (codec == nullptr) return Fail(why, "no PCM encoder");
        w.sound = avcodec_alloc_context3(codec);
        w.sound->sample_fmt = AV_SAMPLE_FMT_S16;
        w.sound->sample_rate = 22050;
        w.sound->time_base = AVRational{1, 22050};
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        av_channel_layout_copy(&w.sound->ch_layout, &stereo);
        if (avcodec_open2(w.sound, codec, nullptr) < 0) return Fail(why, "cannot open PCM");
        w.soundStream = avformat_new_stream(w.format, nullptr);
        w.soundStream->time_base = w.sound->time_base;
        avcodec_parameters_from_context(w.soundStream->codecpar, w.sound);
    }
    if (avio_open(&w.format->pb, path.c_str(), AVIO_FLAG_WRITE) < 0) return Fail(why, "cannot create " + path);
    if (avformat_write_header(w.format, nullptr) < 0) return Fail(why, "cannot write the header");

    // Sound in blocks of one picture period, written before its picture.
    const int soundPerPicture = 22050 / recipe.fps;
    for (int i = 0; i < recipe.pictures; ++i) {
        if (w.sound != nullptr) {
            av_frame_unref(w.frame);
            w.frame->format = AV_SAMPLE_FMT_S16;
            w.frame->sample_rate = 22050;
            w.frame->nb_samples = soundPerPicture;
            AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
            av_channel_layout_copy(&w.frame->ch_layout, &stereo);
            if (av_frame_get_buffer(w.frame, 0) < 0) return Fail(why, "no sound buffer");
            auto* samples = reinterpret_cast<std::int16_t*>(w.frame->data[0]);
            for (int s = 0; s < soundPerPicture * 2; ++s) samples[s] = recipe.soundValue;
            w.frame->pts = static_cast<std::int64_t>(i) * soundPerPicture;
            if (!Encode(w, w.sound, w.soundStream, w.frame)) return Fail(why, "sound encoding failed");
        }
        if (w.pictures != nullptr) {
            av_frame_unref(w.frame);
            w.frame->format = w.pictures->pix_fmt;
            w.frame->width = recipe.width;
            w.frame->height = recipe.height;
            if (av_frame_get_buffer(w.frame, 0) < 0) return Fail(why, "no picture buffer");
            FillPicture(w.frame, recipe.colours[static_cast<std::size_t>(i) % recipe.colours.size()], yuv);
            w.frame->pts = i;
            if (!Encode(w, w.pictures, w.pictureStream, w.frame)) return Fail(why, "picture encoding failed");
        }
    }
    if (w.sound != nullptr && !Encode(w, w.sound, w.soundStream, nullptr)) return Fail(why, "sound flush failed");
    if (w.pictures != nullptr && !Encode(w, w.pictures, w.pictureStream, nullptr))
        return Fail(why, "picture flush failed");
    if (av_write_trailer(w.format) < 0) return Fail(why, "cannot write the trailer");
    return true;
}

bool WriteEncodedSine(const std::string& path, const std::string& container, const std::string& codecName,
                      int amplitude, int frames, std::string* why)
{
    Writer w;
    if (avformat_alloc_output_context2(&w.format, nullptr, container.c_str(), path.c_str()) < 0)
        return Fail(why, "no muxer " + container);
    const AVCodec* codec = avcodec_find_encoder_by_name(codecName.c_str());
    if (codec == nullptr) return Fail(why, "no encoder " + codecName);
    w.frame = av_frame_alloc();
    w.packet = av_packet_alloc();
    w.sound = avcodec_alloc_context3(codec);
    // The first of the formats this helper can fill that the encoder takes.
    AVSampleFormat format = AV_SAMPLE_FMT_NONE;
    for (const AVSampleFormat* f = codec->sample_fmts; f != nullptr && *f != AV_SAMPLE_FMT_NONE; ++f)
        if (format == AV_SAMPLE_FMT_NONE &&
            (*f == AV_SAMPLE_FMT_S16 || *f == AV_SAMPLE_FMT_S16P || *f == AV_SAMPLE_FMT_FLTP))
            format = *f;
    if (format == AV_SAMPLE_FMT_NONE) return Fail(why, "no usable sample format");
    w.sound->sample_fmt = format;
    w.sound->sample_rate = 22050;
    w.sound->time_base = AVRational{1, 22050};
    w.sound->bit_rate = 128000;
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    av_channel_layout_copy(&w.sound->ch_layout, &stereo);
    if (w.format->oformat->flags & AVFMT_GLOBALHEADER) w.sound->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(w.sound, codec, nullptr) < 0) return Fail(why, "cannot open " + codecName);
    w.soundStream = avformat_new_stream(w.format, nullptr);
    w.soundStream->time_base = w.sound->time_base;
    avcodec_parameters_from_context(w.soundStream->codecpar, w.sound);
    if (avio_open(&w.format->pb, path.c_str(), AVIO_FLAG_WRITE) < 0) return Fail(why, "cannot create " + path);
    if (avformat_write_header(w.format, nullptr) < 0) return Fail(why, "cannot write the header");

    const int block = w.sound->frame_size > 0 ? w.sound->frame_size : 1024;
    for (int done = 0; done < frames; done += block) {
        av_frame_unref(w.frame);
        w.frame->format = format;
        w.frame->sample_rate = 22050;
        w.frame->nb_samples = std::min(block, frames - done);
        av_channel_layout_copy(&w.frame->ch_layout, &stereo);
        if (av_frame_get_buffer(w.frame, 0) < 0) return Fail(why, "no sound buffer");
        for (int i = 0; i < w.frame->nb_samples; ++i) {
            const double value = amplitude * std::sin(2 * 3.14159265358979 * 441 * (done + i) / 22050.0);
            for (int channel = 0; channel < 2; ++channel) {
                if (format == AV_SAMPLE_FMT_FLTP)
                    reinterpret_cast<float*>(w.frame->data[channel])[i] = static_cast<float>(value / 32768);
                else if (format == AV_SAMPLE_FMT_S16P)
                    reinterpret_cast<std::int16_t*>(w.frame->data[channel])[i] = static_cast<std::int16_t>(value);
                else
                    reinterpret_cast<std::int16_t*>(w.frame->data[0])[i * 2 + channel] = static_cast<std::int16_t>(value);
            }
        }
        w.frame->pts = done;
        if (!Encode(w, w.sound, w.soundStream, w.frame)) return Fail(why, "encoding failed");
    }
    if (!Encode(w, w.sound, w.soundStream, nullptr)) return Fail(why, "flush failed");
    if (av_write_trailer(w.format) < 0) return Fail(why, "cannot write the trailer");
    return true;
}

Rgb Picture::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height) return Rgb{-1, -1, -1};
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    const std::uint8_t* p = &bgr[static_cast<std::size_t>(height - 1 - y) * rowBytes + static_cast<std::size_t>(x) * 3];
    return Rgb{p[2], p[1], p[0]};
}

bool Picture::Load(const std::string& path)
{
    const std::vector<std::uint8_t> bytes = ReadBytes(path);
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') return false;
    auto le32 = [&](std::size_t at) {
        return static_cast<std::uint32_t>(bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
                                          (static_cast<std::uint32_t>(bytes[at + 3]) << 24));
    };
    width = static_cast<int>(le32(18));
    height = static_cast<int>(le32(22));
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    const std::size_t offset = le32(10);
    if (width <= 0 || height <= 0 || bytes.size() < offset + rowBytes * static_cast<std::size_t>(height))
        return false;
    bgr.assign(bytes.begin() + static_cast<std::ptrdiff_t>(offset), bytes.end());
    return true;
}

void RecordMixerInto(const std::string& file)
{
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
}

std::vector<StereoFrame> ReadRecording(const std::string& file)
{
    const std::vector<std::uint8_t> bytes = ReadBytes(file);
    std::vector<StereoFrame> frames(bytes.size() / 4);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const std::uint8_t* p = &bytes[i * 4];
        frames[i].left = static_cast<std::int16_t>(p[0] | (p[1] << 8));
        frames[i].right = static_cast<std::int16_t>(p[2] | (p[3] << 8));
    }
    return frames;
}

int CountFrames(const std::vector<StereoFrame>& frames, std::int16_t value)
{
    int count = 0;
    for (const StereoFrame& f : frames)
        if (f.left == value && f.right == value) ++count;
    return count;
}

int CountRuns(const std::vector<StereoFrame>& frames, std::int16_t value, int minLength)
{
    int runs = 0, length = 0;
    for (std::size_t i = 0; i <= frames.size(); ++i) {
        if (i < frames.size() && frames[i].left == value && frames[i].right == value) {
            ++length;
            continue;
        }
        if (length >= minLength) ++runs;
        length = 0;
    }
    return runs;
}

void SleepSeconds(double seconds)
{
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

}  // namespace mediatest
