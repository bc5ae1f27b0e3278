// Counts the frames the runtime really presents: the test program puts its
// own buffer swap in front of the video library's and passes every call on.
#ifndef _WIN32
#include <dlfcn.h>
#endif

#include "gfx_test_support.h"

int g_presentedFrames = 0;

#ifdef _WIN32
// The Windows build links the video library statically: the linker sends
// the runtime's calls here instead (--wrap=SDL_GL_SwapWindow, set by
// windows/RuntimeTests.cmake).
extern "C" void __real_SDL_GL_SwapWindow(void* window);
extern "C" void __wrap_SDL_GL_SwapWindow(void* window)
{
    ++g_presentedFrames;
    __real_SDL_GL_SwapWindow(window);
}
#else
extern "C" void SDL_GL_SwapWindow(void* window)
{
    using Swap = void (*)(void*);
    static const Swap real = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "SDL_GL_SwapWindow"));
    ++g_presentedFrames;
    if (real != nullptr) real(window);
}
#endif
