// Rainbows3D: drawing meshes. Frame 0 is compiled into a display list once;
// other frames go through vertex arrays of POLY_NODE records.
#include <GL/gl.h>

#include <cstddef>

#include "gfx/opengl_rainbows.h"
#include "gfx3d/rainbows3d.h"

namespace {

GLenum PrimitiveOf(std::uint32_t marker)
{
    if (marker == kGroupStrip) return GL_TRIANGLE_STRIP;
    if (marker == kGroupFan) return GL_TRIANGLE_FAN;
    return GL_TRIANGLES;
}

void SendVertex(const POLY_NODE& node)
{
    if (glMultiTexCoord2fARB != nullptr) {
        glMultiTexCoord2fARB(GL_TEXTURE0_ARB, node.uv[0], node.uv[1]);
        glMultiTexCoord2fARB(GL_TEXTURE1_ARB, node.uv[0], node.uv[1]);
    } else {
        glTexCoord2f(node.uv[0], node.uv[1]);
    }
    glColor3ub(static_cast<GLubyte>(node.colour), static_cast<GLubyte>(node.colour >> 8),
               static_cast<GLubyte>(node.colour >> 16));
    glNormal3fv(node.normal);
    glVertex3fv(node.position);
}

// Draws count POLY_NODE records as separate triangles from client memory.
void DrawTriangleArray(const POLY_NODE* source, std::int32_t count, bool withColours)
{
    const char* base = reinterpret_cast<const char*>(source);
    constexpr GLsizei stride = sizeof(POLY_NODE);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, stride, base + offsetof(POLY_NODE, position));
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, stride, base + offsetof(POLY_NODE, uv));
    if (withColours) {
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(3, GL_UNSIGNED_BYTE, stride, base + offsetof(POLY_NODE, colour));
    }
    glDrawArrays(GL_TRIANGLES, 0, count);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
}

}  // namespace

void Rainbows3D::PreRenderObject(int num)
{
    if (!ValidObject(num)) return;
    MeshObjectX& mesh = objects[num];
    if (mesh.displayList != 0) glDeleteLists(mesh.displayList, 1);
    mesh.displayList = 0;
    if (mesh.frames.Count() == 0) return;
    mesh.displayList = glGenLists(1);
    if (mesh.displayList == 0) return;

    const POLY_FRAME& frame = mesh.frames[0];
    glNewList(mesh.displayList, GL_COMPILE);
    glBegin(GL_TRIANGLES);
    for (std::int32_t i = 0; i < frame.nodes.Count(); ++i) {
        const std::uint32_t colour = mesh.colours[frame.nodes[i].colour];
        if (IsGroupMarker(colour)) {
            glEnd();
            glBegin(PrimitiveOf(colour));
        } else {
            SendVertex(mesh.UnpackNode(frame, i));
        }
    }
    glEnd();
    glEndList();
}

void Rainbows3D::RenderObject(int num, int frame)
{
    if (!ValidObject(num)) return;
    if (frame < objects[num].frames.Count()) RenderMD2(num, frame, 0, 0.0f, false);
}

void Rainbows3D::RenderMD2(int num, int frameA, int frameB, float t, bool interpolate)
{
    if (!ValidObject(num)) return;
    MeshObjectX& mesh = objects[num];
    if (!mesh.HasNodes()) return;
    const int last = mesh.frames.Count() - 1;
    const int a = frameA < 0 ? 0 : (frameA > last ? last : frameA);
    // Frames are drawn as stored: blending towards frameB by t is not built
    // yet, nor are generated normals and the bump light.
    (void)frameB;
    (void)interpolate;
    (void)t;

    glColor3f(1, 1, 1);
    if (mesh.vertices.Count() == 0) mesh.PrepareTriangles();
    glPushMatrix();
    TransformMatrix();
    if (a == 0 && mesh.displayList != 0) {
        glCallList(mesh.displayList);
    } else {
        const Queue<POLY_NODE>& source = mesh.frames[a].triangles;
        DrawTriangleArray(source.Data(), source.Count(), mesh.hasColours != 0);
    }
    glPopMatrix();
}
