// The level scales of the sound slots and their conversion to the linear
// gains the mixer works with.
//
// Volume is an attenuation in hundredths of a decibel: 0 is full volume and
// -10000 (100 dB down) is silence. Pan is the attenuation of the other side:
// -10000 plays the left channel only, +10000 the right channel only, 0 both
// at full level.
#pragma once

constexpr int kVolumeFull = 0;
constexpr int kVolumeSilent = -10000;
constexpr int kPanLeft = -10000;
constexpr int kPanCenter = 0;
constexpr int kPanRight = 10000;

// Linear amplitude factor 0 ... 1 of a volume; kVolumeSilent and below are 0.
double VolumeToGain(int volume);

// The volume whose gain is the given linear amplitude factor (0 ... 1).
// PLAYSOUND's volume is linear in amplitude: 0.5 is half the amplitude.
int GainToVolume(double gain);

// Left and right gains of a pan position.
struct PanGains {
    double left = 1;
    double right = 1;
};
PanGains PanToGains(int pan);
