// What the window system behind SDL adds to the game window: its real size,
// covering the display when no window manager does, and whether the drawing
// area can be a framebuffer blitted into the window. X11 on the desktop
// (x11_window_system.cpp); the browser's canvas on the web
// (web/browser_window_system.cpp).
#pragma once

#include <SDL.h>

namespace platform::windowsystem {

// Sets the SDL attributes for a context with OpenGL 1.1's fixed function:
// a compatibility profile on the desktop; in the browser the WebGL context
// the fixed-function emulation runs on.
void AskForFixedFunctionGL();
// The size of the window as the window system really has it; false when
// only SDL's idea of it is known.
bool RealWindowSize(SDL_Window* sdl, int* width, int* height);
// Makes the window cover bounds itself when no window manager would; true
// when it did (the window then has to be put back by PlaceWindow).
bool CoverDisplay(SDL_Window* sdl, const SDL_Rect& bounds);
// Moves and resizes the window behind SDL's back (SDL believes it never moved).
void PlaceWindow(SDL_Window* sdl, const SDL_Rect& place);
// True when desktop full screen is the window system's to give. In the
// browser the page decides how large the canvas shows (a page can only ask
// for full screen from a click or key handler, and SDL would then resize the
// canvas under a drawing area that cannot follow), so the game stays on its
// canvas.
bool SwitchesToFullscreen();
// True when the drawing area may be a framebuffer object blitted into the
// window (WebGL 1 has no blits: the browser draws straight into the canvas).
bool DrawingAreaFramebufferWanted();
// Called after each presented frame: the browser shows a frame only when
// the program hands control back to it.
void FramePresented();

}  // namespace platform::windowsystem
