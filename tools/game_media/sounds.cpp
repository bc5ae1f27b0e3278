#include "sounds.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>

namespace media {

namespace {

constexpr double kPi = 3.14159265358979323846;

double NoteFrequency(const std::string& name)
{
    // "C5", "F#4": a letter, an optional sharp, an octave; A4 = 440 Hz.
    static const std::map<char, int> semitone = {{'C', -9}, {'D', -7}, {'E', -5}, {'F', -4},
                                                 {'G', -2}, {'A', 0},  {'B', 2}};
    int n = semitone.at(name[0]);
    std::size_t pos = 1;
    if (name[pos] == '#') {
        ++n;
        ++pos;
    }
    int octave = name[pos] - '0';
    return 440.0 * std::pow(2.0, (n + 12 * (octave - 4)) / 12.0);
}

// A square wave built from its first odd harmonics: bright but not harsh.
double SoftSquare(double phase)
{
    double v = 0;
    for (int k = 1; k <= 7; k += 2) v += std::sin(phase * k) / k;
    return v * 0.9;
}

double Triangle(double phase)
{
    double t = std::fmod(phase / (2 * kPi), 1.0);
    return 4 * std::fabs(t - 0.5) - 1;
}

// Adds a note with a short attack and an exponential decay that reaches
// silence by the end of its length.
void AddNote(Samples& out, std::size_t start, std::size_t length, double frequency, double volume,
             double (*wave)(double), double decay)
{
    if (out.size() < start + length) out.resize(start + length, 0.0);
    const std::size_t attack = std::min<std::size_t>(length / 8, kSampleRate / 200);
    for (std::size_t i = 0; i < length; ++i) {
        double t = static_cast<double>(i) / kSampleRate;
        double envelope = std::exp(-t * decay);
        if (i < attack) envelope *= static_cast<double>(i) / attack;
        double tail = static_cast<double>(length - i) / (kSampleRate / 100.0);  // last 10 ms fade out
        if (tail < 1.0) envelope *= tail;
        out[start + i] += volume * envelope * wave(2 * kPi * frequency * t);
    }
}

double Sine(double phase) { return std::sin(phase); }

}  // namespace

Samples SynthesisePickUp()
{
    Samples out;
    const std::size_t step = kSampleRate * 6 / 100;  // 60 ms
    AddNote(out, 0, step, NoteFrequency("E6"), 0.35, SoftSquare, 8);
    AddNote(out, step, step, NoteFrequency("G#6"), 0.35, SoftSquare, 8);
    AddNote(out, 2 * step, kSampleRate / 4, NoteFrequency("B6"), 0.4, SoftSquare, 12);
    AddNote(out, 2 * step, kSampleRate / 4, NoteFrequency("B7"), 0.12, Sine, 16);  // sparkle
    return out;
}

Samples SynthesiseCaught()
{
    Samples out;
    const char* notes[] = {"G4", "F#4", "F4"};
    const std::size_t step = kSampleRate * 18 / 100;
    for (int n = 0; n < 3; ++n) AddNote(out, n * step, step, NoteFrequency(notes[n]), 0.4, Triangle, 3);
    // A long falling "wah" to finish, with a wobble.
    const std::size_t start = 3 * step, length = kSampleRate * 7 / 10;
    out.resize(start + length, 0.0);
    double phase = 0;
    for (std::size_t i = 0; i < length; ++i) {
        double t = static_cast<double>(i) / kSampleRate;
        double frequency = NoteFrequency("E4") * std::pow(0.5, t / 0.7 * 0.6) * (1 + 0.03 * std::sin(2 * kPi * 7 * t));
        phase += 2 * kPi * frequency / kSampleRate;
        double envelope = std::min(1.0, t * 200) * (1 - t / 0.7);
        out[start + i] += 0.45 * envelope * (0.7 * Triangle(phase) + 0.3 * SoftSquare(phase));
    }
    return out;
}

Samples SynthesiseTune()
{
    // 140 beats per minute; the tune is counted in eighth notes.
    const std::size_t eighth = kSampleRate * 30 / 140;
    // Melody: one entry per eighth; "-" holds the note before, "." rests.
    const char* melody[] = {
        "E5", "G5", "C6", "G5", "E5", "G5", "C6", "-",   // C
        "C6", "B5", "A5", "E5", "A5", "-",  "C6", "-",   // Am
        "A5", "G5", "F5", "A5", "C6", "-",  "A5", "-",   // F
        "B5", "A5", "G5", "D5", "G5", "-",  "-",  ".",   // G
        "E5", "G5", "C6", "E6", "D6", "C6", "G5", "-",   // C
        "A5", "C6", "E6", "C6", "A5", "-",  "E5", "-",   // Am
        "F5", "A5", "C6", "A5", "G5", "F5", "E5", "D5",  // F
        "D5", "G5", "B5", "D6", "C6", "-",  "-",  ".",   // G
    };
    const int kEighths = sizeof(melody) / sizeof(melody[0]);
    // Bass: one note per quarter, root and fifth of each bar's chord.
    const char* bass[] = {"C3", "G2", "C3", "G2", "A2", "E2", "A2", "E2", "F2", "C3", "F2", "C3",
                          "G2", "D3", "G2", "D3"};
    Samples out(eighth * kEighths, 0.0);
    for (int i = 0; i < kEighths; ++i) {
        std::string note = melody[i];
        if (note == "-" || note == ".") continue;
        int length = 1;
        while (i + length < kEighths && std::string(melody[i + length]) == "-") ++length;
        AddNote(out, i * eighth, length * eighth, NoteFrequency(note), 0.16, SoftSquare, 3.5);
    }
    for (int q = 0; q < kEighths / 2; ++q)
        AddNote(out, q * 2 * eighth, 2 * eighth, NoteFrequency(bass[q % 16]), 0.22, Triangle, 2.5);
    // A soft hi-hat on every off-beat eighth: short decaying noise.
    std::uint32_t noise = 12345;
    for (int i = 1; i < kEighths; i += 2)
        for (std::size_t s = 0; s < eighth / 4; ++s) {
            noise = noise * 1103515245u + 12345u;
            double white = ((noise >> 16) & 0x7FFF) / 16383.5 - 1.0;
            out[i * eighth + s] += 0.05 * white * std::exp(-static_cast<double>(s) / (kSampleRate * 0.01));
        }
    out.resize(eighth * kEighths);  // whole eighths only: the loop joins on the beat
    return out;
}

bool WriteWav(const std::string& path, const Samples& samples)
{
    std::vector<std::uint8_t> bytes;
    auto put16 = [&](unsigned v) {
        bytes.push_back(v & 0xFF);
        bytes.push_back((v >> 8) & 0xFF);
    };
    auto put32 = [&](std::uint32_t v) {
        put16(v & 0xFFFF);
        put16(v >> 16);
    };
    auto tag = [&](const char* t) {
        for (int k = 0; k < 4; ++k) bytes.push_back(static_cast<std::uint8_t>(t[k]));
    };
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    tag("RIFF");
    put32(36 + dataBytes);
    tag("WAVE");
    tag("fmt ");
    put32(16);
    put16(1);  // PCM
    put16(1);  // mono
    put32(kSampleRate);
    put32(kSampleRate * 2);
    put16(2);
    put16(16);
    tag("data");
    put32(dataBytes);
    for (double s : samples) {
        long v = std::lround(std::clamp(s, -1.0, 1.0) * 32767);
        put16(static_cast<std::uint16_t>(static_cast<std::int16_t>(v)));
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace media
