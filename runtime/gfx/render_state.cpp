// The render state of a pass. Both kinds share most of it; the switches
// they differ in are set around the shared part. The current colour is set
// before colour material is switched, so the material follows it either way.
#include "gfx/render_state.h"

#include "gl/gl_calls.h"

namespace {

void Switch(GLenum capability, bool on)
{
    if (on)
        gl::Enable(capability);
    else
        gl::Disable(capability);
}

}  // namespace

void SetPassRenderState(PassKind kind)
{
    const bool scene = kind == PassKind::Scene3D;
    if (scene) {
        gl::Enable(GL_DEPTH_TEST);
        gl::DepthFunc(GL_LEQUAL);
    } else {
        gl::Enable(GL_TEXTURE_2D);
        gl::Disable(GL_DEPTH_TEST);
    }

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
    gl::Disable(GL_NORMALIZE);
    gl::Disable(GL_LIGHTING);
    if (scene) {
        gl::Disable(GL_AUTO_NORMAL);
    } else {
        gl::Disable(GL_TEXTURE_GEN_S);
        gl::Disable(GL_TEXTURE_GEN_T);
    }

    gl::ShadeModel(scene ? GL_SMOOTH : GL_FLAT);
    Switch(GL_COLOR_MATERIAL, scene);
    Switch(GL_DITHER, scene);
    const GLenum quality = scene ? GL_NICEST : GL_FASTEST;
    gl::Hint(GL_PERSPECTIVE_CORRECTION_HINT, quality);
    gl::Hint(GL_POLYGON_SMOOTH_HINT, quality);
}
