// SFXSound: the sound-effect device. It opens the shared audio mixer at
// 22050 Hz, 16-bit, stereo; the sound slots (SFXSoundBuffer) play through it.
// Without an audio device every slot stays silent.
#pragma once

#include "platform/platform.h"

class SFXSound {
public:
    SFXSound() = default;
    ~SFXSound();  // closes the device
    SFXSound(const SFXSound&) = delete;
    SFXSound& operator=(const SFXSound&) = delete;

    // Opens the device; 1 on success, 0 when there is no audio device. The
    // window is not needed by the mixer. A second call keeps the open device.
    int Create(platform::Window* window);
    // Reads the format the device runs at into Caps(); true on success.
    bool GetCaps();

    bool HasDevice() const { return m_deviceOpen; }
    const platform::AudioMixerFormat& Caps() const { return m_caps; }

private:
    bool m_deviceOpen = false;
    platform::AudioMixerFormat m_caps;
};

extern SFXSound* pDXsnd;  // the sound-effect device; the frame creates it
