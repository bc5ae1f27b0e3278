#include "audio/sound_levels.h"

#include <cmath>

namespace {

// Hundredths of a decibel per decade of amplitude (20 dB).
constexpr double kHundredthsPerDecade = 2000.0;

// Linear factor of an attenuation; the scale's end is exact silence.
double AttenuationToGain(int hundredths)
{
    if (hundredths <= kVolumeSilent) return 0;
    if (hundredths >= 0) return 1;
    return std::pow(10.0, hundredths / kHundredthsPerDecade);
}

}  // namespace

double VolumeToGain(int volume) { return AttenuationToGain(volume); }

int GainToVolume(double gain)
{
    if (!(gain > 0)) return kVolumeSilent;  // also NaN
    if (gain >= 1) return kVolumeFull;
    const double hundredths = std::round(kHundredthsPerDecade * std::log10(gain));
    return hundredths <= kVolumeSilent ? kVolumeSilent : static_cast<int>(hundredths);
}

PanGains PanToGains(int pan)
{
    PanGains gains;
    if (pan > 0)
        gains.left = AttenuationToGain(-pan);
    else if (pan < 0)
        gains.right = AttenuationToGain(pan);
    return gains;
}
