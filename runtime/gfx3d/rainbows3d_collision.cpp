// Rainbows3D::Collision: a sphere against a mesh as it would be drawn now.
// Both are compared in eye space: the sphere's centre through the camera,
// the mesh's vertices through the camera and the object transform.

#include <cmath>

#include "gfx3d/frame_triangles.h"
#include "gfx3d/rainbows3d.h"
#include "gfx3d/sphere_collision.h"
#include "gl/gl_calls.h"

namespace {

// out = m * (p, 1), m column-major; the w row is not needed.
void CarryPoint(const GLfloat m[16], const float p[3], float out[3])
{
    for (int row = 0; row < 3; ++row) out[row] = m[row] * p[0] + m[4 + row] * p[1] + m[8 + row] * p[2] + m[12 + row];
}

// The largest factor by which the matrix stretches a length.
float LargestScale(const GLfloat m[16])
{
    float largest = 0;
    for (int column = 0; column < 3; ++column) {
        const float* c = m + 4 * column;
        const float length = std::sqrt(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]);
        if (length > largest) largest = length;
    }
    return largest;
}

}  // namespace

bool Rainbows3D::Collision(int num, unsigned frame, float radius, float x, float y, float z)
{
    if (!ValidObject(num)) return false;
    MeshObjectX& mesh = objects[num];
    // A frame past the last has no triangles to touch.
    if (!mesh.HasNodes() || frame >= static_cast<unsigned>(mesh.frames.Count())) return false;
    const POLY_FRAME& shape = mesh.frames[static_cast<std::int32_t>(frame)];

    const float world[3] = {x, y, z};
    float centre[3];
    CarryPoint(cameraMatrix, world, centre);

    // The object transform as drawing applies it, on top of the camera the
    // centre went through, not on whatever matrix happens to be current.
    GLint mode = GL_MODELVIEW;
    gl::GetIntegerv(GL_MATRIX_MODE, &mode);
    gl::MatrixMode(GL_MODELVIEW);
    gl::PushMatrix();
    gl::LoadMatrixf(cameraMatrix);
    TransformMatrix();
    GLfloat modelView[16];
    gl::GetFloatv(GL_MODELVIEW_MATRIX, modelView);
    gl::PopMatrix();
    gl::MatrixMode(static_cast<GLenum>(mode));

    // Early out: the sphere cannot reach any vertex of the frame. The
    // frame's radius is in object units, so it grows with the scaling.
    const float origin[3] = {modelView[12], modelView[13], modelView[14]};
    const float apart[3] = {origin[0] - centre[0], origin[1] - centre[1], origin[2] - centre[2]};
    const float distance = std::sqrt(apart[0] * apart[0] + apart[1] * apart[1] + apart[2] * apart[2]);
    if (distance - radius >= shape.maxRadius * LargestScale(modelView)) return false;

    bool touched = false;
    ForEachTriangle(mesh.colours, shape, [&](std::int32_t i0, std::int32_t i1, std::int32_t i2) {
        if (touched) return;
        float triangle[3][3];
        const std::int32_t corner[3] = {i0, i1, i2};
        for (int k = 0; k < 3; ++k) {
            const POLY_NODE node = mesh.UnpackNode(shape, corner[k]);
            CarryPoint(modelView, node.position, triangle[k]);
        }
        touched = SpherePolygonCollision(triangle, centre, 3, radius);
    });
    return touched;
}
