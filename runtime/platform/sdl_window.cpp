// Window, OpenGL context and the logical drawing area on SDL2.
//
// The program draws into a drawing area of exactly the logical size
// (KV_RESX x KV_RESY). Where the window is larger or smaller, that is a
// framebuffer object, which presenting blits into the window, scaled with
// its aspect ratio kept and black bars around it, so desktop full screen and
// a plain window look the same to the program, and reading pixels back
// always sees the logical picture. Where the window has exactly the logical
// size, the program draws straight into the window's back buffer, which
// then needs no copy to be shown; the choice is made for each frame when
// the one before is presented. Where no framebuffer objects exist the
// program always draws straight into the window.
#include "platform/platform.h"

#include <SDL.h>

#include "gl/framebuffers.h"
#include "gl/function_loader.h"
#include "gl/gl_calls.h"
#include "platform/input_recorder.h"
#include "platform/input_script.h"
#include "platform/real_devices.h"
#include "platform/screenshot.h"
#include "platform/window_system.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace platform {

struct Window {
    SDL_Window* sdl = nullptr;
    SDL_GLContext context = nullptr;
    int logicalWidth = 0;
    int logicalHeight = 0;
    GLuint framebuffer = 0;
    GLuint colorBuffer = 0;   // a renderbuffer, where the colour texture cannot be made
    GLuint colorTexture = 0;
    GLuint depthBuffer = 0;
    // This frame is drawn straight into the window's back buffer (it has
    // the logical size), not into the framebuffer object.
    bool drawingStraight = false;
    // The window's own buffers can stand for the area: no alpha bits that
    // would read other than 1, and straight drawing not turned off.
    bool windowCanBeArea = false;
    // Where the window was before this layer made it cover the display
    // itself (no window manager did it), to go back there.
    bool coveringDisplay = false;
    SDL_Rect windowedPlace{};
    // The window's real size, asked of the X server again after window
    // events and now and then (a round trip per frame costs on a busy
    // machine).
    int realWidth = 0, realHeight = 0;
    long realSizeFrame = -1;
};

namespace {

std::string g_lastError;

long g_presentedFrames = 0;
bool g_windowChanged = true;  // a window event came since the size was asked

int NoteWindowEvents(void*, SDL_Event* event)
{
    if (event->type == SDL_WINDOWEVENT) g_windowChanged = true;
    return 1;
}
bool g_fboAvailable = false;

void ReleaseDrawingArea(Window* window)
{
    if (!g_fboAvailable) return;
    window->drawingStraight = false;
    gl::UseDrawingArea(0, 0, false, 0, 0);
    gl::BindFramebuffer(GL_FRAMEBUFFER, 0);
    if (window->framebuffer) gl::DeleteFramebuffers(1, &window->framebuffer);
    if (window->colorBuffer) gl::DeleteRenderbuffers(1, &window->colorBuffer);
    if (window->colorTexture) gl::DeleteTextures(1, &window->colorTexture);
    if (window->depthBuffer) gl::DeleteRenderbuffers(1, &window->depthBuffer);
    window->framebuffer = window->colorBuffer = window->colorTexture = window->depthBuffer = 0;
}

// The colour buffer as a texture stored in the window's own byte order
// (BGRA): software renderers draw into it and copy it to the window
// faster than an RGB renderbuffer. Its alpha is kept at 1 (gl/framebuffers.h).
// False where such a texture cannot be made.
bool MakeColorTexture(Window* window)
{
    for (int stale = 0; stale < 32 && gl::GetError() != GL_NO_ERROR; ++stale) {
    }
    GLint bound = 0;
    gl::GetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    gl::GenTextures(1, &window->colorTexture);
    gl::BindTexture(GL_TEXTURE_2D, window->colorTexture);
    gl::TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    gl::TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    gl::TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, window->logicalWidth, window->logicalHeight, 0, GL_BGRA,
                   GL_UNSIGNED_BYTE, nullptr);
    const bool made = gl::GetError() == GL_NO_ERROR;
    gl::BindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    if (!made) {
        gl::DeleteTextures(1, &window->colorTexture);
        window->colorTexture = 0;
    }
    return made;
}

