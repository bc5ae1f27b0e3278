#include "frame/present_commands.h"

#include "audio/music_commands.h"
#include "core/kvstr.h"
#include "frame/frame.h"
#include "gfx/opengl_rainbows.h"
#include "gfx3d/commands3d.h"
#include "gl/gl_calls.h"
#include "input/dx_input.h"
#include "net/tz_network.h"

double g_FirstTime = 0, g_LastTime = 0, g_ThisTime = 0;

namespace {

constexpr int kDikEscape = 1;
constexpr int kDikLeftAlt = 56;
constexpr int kDikF4 = 62;

// The keyboard as SHOWSCREEN sees it: the input object's snapshot, or the
// platform's key state while no input object exists.
void PollKeyboard(unsigned char keys[256])
{
    if (pDXin != nullptr) {
        pDXin->GetKeyboardStatus();
        for (int k = 0; k < 256; ++k) keys[k] = pDXin->KeyDown(k) ? 0x80 : 0;
    } else {
        platform::KeyboardSnapshot(keys);
    }
}

}  // namespace

double SHOWSCREEN()
{
    g_LastTime = g_ThisTime;
    g_ThisTime = pRbow->AccurateTime();

    // Network traffic is handled once a frame even when the program calls
    // no NET command.
    if (pTzNet != nullptr) pTzNet->Service();

    // Music loops only as often as frames are shown: a piece that has ended
    // starts again here.
    RepeatFinishedMusic();

    unsigned char keys[256];
    PollKeyboard(keys);
    if ((keys[kDikEscape] & 0x80) || ((keys[kDikLeftAlt] & 0x80) && (keys[kDikF4] & 0x80))) {
        g_error = 0;
        g_errorline = g_debugline;
        __EndProgram();
    }

    pRbow->FlipScreens();
    // Every frame starts opaque, with the background picture, and in 2D.
    // The background goes down in the 2D projection even when the frame
    // ended in 3D.
    pRbow->DoAlpha(0);
    pRbow->Make2DViewport();
    pRbow->PasteSurface(0);
    pRbow->Make2DViewport();
    X_MIPMAPPING(0);  // textures of the next frame's 3D pass start without mipmaps
    return 0;
}

double LIMITFPS(double fps)
{
    pRbow->SetMaxFPS(NumberToInt(fps));
    return 0;
}

double GETTIMER()
{
    double elapsed = g_ThisTime - g_LastTime;
    return elapsed > 0 ? elapsed : 1;
}

double GETTIMERALL()
{
    return g_ThisTime - g_FirstTime;
}

double BLACKSCREEN()
{
    gl::Clear(GL_COLOR_BUFFER_BIT);
    pRbow->FreeSurface(0);
    return 0;
}
