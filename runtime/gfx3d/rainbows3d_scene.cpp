// Rainbows3D: the camera, the object transform, face culling, the lights
// and the axis cross.
#include <GL/gl.h>

#include "gfx3d/math3d.h"
#include "gfx3d/rainbows3d.h"

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
    glLoadIdentity();
    LookAt(eyeX, eyeY, eyeZ, targetX, targetY, targetZ);
    glGetFloatv(GL_MODELVIEW_MATRIX, cameraMatrix);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
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
    glTranslatef(translation[0], translation[1], translation[2]);
    // OpenGL applies the last multiplied matrix to a vertex first, so the
    // rotations go on in reverse to act in the order they were given.
    for (int i = rotationCount - 1; i >= 0; --i)
        glRotatef(rotations[i].angle, rotations[i].x, rotations[i].y, rotations[i].z);
    glScalef(scaling[0], scaling[1], scaling[2]);
}

void Rainbows3D::CullMode(int mode)
{
    switch (mode) {
    case 0:
        glDisable(GL_CULL_FACE);
        break;
    case 1:
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        glFrontFace(GL_CW);
        break;
    case -1:
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        glFrontFace(GL_CCW);
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
    glLightfv(GL_LIGHT0 + k, GL_AMBIENT, ambient);
    glEnable(GL_LIGHT0 + k);
    glEnable(GL_LIGHTING);
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
        if (k >= 0) glDisable(GL_LIGHT0 + k);
        return;
    }
    glPushMatrix();
    if (k < 0) k = 0;
    GLfloat diffuse[4];
    ColourComponents(colour, diffuse);
    const GLenum light = GL_LIGHT0 + k;
    glLightfv(light, GL_DIFFUSE, diffuse);
    glLightf(light, GL_SPOT_CUTOFF, cutoff);
    const GLfloat position[4] = {x, y, z, 1};
    glLightfv(light, GL_POSITION, position);
    const GLfloat direction[3] = {dirX, dirY, dirZ};
    glLightfv(light, GL_SPOT_DIRECTION, direction);
    glEnable(light);
    glEnable(GL_LIGHTING);

    if (showLight != 0) {
        // A yellow dot at the light and an orange beam along its direction.
        glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_POINT_BIT | GL_LINE_BIT);
        glDisable(GL_LIGHTING);
        glDisable(GL_TEXTURE_2D);
        glEnable(GL_POINT_SMOOTH);
        glPointSize(40);
        glColor3f(1, 1, 0.3f);
        glBegin(GL_POINTS);
        glVertex3f(x, y, z);
        glEnd();
        const Vec3 from = Vec3{x, y, z} + Normalised(Vec3{dirX, dirY, dirZ}) * 500.0f;
        glLineWidth(3);
        glColor3f(1, 0.7f, 0.3f);
        glBegin(GL_LINES);
        glVertex3f(from.x, from.y, from.z);
        glVertex3f(x, y, z);
        glEnd();
        glPointSize(1);
        glLineWidth(1);
        glPopAttrib();
    }
    glPopMatrix();
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
    glPushMatrix();
    glLoadMatrixf(cameraMatrix);
    glTranslatef(x, y, z);
    glScalef(100, 100, 100);
    for (const Axis& axis : axes) {
        glColor3ub(axis.r, axis.g, axis.b);
        glBegin(GL_LINE_STRIP);
        for (const auto& point : axis.points) glVertex3fv(point);
        glEnd();
    }
    glPopMatrix();
}