void DrawIntoFramebuffer(Window* window);

// Makes the logical drawing area: a colour buffer that reads as RGB (no
// alpha, like the window's own format) and a depth buffer, attached once
// something tests depth.
bool MakeDrawingArea(Window* window, int depthBits)
{
    if (!g_fboAvailable) return false;
    ReleaseDrawingArea(window);
    if (!MakeColorTexture(window)) {
        gl::GenRenderbuffers(1, &window->colorBuffer);
        gl::BindRenderbuffer(GL_RENDERBUFFER, window->colorBuffer);
        gl::RenderbufferStorage(GL_RENDERBUFFER, GL_RGB8, window->logicalWidth, window->logicalHeight);
    }
    gl::GenRenderbuffers(1, &window->depthBuffer);
    gl::BindRenderbuffer(GL_RENDERBUFFER, window->depthBuffer);
    gl::RenderbufferStorage(GL_RENDERBUFFER, depthBits > 16 ? GL_DEPTH_COMPONENT24 : GL_DEPTH_COMPONENT16,
                              window->logicalWidth, window->logicalHeight);
    gl::GenFramebuffers(1, &window->framebuffer);
    gl::BindFramebuffer(GL_FRAMEBUFFER, window->framebuffer);
    if (window->colorTexture)
        gl::FramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, window->colorTexture, 0);
    else
        gl::FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, window->colorBuffer);
    if (gl::CheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        std::fprintf(stderr, "Drawing area framebuffer incomplete; drawing straight into the window\n");
        ReleaseDrawingArea(window);
        return false;
    }
    gl::ClearColor(0, 0, 0, 0);
    gl::Clear(GL_COLOR_BUFFER_BIT);
    DrawIntoFramebuffer(window);
    return true;
}

void DrawIntoFramebuffer(Window* window)
{
    window->drawingStraight = false;
    gl::BindFramebuffer(GL_FRAMEBUFFER, window->framebuffer);
    gl::UseDrawingArea(window->framebuffer, window->depthBuffer, window->colorTexture != 0, window->logicalWidth,
                       window->logicalHeight);
}

void DrawStraightIntoWindow(Window* window)
{
    window->drawingStraight = true;
    gl::UseWindowAsDrawingArea();
    gl::BindFramebuffer(GL_FRAMEBUFFER, 0);
}

// The frame drawn so far straight into the window goes into the
// framebuffer object, to be finished and shown from there: the window is
// about to change its size, which loses what its back buffer holds, or
// has changed it (the picture is at the bottom left in GL's coordinates).
void MoveFrameIntoArea(Window* window)
{
    const GLboolean scissor = gl::IsEnabled(GL_SCISSOR_TEST);
    gl::Disable(GL_SCISSOR_TEST);
    DrawIntoFramebuffer(window);
    gl::BindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    gl::BlitFramebuffer(0, 0, window->logicalWidth, window->logicalHeight, 0, 0, window->logicalWidth,
                        window->logicalHeight, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    gl::BindFramebuffer(GL_READ_FRAMEBUFFER, window->framebuffer);
    if (scissor) gl::Enable(GL_SCISSOR_TEST);
}

// Whether the window's own back buffer may be drawn into, once, when the
// context is made.
bool WindowCanBeArea()
{
    const char* offscreen = std::getenv("KV_OFFSCREEN_AREA");
    if (offscreen != nullptr && offscreen[0] != 0 && std::strcmp(offscreen, "0") != 0) return false;
    GLint alphaBits = 0;
    gl::GetIntegerv(GL_ALPHA_BITS, &alphaBits);
    return alphaBits == 0;
}

// Without a display SDL falls back to video drivers that show nothing
// (offscreen, dummy): the program would run unseen, with no way for the
// player to end it. Only a user who names such a driver in SDL_VIDEODRIVER
// gets it.
bool DriverShowsWindows()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr) return false;
    const std::string name = driver;
    if (name != "offscreen" && name != "dummy" && name != "evdev") return true;
    // SDL_VIDEODRIVER may list several drivers, separated by commas.
    const char* asked = SDL_getenv("SDL_VIDEODRIVER");
    std::string list = asked != nullptr ? asked : "";
    for (std::size_t start = 0; start <= list.size();) {
        std::size_t end = list.find(',', start);
        if (end == std::string::npos) end = list.size();
        if (SDL_strcasecmp(list.substr(start, end - start).c_str(), driver) == 0) return true;
        start = end + 1;
    }
    return false;
}

}  // namespace

