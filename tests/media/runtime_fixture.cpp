#include "media/runtime_fixture.h"

#include <stdlib.h>

#include <fstream>

#include "audio/music_commands.h"
#include "audio/sfx_sound.h"
#include "audio/sfx_sound_buffer.h"
#include "frame/frame.h"
#include "gfx/opengl_rainbows.h"

void MediaRuntimeTest::Start(const std::vector<std::string>& scriptLines)
{
    ASSERT_FALSE(m_folder.Path().empty());
    setenv("TMPDIR", m_folder.Path().c_str(), 1);
    mediatest::RecordMixerInto(m_folder.Path("mixed.raw"));
    if (!scriptLines.empty()) {
        const std::string script = m_folder.Path("input.txt");
        std::ofstream out(script);
        for (const std::string& line : scriptLines) out << line << "\n";
        setenv("KV_INPUT_SCRIPT", script.c_str(), 1);
        setenv("KV_UNPACED", "1", 1);
    }
    KV_RESX = 640;
    KV_RESY = 480;
    KV_FULLSCREEN = 0;
    KV_FRAMERATE = 1000;
    char noArguments[] = "";
    __GlobalInit(nullptr, nullptr, noArguments, 0, "media test");
    ASSERT_NE(pRbow, nullptr);
    ASSERT_TRUE(pDXsnd->HasDevice()) << "the disk audio driver always opens";
}

std::vector<mediatest::StereoFrame> MediaRuntimeTest::FinishRecording()
{
    STOPMUSIC();
    delete[] DXwav;
    DXwav = nullptr;
    delete pDXsnd;  // the last user of the mixer: the device closes
    pDXsnd = nullptr;
    return mediatest::ReadRecording(m_folder.Path("mixed.raw"));
}

void MediaRuntimeTest::TearDown()
{
    __ReleaseRuntime();
}
