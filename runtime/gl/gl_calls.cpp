// The guards in front of the OpenGL calls that draw, read pixels or change
// state a 2D draw depends on (gl/gl_calls.h).
#include "gl/gl_calls.h"

#include "frame/frame.h"
#include "gfx/opengl_rainbows.h"

namespace gl::detail {

void Finish2D()
{
    if (pRbow != nullptr) pRbow->FinishPending2D();
}

void Finish2DBeforeDrawing()
{
    if (pRbow == nullptr) return;
    pRbow->FinishPending2D();
    pRbow->NoteDrawing();
}

void Finish2DMovingTransform()
{
    if (pRbow == nullptr) return;
    pRbow->FinishPending2D();
    pRbow->NoteTransformMoved();
}

}  // namespace gl::detail
