// The 2D layer above keeps vertices pending and believes it knows part of
// the GL state (gl/batch2d.h, gl/gl_state_shadow.h). Before a guarded call
// (gl/gl_calls.h) it must draw what it holds and forget what it believed.
// The GL owner cannot call up into it; the renderer registers how, as it is
// made. Until then nothing is pending and the guards do nothing.
#pragma once

namespace gl {

enum class Pending2DUse {
    Use,            // OpenGL is about to be used
    Draw,           // ... to draw: the picture counts as drawn by someone else
    MoveTransform,  // ... to move the matrices or the viewport
};
using Pending2DHook = void (*)(Pending2DUse use);

void SetPending2DHook(Pending2DHook hook);

}  // namespace gl
