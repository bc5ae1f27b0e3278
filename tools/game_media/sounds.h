// The game's sounds, synthesised: a bright pick-up, a caught sting and a
// short tune that loops without a seam. 22050 Hz, 16-bit mono PCM.
#pragma once

#include <string>
#include <vector>

namespace media {

constexpr int kSampleRate = 22050;

using Samples = std::vector<double>;  // -1 .. 1

Samples SynthesisePickUp();
Samples SynthesiseCaught();
// Eight bars; the length is a whole number of eighth notes and every note
// has died away before the end, so playing it again joins seamlessly.
Samples SynthesiseTune();

// A plain RIFF WAVE file: a 16-byte format chunk followed by the data chunk.
bool WriteWav(const std::string& path, const Samples& samples);

}  // namespace media
