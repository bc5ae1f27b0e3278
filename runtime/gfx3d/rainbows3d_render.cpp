// Rainbows3D: drawing meshes. Frame 0 is compiled into a display list once;
// other frames, blends of two frames and everything under the bump light go
// through one vertex-array draw of POLY_NODE records.

#include <cstddef>

#include "gfx/opengl_rainbows.h"
#include "gfx3d/bump_light.h"
#include "gfx3d/frame_blend.h"
#include "gfx3d/mesh_arrays.h"
#include "gfx3d/rainbows3d.h"
#include "gl/gl_calls.h"

namespace {

GLenum PrimitiveOf(std::uint32_t marker)
{
    if (marker == kGroupStrip) return GL_TRIANGLE_STRIP;
    if (marker == kGroupFan) return GL_TRIANGLE_FAN;
    return GL_TRIANGLES;
}

void SendVertex(const POLY_NODE& node)
{
    if (gl::HasMultiTexCoord()) {
        gl::MultiTexCoord2fARB(GL_TEXTURE0_ARB, node.uv[0], node.uv[1]);
        gl::MultiTexCoord2fARB(GL_TEXTURE1_ARB, node.uv[0], node.uv[1]);
    } else {
        gl::TexCoord2f(node.uv[0], node.uv[1]);
    }
    gl::Color3ub(static_cast<GLubyte>(node.colour), static_cast<GLubyte>(node.colour >> 8),
               static_cast<GLubyte>(node.colour >> 16));
    gl::Normal3fv(node.normal);
    gl::Vertex3fv(node.position);
}

}  // namespace

void Rainbows3D::PreRenderObject(int num)
{
    if (!ValidObject(num)) return;
    MeshObjectX& mesh = objects[num];
    if (mesh.displayList != 0) gl::DeleteLists(mesh.displayList, 1);
    mesh.displayList = 0;
    if (mesh.frames.Count() == 0) return;
    mesh.displayList = gl::GenLists(1);
    if (mesh.displayList == 0) return;

    const POLY_FRAME& frame = mesh.frames[0];
    gl::NewList(mesh.displayList, GL_COMPILE);
    gl::Begin(GL_TRIANGLES);
    for (std::int32_t i = 0; i < frame.nodes.Count(); ++i) {
        const std::uint32_t colour = mesh.colours[frame.nodes[i].colour];
        if (IsGroupMarker(colour)) {
            gl::End();
            gl::Begin(PrimitiveOf(colour));
        } else {
            SendVertex(mesh.UnpackNode(frame, i));
        }
    }
    gl::End();
    gl::EndList();
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
    const FramePair pair = ChooseFrames(mesh.frames.Count(), frameA, frameB, t, interpolate);

    gl::Color3f(1, 1, 1);
    // User objects get their normals here, at their first draw; the display
    // list compiled when the object ended still holds the entered (zero)
    // normals, so it is compiled again.
    const bool hadNormals = mesh.normalsDone != 0;
    mesh.AutoNormalsAfterCompression(true, bumpLightOn);
    if (!hadNormals && mesh.normalsDone != 0) PreRenderObject(num);
    if (mesh.vertices.Count() == 0) mesh.PrepareTriangles();

    gl::PushMatrix();
    TransformMatrix();
    const bool bump = bumpLightOn && gl::HasMultitexture();
    if (!bump && pair.t == 0 && pair.a == 0 && mesh.displayList != 0) {
        gl::CallList(mesh.displayList);
        gl::PopMatrix();
        return;
    }

    const POLY_NODE* source = nullptr;
    std::int32_t count = 0;
    if (bump || pair.t != 0) {
        float lightInObject[3] = {0, 0, 0};
        if (bump) {
            LightInObjectSpace(bumpLightPos, lightInObject);
            UseBumpTextureStage();
        }
        count = BlendFrames(mesh, pair, bump ? lightInObject : nullptr);
        source = mesh.vertices.Data();
    } else {
        source = mesh.frames[pair.a].triangles.Data();
        count = mesh.frames[pair.a].triangles.Count();
    }
    DrawTriangleArrays(mesh, source, count, bump);
    gl::PopMatrix();
}
