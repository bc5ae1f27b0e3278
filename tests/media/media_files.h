// Test media made on the spot: WAV pieces of one constant sample value,
// video files written with FFmpeg's own encoders, BMP screenshots read back,
// and the mixer's output recorded through SDL's disk audio driver.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace mediatest {

struct Rgb {
    int r = 0, g = 0, b = 0;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};
std::ostream& operator<<(std::ostream& out, const Rgb& c);

// A fresh folder under /tmp, removed at the end.
class Folder {
public:
    Folder();
    ~Folder();
    std::string Path(const std::string& name) const { return m_path + "/" + name; }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> ReadBytes(const std::string& path);

// 16-bit stereo PCM at 22050 Hz, every sample `value`.
void WriteConstantWav(const std::string& path, std::int16_t value, int frames);

// A sine of 441 Hz, amplitude `amplitude`, 22050 Hz stereo, encoded with
// the named FFmpeg encoder ("libvorbis", "flac", "libmp3lame") into the
// named container ("ogg", "flac", "mp3"). False (reason in *why) when the
// encoder or container is missing.
bool WriteEncodedSine(const std::string& path, const std::string& container, const std::string& codec,
                      int amplitude, int frames, std::string* why);

struct VideoRecipe {
    int width = 320;
    int height = 240;
    int fps = 25;
    int pictures = 5;
    std::vector<Rgb> colours{{255, 0, 0}};  // picture i has colours[i % size]
    bool withPictures = true;
    // Sound: 22050 Hz stereo PCM of one value, as long as the pictures run.
    bool withSound = false;
    std::int16_t soundValue = 4000;
    // "rawvideo" (exact RGB) or "mpeg4" (YUV 4:2:0, colours approximate).
    std::string codec = "rawvideo";
    std::string container = "nut";
};
// Writes the video; false (with the reason in *why) when the encoders or the
// container are missing.
bool WriteVideo(const std::string& path, const VideoRecipe& recipe, std::string* why);

// A 24-bit BMP as SaveDrawingArea writes it, addressed from the top-left.
struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> bgr;  // rows bottom first, padded to 4 bytes
    Rgb At(int x, int y) const;
    bool Load(const std::string& path);
};

// The mixer's output, recorded by SDL's disk audio driver into a file. Set
// the driver up before anything opens the mixer.
void RecordMixerInto(const std::string& file);
struct StereoFrame {
    std::int16_t left = 0, right = 0;
};
std::vector<StereoFrame> ReadRecording(const std::string& file);
int CountFrames(const std::vector<StereoFrame>& frames, std::int16_t value);
// Separate runs of frames of exactly this value (both channels), each at
// least minLength long.
int CountRuns(const std::vector<StereoFrame>& frames, std::int16_t value, int minLength);

void SleepSeconds(double seconds);

}  // namespace mediatest
