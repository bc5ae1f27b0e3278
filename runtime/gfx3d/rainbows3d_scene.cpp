// Rainbows3D: the camera, the object transform, face culling, the lights
// and the axis cross.

#include "gfx3d/math3d.h"
#include "gfx3d/rainbows3d.h"
#include "gl/gl_calls.h"

Rainbows3D rbow3D;
std::int8_t __current_cullmode = 0;
std::int32_t __mipmapping_state = 0;

namespace {

// Packed RGB (red lowest) as four float components with alpha 0.
void ColourComponents(unsigned long colour, GLfloat out[4])
{
    out[0] = static_cast<GLfloat>(colour & 0xFF) / 255.0f;
    out[1] = static_cast<GLfloat>((colour >> 8) & 0xFF) / 255.0f;
    out[2] = static_cast<GLfloat>((colour >> 16) & 0xFF) / 255.0f;
    out[3] = 0;
}

}  // namespace

void Rainbows3D::SetCamera(float eyeX, float eyeY, float eyeZ, float targetX, float targetY, float targetZ)
{
    gl::LoadIdentity();
    LookAt(eyeX, eyeY, eyeZ, targetX, targetY, targetZ);
    gl::GetFloatv(GL_MODELVIEW_MATRIX, cameraMatrix);
    gl::Enable(GL_DEPTH_TEST);
    gl::DepthFunc(GL_LEQUAL);
    rotationCount = 0;
    scaling[0] = scaling[1] = scaling[2] = 1;
    translation[0] = translation[1] = translation[2] = 0;
    CullMode(0);
}

void Rainbows3D::SetRotation(float angle, float x, float y, float z)
{
    if (rotationCount >= kMaxRotations) return;
    rotations[rotationCount++] = Rotation3D{angle, x, y, z};
}

void Rainbows3D::SetScaling(float x, float y, float z)
{
    scaling[0] = x;
    scaling[1] = y;
    scaling[2] = z;
    rotationCount = 0;
}

void Rainbows3D::SetTranslation(float x, float y, float z)
{
    translation[0] = x;
    translation[1] = y;
    translation[2] = z;
    rotationCount = 0;
}

void Rainbows3D::TransformMatrix()
{
    gl::Translatef(translation[0], translation[1], translation[2]);
    // OpenGL applies the last multiplied matrix to a vertex first, so the
    // rotations go on in reverse to act in the order they were given.
    for (int i = rotationCount - 1; i >= 0; --i)
        gl::Rotatef(rotations[i].angle, rotations[i].x, rotations[i].y, rotations[i].z);
    gl::Scalef(scaling[0], scaling[1], scaling[2]);
}

void Rainbows3D::CullMode(int mode)
{
    switch (mode) {
    case 0:
        gl::Disable(GL_CULL_FACE);
        break;
    case 1:
        gl::Enable(GL_CULL_FACE);
        gl::CullFace(GL_BACK);
        gl::FrontFace(GL_CW);
        break;
    case -1:
        gl::Enable(GL_CULL_FACE);
        gl::CullFace(GL_BACK);
        gl::FrontFace(GL_CCW);
        break;
    default:
        break;
    }
}

void Rainbows3D::AmbientLt(int num, unsigned long colour)
{
    const int k = num % 8;
    if (k < 0) return;  // a negative number names no light
    GLfloat ambient[4];
    ColourComponents(colour, ambient);
    gl::Lightfv(GL_LIGHT0 + k, GL_AMBIENT, ambient);
    gl::Enable(GL_LIGHT0 + k);
    gl::Enable(GL_LIGHTING);
}

void Rainbows3D::SpotLt(int num, unsigned long colour, float x, float y, float z, float dirX, float dirY,
                        float dirZ, float cutoff, int showLight)
{
    if (num == -1) {  // the bump-map light: only remembered, mesh drawing uses it
        bumpLightOn = cutoff != 0;
        bumpLightPos[0] = x;
        bumpLightPos[1] = y;
        bumpLightPos[2] = z;
        return;
    }
    int k = num % 8;
    if (cutoff == 0) {
        if (k >= 0) gl::Disable(GL_LIGHT0 + k);
        return;
    }
    gl::PushMatrix();
    if (k < 0) k = 0;
    GLfloat diffuse[4];
    ColourComponents(colour, diffuse);
    const GLenum light = GL_LIGHT0 + k;
    gl::Lightfv(light, GL_DIFFUSE, diffuse);
    gl::Lightf(light, GL_SPOT_CUTOFF, cutoff);
    const GLfloat position[4] = {x, y, z, 1};
    gl::Lightfv(light, GL_POSITION, position);
    const GLfloat direction[3] = {dirX, dirY, dirZ};
    gl::Lightfv(light, GL_SPOT_DIRECTION, direction);
    gl::Enable(light);
    gl::Enable(GL_LIGHTING);

    if (showLight != 0) {
        // A yellow dot at the light and an orange beam along its direction.
        gl::PushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_POINT_BIT | GL_LINE_BIT);
        gl::Disable(GL_LIGHTING);
        gl::Disable(GL_TEXTURE_2D);
        gl::Enable(GL_POINT_SMOOTH);
        gl::PointSize(40);
        gl::Color3f(1, 1, 0.3f);
        gl::Begin(GL_POINTS);
        gl::Vertex3f(x, y, z);
        gl::End();
        const Vec3 from = Vec3{x, y, z} + Normalised(Vec3{dirX, dirY, dirZ}) * 500.0f;
        gl::LineWidth(3);
        gl::Color3f(1, 0.7f, 0.3f);
        gl::Begin(GL_LINES);
        gl::Vertex3f(from.x, from.y, from.z);
        gl::Vertex3f(x, y, z);
        gl::End();
        gl::PointSize(1);
        gl::LineWidth(1);
        gl::PopAttrib();
    }
    gl::PopMatrix();
}

void Rainbows3D::DrawCoordAxis(float x, float y, float z)
{
    struct Axis {
        GLubyte r, g, b;
        GLfloat points[8][3];
    };
    static const Axis axes[3] = {
        {255, 0, 0, {{0, 0, 0}, {1, 0, 0}, {0.75f, 0.25f, 0}, {0.75f, -0.25f, 0}, {1, 0, 0},
                     {0.75f, 0, 0.25f}, {0.75f, 0, -0.25f}, {1, 0, 0}}},
        {0, 255, 0, {{0, 0, 0}, {0, 1, 0}, {0, 0.75f, 0.25f}, {0, 0.75f, -0.25f}, {0, 1, 0},
                     {0.25f, 0.75f, 0}, {-0.25f, 0.75f, 0}, {0, 1, 0}}},
        {0, 0, 255, {{0, 0, 0}, {0, 0, 1}, {0.25f, 0, 0.75f}, {-0.25f, 0, 0.75f}, {0, 0, 1},
                     {0, 0.25f, 0.75f}, {0, -0.25f, 0.75f}, {0, 0, 1}}},
    };
    gl::PushMatrix();
    gl::LoadMatrixf(cameraMatrix);
    gl::Translatef(x, y, z);
    gl::Scalef(100, 100, 100);
    for (const Axis& axis : axes) {
        gl::Color3ub(axis.r, axis.g, axis.b);
        gl::Begin(GL_LINE_STRIP);
        for (const auto& point : axis.points) gl::Vertex3fv(point);
        gl::End();
    }
    gl::PopMatrix();
}
