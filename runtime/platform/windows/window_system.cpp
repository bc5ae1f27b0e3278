// What Windows adds to the game window behind SDL: the client area's real
// size (GetClientRect). Windows always has its window manager, so desktop
// full screen never needs the window to cover the display by itself.
#include "platform/window_system.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <windows.h>

namespace platform::windowsystem {

namespace {

HWND WindowHandle(SDL_Window* sdl)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (sdl == nullptr || !SDL_GetWindowWMInfo(sdl, &info) || info.subsystem != SDL_SYSWM_WINDOWS) return nullptr;
    return info.info.win.window;
}

}  // namespace

void AskForFixedFunctionGL()
{
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
}

bool RealWindowSize(SDL_Window* sdl, int* width, int* height)
{
    HWND window = WindowHandle(sdl);
    RECT client{};
    if (window == nullptr || !GetClientRect(window, &client)) return false;
    *width = client.right - client.left;
    *height = client.bottom - client.top;
    return true;
}

bool CoverDisplay(SDL_Window*, const SDL_Rect&)
{
    return false;
}

// Only ever needed after CoverDisplay, which Windows never needs; SDL keeps
// track of the window here, so it is moved through SDL (a size set behind
// its back would be undone: SDL holds a window that is not resizable at the
// size it knows).
void PlaceWindow(SDL_Window* sdl, const SDL_Rect& place)
{
    SDL_SetWindowSize(sdl, place.w, place.h);
    SDL_SetWindowPosition(sdl, place.x, place.y);
}

bool SwitchesToFullscreen() { return true; }
bool DrawingAreaFramebufferWanted() { return true; }

void FramePresented() {}

}  // namespace platform::windowsystem
