// Counts the frames the runtime really presents: the test program puts its
// own buffer swap in front of the video library's and passes every call on.
#include <dlfcn.h>

#include "gfx_test_support.h"

int g_presentedFrames = 0;

extern "C" void SDL_GL_SwapWindow(void* window)
{
    using Swap = void (*)(void*);
    static const Swap real = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "SDL_GL_SwapWindow"));
    ++g_presentedFrames;
    if (real != nullptr) real(window);
}
