// OpenGLRainbows::Make3DViewport: the renderer's switch into 3D.

#include <cmath>

#include "gfx/opengl_rainbows.h"
#include "gfx/render_state.h"
#include "gl/gl_calls.h"

void OpenGLRainbows::Make3DViewport(double nearPlane, double farPlane, double fov)
{
    const int w = window.width;
    const int h = window.height != 0 ? window.height : 1;
    gl::Viewport(0, 0, w, h);

    gl::MatrixMode(GL_PROJECTION);
    gl::LoadIdentity();
    const double g = nearPlane * std::tan(fov * M_PI / 360.0);
    const double aspect = static_cast<double>(w) / h;
    gl::Frustum(-aspect * g, aspect * g, -g, g, nearPlane, farPlane);
    gl::MatrixMode(GL_MODELVIEW);
    gl::LoadIdentity();

    SetTexture3D(-1, -1, 0);

    SetPassRenderState(PassKind::Scene3D);
}
