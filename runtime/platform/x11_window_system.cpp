// The X11 side of the game window: the real window size, and covering the
// display when no window manager makes the window full screen.
#include "platform/window_system.h"

#include <SDL_syswm.h>
#include <X11/Xatom.h>

namespace platform::windowsystem {

namespace {

// The X connection and window behind the SDL window; false on other systems.
bool X11Window(SDL_Window* sdl, Display** display, ::Window* xWindow)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(sdl, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    *display = info.info.x11.display;
    *xWindow = info.info.x11.window;
    return true;
}

// A window manager that follows the desktop conventions announces itself
// on the root window; only such a one makes a window full screen.
bool WindowManagerRunning(Display* display)
{
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None) return false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW,
                                          &type, &format, &count, &after, &data);
    const bool running = status == Success && type == XA_WINDOW && count == 1;
    if (data != nullptr) XFree(data);
    return running;
}

}  // namespace

void AskForFixedFunctionGL()
{
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
}

// SDL reports the size it asked for, which without a window manager is not
// what it got.
bool RealWindowSize(SDL_Window* sdl, int* width, int* height)
{
    Display* display = nullptr;
    ::Window xWindow = 0;
    if (!X11Window(sdl, &display, &xWindow)) return false;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, xWindow, &attributes)) return false;
    *width = attributes.width;
    *height = attributes.height;
    return true;
}

bool CoverDisplay(SDL_Window* sdl, const SDL_Rect& bounds)
{
    Display* display = nullptr;
    ::Window xWindow = 0;
    if (!X11Window(sdl, &display, &xWindow) || WindowManagerRunning(display)) return false;
    XMoveResizeWindow(display, xWindow, bounds.x, bounds.y, static_cast<unsigned>(bounds.w),
                      static_cast<unsigned>(bounds.h));
    XRaiseWindow(display, xWindow);
    XSync(display, False);
    return true;
}

void PlaceWindow(SDL_Window* sdl, const SDL_Rect& place)
{
    Display* display = nullptr;
    ::Window xWindow = 0;
    if (!X11Window(sdl, &display, &xWindow)) return;
    XMoveResizeWindow(display, xWindow, place.x, place.y, static_cast<unsigned>(place.w),
                      static_cast<unsigned>(place.h));
    XSync(display, False);
}

bool SwitchesToFullscreen() { return true; }
bool DrawingAreaFramebufferWanted() { return true; }

void FramePresented() {}

}  // namespace platform::windowsystem
