// OpenGLRainbows::Make3DViewport: the renderer's switch into 3D.

#include <cmath>

#include "gfx/opengl_rainbows.h"
#include "gl/gl_calls.h"

void OpenGLRainbows::Make3DViewport(double nearPlane, double farPlane, double fov)
{
    const int w = width;
    const int h = height != 0 ? height : 1;
    gl::Viewport(0, 0, w, h);

    gl::MatrixMode(GL_PROJECTION);
    gl::LoadIdentity();
    const double g = nearPlane * std::tan(fov * M_PI / 360.0);
    const double aspect = static_cast<double>(w) / h;
    gl::Frustum(-aspect * g, aspect * g, -g, g, nearPlane, farPlane);
    gl::MatrixMode(GL_MODELVIEW);
    gl::LoadIdentity();

    SetTexture3D(-1, -1, 0);

    gl::Enable(GL_DEPTH_TEST);
    gl::DepthFunc(GL_LEQUAL);
    gl::Enable(GL_CULL_FACE);
    gl::FrontFace(GL_CCW);
    gl::Enable(GL_ALPHA_TEST);
    gl::AlphaFunc(GL_GREATER, 0.5f);
    gl::Color4f(1, 1, 1, 1);
    gl::ClearColor(0, 0, 0, 0);
    gl::Disable(GL_FOG);
    gl::Disable(GL_LINE_SMOOTH);
    gl::Disable(GL_POINT_SMOOTH);
    gl::Disable(GL_POLYGON_SMOOTH);
    gl::Disable(GL_STENCIL_TEST);
    gl::Disable(GL_POLYGON_OFFSET_POINT);
    gl::Disable(GL_AUTO_NORMAL);
    gl::Disable(GL_NORMALIZE);
    gl::Disable(GL_LIGHTING);
    gl::ShadeModel(GL_SMOOTH);
    gl::Enable(GL_COLOR_MATERIAL);
    gl::Enable(GL_DITHER);
    gl::Hint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    gl::Hint(GL_POLYGON_SMOOTH_HINT, GL_NICEST);
}
