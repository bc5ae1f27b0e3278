#include "audio/video_commands.h"

#include "core/debugger_hooks.h"
#include "core/runtime_state.h"
#include "files/shoebox.h"
#include "gfx/opengl_rainbows.h"
#include "gfx/video_frames.h"
#include "gl/gl_calls.h"
#include "input/dx_input.h"
#include "platform/platform.h"

namespace {

// A video without pictures (or a wait before playback) still shows a black
// frame this often, so the window and scripted runs go on.
constexpr double kIdleFrameSeconds = 0.04;
// Between two looks at the clock and the input.
constexpr double kPollMilliseconds = 2;

bool KeyOrButtonPressed()
{
    // Both are asked every time: a character key is consumed when read.
    const bool key = pDXin->AnyKey();
    const bool button = pDXin->AnyMouse();
    return key || button;
}

double Seconds()
{
    return pRbow->AccurateTime() / 1000.0;
}

// Waits until no character key and no mouse button is down, so that the
// key that started the video does not end it at once.
void WaitForInputReleased()
{
    while (KeyOrButtonPressed()) {
        DrawVideoPicture(nullptr, VideoPlacement{});
        PresentVideoFrame();
        __DebugWaitPass();
        platform::SleepMilliseconds(kIdleFrameSeconds * 1000);
    }
}

}  // namespace

double PlayVideo(KvStr fileName, bool loop)
{
    if (!g_ShoeBox_Media.Extract(fileName)) return 3;
    platform::VideoPlayer* video = platform::OpenVideo(fileName.GetStrData());
    if (video == nullptr) return 3;

    VideoPlacement place;
    int videoWidth = 0, videoHeight = 0;
    if (platform::VideoPictureSize(video, &videoWidth, &videoHeight)) {
        place = FitVideo(videoWidth, videoHeight, pRbow->Width(), pRbow->Height());
        if (!platform::SetVideoOutputSize(video, place.width, place.height)) place = VideoPlacement{};
    }

    WaitForInputReleased();

    bool playing = platform::StartVideo(video);
    double lastShown = Seconds();
    double passStart = lastShown;
    bool passShowedPicture = false;
    while (playing) {
        const unsigned char* picture = nullptr;
        const platform::VideoStep step = platform::AdvanceVideo(video, &picture);
        if (KeyOrButtonPressed()) break;
        if (step == platform::VideoStep::Ended) {
            // A pass that played nothing (a file broken from its start)
            // would only loop on the spot.
            const bool playedSomething = passShowedPicture || Seconds() - passStart >= kIdleFrameSeconds;
            playing = loop && playedSomething && platform::StartVideo(video);
            passStart = Seconds();
            passShowedPicture = false;
            continue;
        }
        passShowedPicture = passShowedPicture || step == platform::VideoStep::NewPicture;
        if (step == platform::VideoStep::NewPicture || Seconds() - lastShown >= kIdleFrameSeconds) {
            DrawVideoPicture(picture, place);
            PresentVideoFrame();
            lastShown = Seconds();
        } else {
            __DebugWaitPass();
            pRbow->WinMessages();
            platform::SleepMilliseconds(kPollMilliseconds);
        }
    }

    platform::CloseVideo(video);
    // The game's next frame starts on a cleared drawing area in its 2D state.
    gl::Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    pRbow->Make2DViewport();
    return 0;
}

double PLAYMOVIE(KvStr fileName)
{
    PlayVideo(fileName, false);
    return 0;
}

double LOOPMOVIE(KvStr fileName)
{
    PlayVideo(fileName, true);
    return 0;
}
