// OpenGLRainbows: construction, context, window modes, releasing textures.
#include <cstdlib>
#include <cstring>

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
    // Zero-fill every table: the object is large and plain old data.
    char* first = reinterpret_cast<char*>(&alpha);
    char* last = reinterpret_cast<char*>(&usePerfCounter + 1);
    std::memset(first, 0, static_cast<std::size_t>(last - first));
    hRC = false;
    nextParticle = 0;
    FreeAll();
    alpha = 1.0f;
    curTexture = curTexture2 = -1;
    SetupAccurateTimer();
    nextFrameTime = AccurateTime();
}

OpenGLRainbows::~OpenGLRainbows()
{
    FreeAll();
    if (hWnd != nullptr) {
        DoWindowed();
        platform::DestroyGLContext(hWnd);
    }
    hRC = false;
}

bool OpenGLRainbows::Init(platform::Window* window, int w, int h, int bits, unsigned short maxFps)
{
    SetMaxFPS(maxFps);
    hWnd = window;
    int windowWidth = 0, windowHeight = 0;
    platform::GetWindowSize(window, &windowWidth, &windowHeight);
    if (bits == 0) bits = platform::DesktopColorBits();
    if (w == 0) w = std::abs(windowWidth);
    if (h == 0) h = std::abs(windowHeight);
    colorBits = bits;
    height = h;
    width = w;
    fullscreen = false;

    if (!platform::CreateGLContext(window, width, height, 16)) return false;
    hRC = true;
    const bool batching = !platform::BatchingDisabled();
    batch.SetEnabled(batching);
    glState.SetTrusting(batching);
    shortcuts = batching;
    glState.Forget();
    SetDCPixelFormat();
    nextFrameTime = AccurateTime();
    gl::LoadExtensions();
    Make2DViewport();
    active = true;
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
    if (!platform::EnterFullscreen(hWnd)) {
        platform::Beep();
        AppendErrorLog("No Fullscreen Mode available");
        DoWindowed();
        return false;
    }
    // Desktop full screen keeps the desktop's depth.
    colorBits = platform::DesktopColorBits();
    if (!fullscreen) platform::SetCursorVisible(false);
    ChangeSize(width, height);
    fullscreen = true;
    return true;
}

bool OpenGLRainbows::DoWindowed()
{
    if (fullscreen) restore_desktop();
    platform::EnterWindowed(hWnd, width, height);
    if (fullscreen) platform::SetCursorVisible(true);
    ResizeAuto();
    fullscreen = false;
    return true;
}

bool OpenGLRainbows::HideWindow()
{
    platform::HideGameWindow(hWnd);
    if (fullscreen) platform::SetCursorVisible(true);
    fullscreen = false;
    return true;
}

void OpenGLRainbows::ChangeSize(int w, int h)
{
    width = w;
    height = h;
    if (hRC) platform::ResizeDrawingArea(hWnd, width, height);
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
    if (hRC) gl::DeleteTextures(2, spriteTex[slot]);
    spriteTex[slot][0] = spriteTex[slot][1] = 0;
    texWidth[slot] = texHeight[slot] = -1;
    std::free(alphaMask[slot]);
    alphaMask[slot] = nullptr;
}

void OpenGLRainbows::FreeSurface(int index)
{
    OpenGLSurface& surface = surfaces[index];
    if (hRC && surface.columns >= 0) {
        // Both bounds included; names never created are 0, which GL ignores.
        for (int c = 0; c <= surface.columns && c < kSurfaceTiles; ++c)
            for (int r = 0; r <= surface.rows && r < kSurfaceTiles; ++r)
                if (surface.tile[c][r] != 0) gl::DeleteTextures(1, &surface.tile[c][r]);
    }
    std::memset(static_cast<void*>(&surface), 0, sizeof surface);
}

void OpenGLRainbows::FreeAll()
{
    for (int slot = 0; slot < kSpriteSlots; ++slot) FreeSprite(slot);
    for (int s = 0; s < kSurfaceCount; ++s) FreeSurface(s);
}
