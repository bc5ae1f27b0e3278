// OpenGLRainbows: construction, context, window modes, releasing textures.
#include <cstdlib>

#include "core/error_log.h"
#include "core/runtime_state.h"
#include "gfx/opengl_rainbows.h"
#include "gl/gl_calls.h"
#include "gl/gl_extensions.h"
#include "gl/pending_2d.h"

namespace {

const char kSoftwareCaption[] = "!!OpenGL Software Emulation!!";
const char kSoftwareText[] =
    "Please update your GFX adapter's driver\nso it can render OpenGL by HARDWARE\n\n\n"
    "Bitte aktualisieren Sie Ihren\nGrafkkartentreiber, damit er OpenGL\nper HARDWARE unterst\xFCtzt!";

}  // namespace

void restore_desktop()
{
    // The desktop's other windows keep their places on this platform; what
    // remains of leaving full screen is the settling pause.
    platform::SleepMilliseconds(500);
}

OpenGLRainbows* pRbow = nullptr;

namespace {

// What the GL owner's guards ask of the renderer before OpenGL is used by
// anyone else (gl/pending_2d.h).
void FinishPending2DBeforeGL(gl::Pending2DUse use)
{
    if (pRbow == nullptr) return;
    pRbow->FinishPending2D();
    if (use == gl::Pending2DUse::Draw) pRbow->NoteDrawing();
    if (use == gl::Pending2DUse::MoveTransform) pRbow->NoteTransformMoved();
}

}  // namespace

OpenGLRainbows::OpenGLRainbows()
{
    gl::SetPending2DHook(&FinishPending2DBeforeGL);
    // The tables start zero-filled (their members' initialisers); no
    // context exists yet, so emptying the slots touches no OpenGL.
    FreeAll();
    SetupAccurateTimer();
    timer.nextFrameTime = AccurateTime();
}

OpenGLRainbows::~OpenGLRainbows()
{
    FreeAll();
    if (window.hWnd != nullptr) {
        DoWindowed();
        platform::DestroyGLContext(window.hWnd);
    }
    window.hRC = false;
}

bool OpenGLRainbows::Init(platform::Window* gameWindow, int w, int h, int, unsigned short maxFps)
{
    // The requested colour depth goes unused: the context takes the
    // desktop's format, in a window and in desktop full screen alike.
    SetMaxFPS(maxFps);
    window.hWnd = gameWindow;
    int windowWidth = 0, windowHeight = 0;
    platform::GetWindowSize(gameWindow, &windowWidth, &windowHeight);
    if (w == 0) w = std::abs(windowWidth);
    if (h == 0) h = std::abs(windowHeight);
    window.height = h;
    window.width = w;
    window.fullscreen = false;

    if (!platform::CreateGLContext(gameWindow, window.width, window.height, 16)) return false;
    window.hRC = true;
    const bool batching = !platform::BatchingDisabled();
    batch.SetEnabled(batching);
    glState.SetTrusting(batching);
    shortcuts = batching;
    glState.Forget();
    SetDCPixelFormat();
    timer.nextFrameTime = AccurateTime();
    gl::LoadExtensions();
    Make2DViewport();
    window.active = true;
    return true;
}

void OpenGLRainbows::SetDCPixelFormat()
{
    if (platform::GLContextIsSoftware()) {
        platform::ShowWarningBox(kSoftwareCaption, kSoftwareText);
        AppendErrorLog("OpenGL Software Emulation");
    } else {
        AppendErrorLog("OpenGL Hardware Support");
    }
}

bool OpenGLRainbows::DoFullscreen()
{
    if (!platform::EnterFullscreen(window.hWnd)) {
        platform::Beep();
        AppendErrorLog("No Fullscreen Mode available");
        DoWindowed();
        return false;
    }
    if (!window.fullscreen) platform::SetCursorVisible(false);
    ChangeSize(window.width, window.height);
    window.fullscreen = true;
    return true;
}

bool OpenGLRainbows::DoWindowed()
{
    if (window.fullscreen) restore_desktop();
    platform::EnterWindowed(window.hWnd, window.width, window.height);
    if (window.fullscreen) platform::SetCursorVisible(true);
    ResizeAuto();
    window.fullscreen = false;
    return true;
}

bool OpenGLRainbows::HideWindow()
{
    platform::HideGameWindow(window.hWnd);
    if (window.fullscreen) platform::SetCursorVisible(true);
    window.fullscreen = false;
    return true;
}

void OpenGLRainbows::ChangeSize(int w, int h)
{
    window.width = w;
    window.height = h;
    if (window.hRC) platform::ResizeDrawingArea(window.hWnd, window.width, window.height);
    pictureDrawn = true;  // a new drawing area holds nothing known
    Make2DViewport();
}

void OpenGLRainbows::ResizeAuto()
{
    Make2DViewport();
}

namespace {
platform::MessageHandler g_windowProcedure = nullptr;
void DropMessage(platform::WindowMessage) {}
}  // namespace

void SetWindowProcedure(platform::MessageHandler procedure)
{
    g_windowProcedure = procedure;
}

void PumpWindowMessages()
{
    platform::PumpMessages(g_windowProcedure != nullptr ? g_windowProcedure : &DropMessage);
}

bool OpenGLRainbows::WinMessages()
{
    PumpWindowMessages();
    return true;
}

void OpenGLRainbows::FreeSprite(int slot)
{
    if (window.hRC) gl::DeleteTextures(2, slots.spriteTex[slot]);
    slots.spriteTex[slot][0] = slots.spriteTex[slot][1] = 0;
    slots.texWidth[slot] = slots.texHeight[slot] = -1;
    std::free(slots.alphaMask[slot]);
    slots.alphaMask[slot] = nullptr;
}

void OpenGLRainbows::FreeSurface(int index)
{
    OpenGLSurface& surface = surfaces[index];
    if (window.hRC && surface.columns >= 0) {
        // Both bounds included; names never created are 0, which GL ignores.
        for (int c = 0; c <= surface.columns && c < kSurfaceTiles; ++c)
            for (int r = 0; r <= surface.rows && r < kSurfaceTiles; ++r)
                if (surface.tile[c][r] != 0) gl::DeleteTextures(1, &surface.tile[c][r]);
    }
    surface = {};
}

void OpenGLRainbows::FreeAll()
{
    for (int slot = 0; slot < kSpriteSlots; ++slot) FreeSprite(slot);
    for (int s = 0; s < kSurfaceCount; ++s) FreeSurface(s);
}
