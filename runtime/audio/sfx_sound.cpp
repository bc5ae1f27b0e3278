#include "audio/sfx_sound.h"

SFXSound* pDXsnd = nullptr;

SFXSound::~SFXSound()
{
    if (m_deviceOpen) platform::CloseAudioMixer();
}

int SFXSound::Create(platform::Window*)
{
    if (!m_deviceOpen) {
        // No device is no error: the game simply plays without sound.
        if (!platform::OpenAudioMixer()) return 0;
        m_deviceOpen = true;
    }
    GetCaps();
    return 1;
}

bool SFXSound::GetCaps()
{
    return m_deviceOpen && platform::QueryAudioMixer(&m_caps);
}