const char* LastError() { return g_lastError.c_str(); }

bool WindowedForced()
{
    const char* value = std::getenv("KV_WINDOWED");
    return value != nullptr && value[0] != 0 && std::strcmp(value, "0") != 0;
}

Window* CreateGameWindow(const char* caption, int x, int y, int width, int height)
{
    // Termination signals are ours (they take the close path), not SDL's.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        g_lastError = std::string("cannot open the display: ") + SDL_GetError();
        return nullptr;
    }
    if (!DriverShowsWindows()) {
        g_lastError = std::string("cannot open the display: no window can be shown (no X or Wayland display "
                                  "reachable; SDL offers only its \"") +
                      SDL_GetCurrentVideoDriver() + "\" video driver)";
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    windowsystem::AskForFixedFunctionGL();
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    // The window's class (X11 WM_CLASS, Wayland app id) is the program's
    // file name, as SDL names it; a desktop entry names it as
    // StartupWMClass, so that docks tie the window to its launcher.
    SDL_Window* sdl = SDL_CreateWindow(caption, x, y, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (sdl == nullptr) {
        g_lastError = std::string("cannot create the window: ") + SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    devices::WatchTypedCharacters();
    SDL_AddEventWatch(NoteWindowEvents, nullptr);
    // Destroying the last GL window would unload the GL library, and with it
    // the driver whose process-lifetime allocations and threads belong to it
    // until exit; the library is held once more for the whole process, so a
    // program (or a test) that ends its runtime early leaves it loaded.
    static const bool glLibraryHeld = SDL_GL_LoadLibrary(nullptr) == 0;
    (void)glLibraryHeld;
    // The screen saver and monitor power-down stay off while the game runs.
    SDL_DisableScreenSaver();
    Window* window = new Window;
    window->sdl = sdl;
    window->logicalWidth = width;
    window->logicalHeight = height;
    return window;
}

void DestroyGameWindow(Window* window)
{
    if (window == nullptr) return;
    SDL_DelEventWatch(NoteWindowEvents, nullptr);
    DestroyGLContext(window);
    SDL_DestroyWindow(window->sdl);
    delete window;
    // The video subsystem stays up: the window goes only at program end,
    // and shutting the display connection down would unload the GL driver
    // while its process-lifetime caches are still referenced.
}

void ShowGameWindow(Window* window)
{
    SDL_ShowWindow(window->sdl);
}

void GetWindowSize(Window* window, int* width, int* height)
{
    SDL_GetWindowSize(window->sdl, width, height);
}

void SetWindowTitle(Window* window, const char* title)
{
    SDL_SetWindowTitle(window->sdl, title);
}

bool CreateGLContext(Window* window, int logicalWidth, int logicalHeight, int depthBits)
{
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depthBits);
    window->context = SDL_GL_CreateContext(window->sdl);
    if (window->context == nullptr) {
        g_lastError = std::string("cannot create the OpenGL context: ") + SDL_GetError();
        return false;
    }
    SDL_GL_MakeCurrent(window->sdl, window->context);
    gl::SetFunctionLoader(&GetGLProcAddress);
    // Frames are paced by the runtime, not by the display's retrace.
    SDL_GL_SetSwapInterval(0);
    window->logicalWidth = logicalWidth;
    window->logicalHeight = logicalHeight;
    g_fboAvailable = windowsystem::DrawingAreaFramebufferWanted() && gl::LoadFramebufferFunctions();
    window->windowCanBeArea = g_fboAvailable && WindowCanBeArea();
    MakeDrawingArea(window, depthBits);
    return true;
}

void DestroyGLContext(Window* window)
{
    if (window == nullptr || window->context == nullptr) return;
    ReleaseDrawingArea(window);
    SDL_GL_MakeCurrent(window->sdl, nullptr);
    SDL_GL_DeleteContext(window->context);
    window->context = nullptr;
}

bool GLContextIsSoftware()
{
    const char* renderer = reinterpret_cast<const char*>(gl::GetString(GL_RENDERER));
    if (renderer == nullptr) return false;
    return std::strstr(renderer, "llvmpipe") || std::strstr(renderer, "softpipe") ||
           std::strstr(renderer, "swrast") || std::strstr(renderer, "Software Rasterizer");
}

void* GetGLProcAddress(const char* name)
{
    return SDL_GL_GetProcAddress(name);
}

bool EnterFullscreen(Window* window)
{
    if (window->drawingStraight) MoveFrameIntoArea(window);
    if (!windowsystem::SwitchesToFullscreen()) {
        SDL_ShowWindow(window->sdl);
        return true;
    }
    SDL_Rect place{};
    SDL_GetWindowPosition(window->sdl, &place.x, &place.y);
    SDL_GetWindowSize(window->sdl, &place.w, &place.h);
    if (SDL_SetWindowFullscreen(window->sdl, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
        g_lastError = SDL_GetError();
        return false;
    }
    SDL_ShowWindow(window->sdl);
    SDL_RaiseWindow(window->sdl);
    // Desktop full screen is a request to the window manager. Without one
    // the window would stay as it is: it is made to cover the display here.
    SDL_Rect bounds{};
    const int screen = SDL_GetWindowDisplayIndex(window->sdl);
    if (SDL_GetDisplayBounds(screen < 0 ? 0 : screen, &bounds) == 0 &&
        windowsystem::CoverDisplay(window->sdl, bounds)) {
        if (!window->coveringDisplay) window->windowedPlace = place;
        window->coveringDisplay = true;
    }
    g_windowChanged = true;
    return true;
}

void EnterWindowed(Window* window, int width, int height)
{
    if (window->drawingStraight) MoveFrameIntoArea(window);
    SDL_SetWindowFullscreen(window->sdl, 0);
    SDL_SetWindowBordered(window->sdl, SDL_TRUE);
    SDL_SetWindowSize(window->sdl, width, height);
    if (window->coveringDisplay) {
        // Back to where it was, at the size asked for now: SDL believes the
        // window never left it, so it would not move it itself.
        windowsystem::PlaceWindow(window->sdl, {window->windowedPlace.x, window->windowedPlace.y, width, height});
        window->coveringDisplay = false;
    }
    SDL_ShowWindow(window->sdl);
    g_windowChanged = true;
}

void HideGameWindow(Window* window)
{
    SDL_SetWindowFullscreen(window->sdl, 0);
    SDL_HideWindow(window->sdl);
}

void SetCursorVisible(bool visible)
{
    SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

void ResizeDrawingArea(Window* window, int logicalWidth, int logicalHeight)
{
    if (window->logicalWidth == logicalWidth && window->logicalHeight == logicalHeight) return;
    window->logicalWidth = logicalWidth;
    window->logicalHeight = logicalHeight;
    GLint depthBits = 16;
    if (window->depthBuffer) {
        gl::BindRenderbuffer(GL_RENDERBUFFER, window->depthBuffer);
        gl::GetIntegerv(GL_RENDERBUFFER_DEPTH_SIZE, &depthBits);
    }
    MakeDrawingArea(window, depthBits);
}

// The window's size in pixels, asked of the X server again after window
// events and every 30 frames.
static void DrawableSize(Window* window, int* width, int* height)
{
    if (g_windowChanged || window->realSizeFrame < 0 || g_presentedFrames - window->realSizeFrame >= 30) {
        g_windowChanged = false;
        window->realSizeFrame = g_presentedFrames;
        if (!windowsystem::RealWindowSize(window->sdl, &window->realWidth, &window->realHeight))
            window->realWidth = window->realHeight = 0;
    }
    *width = window->realWidth;
    *height = window->realHeight;
    if (*width <= 0 || *height <= 0) SDL_GL_GetDrawableSize(window->sdl, width, height);
    if (*width <= 0 || *height <= 0) *width = *height = 1;
}

// Blits the drawing area into the window, scaled and centred, and swaps.
// A blank drawing area is not copied: its colour is cleared into its place.
static void ShowDrawingArea(Window* window, int drawableWidth, int drawableHeight, const float* blankColour)
{
    // Largest picture of the logical aspect that fits, centred.
    const double scale = std::min(static_cast<double>(drawableWidth) / window->logicalWidth,
                                  static_cast<double>(drawableHeight) / window->logicalHeight);
    const int shownWidth = static_cast<int>(window->logicalWidth * scale + 0.5);
    const int shownHeight = static_cast<int>(window->logicalHeight * scale + 0.5);
    const int left = (drawableWidth - shownWidth) / 2;
    const int bottom = (drawableHeight - shownHeight) / 2;

    GLfloat clearColor[4];
    gl::GetFloatv(GL_COLOR_CLEAR_VALUE, clearColor);
    const GLboolean scissor = gl::IsEnabled(GL_SCISSOR_TEST);
    gl::Disable(GL_SCISSOR_TEST);

    gl::BindFramebuffer(GL_READ_FRAMEBUFFER, window->framebuffer);
    gl::BindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    // Black bars where the picture leaves room; none when it fills the window.
    const bool fills = left == 0 && bottom == 0 && shownWidth == drawableWidth && shownHeight == drawableHeight;
    if (!fills) {
        gl::ClearColor(0, 0, 0, 1);
        gl::Clear(GL_COLOR_BUFFER_BIT);
    }
    if (blankColour != nullptr) {
        GLint scissorBox[4] = {0, 0, 0, 0};
        if (!fills) {
            gl::GetIntegerv(GL_SCISSOR_BOX, scissorBox);
            gl::Scissor(left, bottom, shownWidth, shownHeight);
            gl::Enable(GL_SCISSOR_TEST);
        }
        gl::ClearColor(blankColour[0], blankColour[1], blankColour[2], blankColour[3]);
        gl::Clear(GL_COLOR_BUFFER_BIT);
        if (!fills) {
            gl::Disable(GL_SCISSOR_TEST);
            gl::Scissor(scissorBox[0], scissorBox[1], scissorBox[2], scissorBox[3]);
        }
    } else {
        const bool exact = shownWidth == window->logicalWidth && shownHeight == window->logicalHeight;
        gl::BlitFramebuffer(0, 0, window->logicalWidth, window->logicalHeight,
                              left, bottom, left + shownWidth, bottom + shownHeight,
                              GL_COLOR_BUFFER_BIT, exact ? GL_NEAREST : GL_LINEAR);
    }
    SDL_GL_SwapWindow(window->sdl);
    gl::BindFramebuffer(GL_FRAMEBUFFER, window->framebuffer);

    gl::ClearColor(clearColor[0], clearColor[1], clearColor[2], clearColor[3]);
    if (scissor) gl::Enable(GL_SCISSOR_TEST);
}

long PresentedFrames() { return g_presentedFrames; }

bool PresentFrame(Window* window, const float* blankColour)
{
    script::BeforePresent(window->logicalWidth, window->logicalHeight);
    WriteFrameChecksum(g_presentedFrames, window->logicalWidth, window->logicalHeight);
    bool kept = false;
    if (window->framebuffer == 0) {
        SDL_GL_SwapWindow(window->sdl);
    } else {
        int drawableWidth = 0, drawableHeight = 0;
        DrawableSize(window, &drawableWidth, &drawableHeight);
        const bool ownSize = window->windowCanBeArea && drawableWidth == window->logicalWidth &&
                             drawableHeight == window->logicalHeight;
        if (window->drawingStraight && !ownSize) MoveFrameIntoArea(window);
        if (window->drawingStraight) {
            SDL_GL_SwapWindow(window->sdl);
        } else {
            ShowDrawingArea(window, drawableWidth, drawableHeight, blankColour);
            kept = true;
        }
        // The next frame goes straight into the window while it has the
        // area's size; a frame after a change starts from nothing kept.
        if (ownSize != window->drawingStraight) {
            if (ownSize)
                DrawStraightIntoWindow(window);
            else
                DrawIntoFramebuffer(window);
            kept = false;
        }
    }
    ++g_presentedFrames;
    windowsystem::FramePresented();
    script::NextFrame();
    recorder::NextFrame();
    return kept;
}


}  // namespace platform
