// The guards in front of the OpenGL calls that draw, read pixels or change
// state a 2D draw depends on (gl/gl_calls.h).
#include "gl/gl_calls.h"

#include "gl/pending_2d.h"

namespace gl {

namespace {
Pending2DHook g_pending2D = nullptr;
}

void SetPending2DHook(Pending2DHook hook)
{
    g_pending2D = hook;
}

namespace detail {

void Finish2D()
{
    if (g_pending2D != nullptr) g_pending2D(Pending2DUse::Use);
}

void Finish2DBeforeDrawing()
{
    if (g_pending2D != nullptr) g_pending2D(Pending2DUse::Draw);
}

void Finish2DMovingTransform()
{
    if (g_pending2D != nullptr) g_pending2D(Pending2DUse::MoveTransform);
}

}  // namespace detail

}  // namespace gl
