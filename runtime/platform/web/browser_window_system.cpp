// The browser's side of the game window: the canvas is sized by the page,
// there is no window manager to stand in for, and WebGL 1 has no
// framebuffer blits, so the program draws straight into the canvas.
#include "platform/window_system.h"

#include <emscripten.h>

namespace platform::windowsystem {

// WebGL 1 is OpenGL ES 2.0 to SDL; the emulation adds the fixed function.
void AskForFixedFunctionGL()
{
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
    // WebGL copies from the canvas into an RGBA texture (grabbing sprites
    // and backgrounds) only when the canvas itself has alpha.
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
}

bool RealWindowSize(SDL_Window*, int*, int*) { return false; }
bool CoverDisplay(SDL_Window*, const SDL_Rect&) { return false; }
void PlaceWindow(SDL_Window*, const SDL_Rect&) {}
bool SwitchesToFullscreen() { return false; }
bool DrawingAreaFramebufferWanted() { return false; }

// The browser composites the canvas only once the program returns to its
// event loop: every presented frame hands control back for a moment. The
// page counts the frames (Module.kvPresented), and when asked
// (Module.kvWantFrame: true for the next frame, or the count of the frame
// wanted) keeps a copy of the frame just drawn (Module.kvLastFrame, a PNG
// data URL), which is gone from the canvas once the browser has shown it;
// the browser tests read both.
void FramePresented()
{
    EM_ASM({
        Module.kvPresented = (Module.kvPresented || 0) + 1;
        if (Module.kvWantFrame === true || Module.kvWantFrame === Module.kvPresented) {
            Module.kvWantFrame = false;
            Module.kvLastFrame = Module.canvas.toDataURL('image/png');
        }
    });
    emscripten_sleep(0);
}

}  // namespace platform::windowsystem
