// Projection of a world point to the window.
#include "gfx3d/project.h"

#include "gl/gl_calls.h"

namespace {

// out = m * in, m column-major.
void Transform(const GLdouble m[16], const double in[4], double out[4])
{
    for (int row = 0; row < 4; ++row)
        out[row] = m[row] * in[0] + m[4 + row] * in[1] + m[8 + row] * in[2] + m[12 + row] * in[3];
}

}  // namespace

bool Tzglu_Project(float x, float y, float z, float* winX, float* winY, float* winZ)
{
    GLint viewport[4];
    GLdouble projection[16];
    GLdouble modelView[16];
    gl::GetIntegerv(GL_VIEWPORT, viewport);
    gl::GetDoublev(GL_PROJECTION_MATRIX, projection);
    gl::GetDoublev(GL_MODELVIEW_MATRIX, modelView);

    const double world[4] = {x, y, z, 1.0};
    double eye[4];
    double clip[4];
    Transform(modelView, world, eye);
    Transform(projection, eye, clip);
    if (clip[3] == 0.0) return false;
    for (int k = 0; k < 3; ++k) clip[k] /= clip[3];

    const double x0 = viewport[0], y0 = viewport[1], w = viewport[2], h = viewport[3];
    *winX = static_cast<float>(x0 + (clip[0] + 1) * w * 0.5);
    *winY = static_cast<float>(h - (y0 + h * (clip[1] + 1) * 0.5));
    *winZ = static_cast<float>((clip[2] + 1) * 0.5);
    return true;
}
