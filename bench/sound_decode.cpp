// Loading a compressed sound into a slot against loading a wave file of
// the same second of sound (44100 Hz stereo 16-bit, two sines: see
// bench/data/README.md): the whole of LOADSOUND's work after the name is
// resolved (open, read, decode or convert to the device's 22050 Hz stereo,
// reserve the copies), on SDL's dummy audio driver. The formats and the
// wave baseline run in turn in the same process, warm-up excluded; wall and
// this thread's CPU time, minimum and median. Prints RESULT rows (see
// bench/support/measure.h).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "audio/sfx_sound.h"
#include "audio/sfx_sound_buffer.h"
#include "support/measure.h"

namespace {

constexpr int kRate = 44100;
constexpr double kGoalSeconds = 0.020;  // an Ogg sound of 1 s

std::string DataFile(const char* name) { return std::string(KV_SOURCE_DIR) + "/bench/data/" + name; }

void Put16(std::vector<unsigned char>& out, unsigned value)
{
    out.push_back(static_cast<unsigned char>(value));
    out.push_back(static_cast<unsigned char>(value >> 8));
}

void Put32(std::vector<unsigned char>& out, unsigned value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// The second of sound as a plain PCM wave file.
std::string WriteWave()
{
    const unsigned dataBytes = kRate * 4;
    std::vector<unsigned char> file = {'R', 'I', 'F', 'F'};
    Put32(file, 36 + dataBytes);
    file.insert(file.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put32(file, 16);
    Put16(file, 1);
    Put16(file, 2);
    Put32(file, kRate);
    Put32(file, kRate * 4);
    Put16(file, 4);
    Put16(file, 16);
    file.insert(file.end(), {'d', 'a', 't', 'a'});
    Put32(file, dataBytes);
    for (int i = 0; i < kRate; ++i) {
        const double t = static_cast<double>(i) / kRate;
        Put16(file, static_cast<unsigned>(static_cast<int>(std::lround(16383 * std::sin(2 * M_PI * 440 * t)))) & 0xFFFF);
        Put16(file, static_cast<unsigned>(static_cast<int>(std::lround(16383 * std::sin(2 * M_PI * 554 * t)))) & 0xFFFF);
    }
    const std::string path = (std::filesystem::temp_directory_path() / "kv_bench_second.wav").string();
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) return {};
    std::fwrite(file.data(), 1, file.size(), out);
    std::fclose(out);
    return path;
}

}  // namespace

int main()
{
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    SFXSound device;
    if (device.Create(nullptr) != 1) {
        std::fprintf(stderr, "sound_decode: the audio device did not open\n");
        return 1;
    }
    const std::string wave = WriteWave();
    const std::string ogg = DataFile("second.ogg"), mp3 = DataFile("second.mp3"), flac = DataFile("second.flac");
    SFXSoundBuffer slot;
    bool allLoaded = true;
    bench::Samples waveRuns, oggRuns, mp3Runs, flacRuns;
    auto loadInto = [&](const std::string& path) { allLoaded = slot.Load(&device, path.c_str(), 1) && allLoaded; };
    bench::Interleave(3, 21, {&waveRuns, &oggRuns, &mp3Runs, &flacRuns},
                      [&] { loadInto(wave); }, [&] { loadInto(ogg); }, [&] { loadInto(mp3); },
                      [&] { loadInto(flac); });
    std::remove(wave.c_str());
    if (!allLoaded) {
        std::fprintf(stderr, "sound_decode: a sound did not load\n");
        return 1;
    }
    std::printf("wave: %s\nogg: %s\nmp3: %s\nflac: %s\n", bench::Summary(waveRuns).c_str(),
                bench::Summary(oggRuns).c_str(), bench::Summary(mp3Runs).c_str(), bench::Summary(flacRuns).c_str());

    auto row = [&](const char* format, const bench::Samples& runs, bool withGoal) {
        bench::Result(std::string("LOADSOUND of 1 s of ") + format +
                          " (44.1 kHz stereo) vs the same as WAV, wall min / median (cpu median)",
                      bench::Duration(runs.minWall()) + " / " + bench::Duration(runs.medianWall()) + " (" +
                          bench::Duration(runs.medianCpu()) + " cpu)",
                      bench::Duration(waveRuns.minWall()) + " / " + bench::Duration(waveRuns.medianWall()) + " (" +
                          bench::Duration(waveRuns.medianCpu()) + " cpu)",
                      bench::Number(runs.medianWall() / waveRuns.medianWall()) + "x WAV",
                      withGoal ? "<= 20 ms" : "", withGoal ? bench::Met(runs.medianWall() <= kGoalSeconds) : "-");
    };
    row("Ogg Vorbis", oggRuns, true);
    row("MP3", mp3Runs, false);
    row("FLAC", flacRuns, false);
    return 0;
}
