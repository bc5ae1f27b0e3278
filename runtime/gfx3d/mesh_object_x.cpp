// MeshObjectX: releasing a mesh's OpenGL objects, its bounding radius, and
// unpacking its frames into plain triangle lists.

#include <cmath>

#include "gfx/opengl_rainbows.h"
#include "gfx3d/frame_triangles.h"
#include "gfx3d/mesh_object.h"
#include "gl/gl_calls.h"

void MeshObjectX::Clear(bool freeMemory)
{
    MeshObject::Clear(freeMemory);
    if (streamBuffer != 0 && gl::HasDeleteBuffers()) {
        const GLuint name = streamBuffer;
        gl::DeleteBuffersARB(1, &name);
    }
    streamBuffer = 0;
    if (displayList != 0) gl::DeleteLists(displayList, 1);
    displayList = 0;
}

void MeshObjectX::CalcMaxRadius()
{
    for (std::int32_t f = 0; f < frames.Count(); ++f) {
        POLY_FRAME& frame = frames[f];
        float radius = 0;
        for (std::int32_t i = 0; i < frame.nodes.Count(); ++i) {
            const POLY_NODE node = UnpackNode(frame, i);
            const float* p = node.position;
            const float length = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
            if (length > radius) radius = length;
        }
        frame.maxRadius = radius;
    }
}

void MeshObjectX::PrepareTriangles()
{
    Queue<POLY_NODE> unpacked;
    for (std::int32_t f = 0; f < frames.Count(); ++f) {
        POLY_FRAME& frame = frames[f];
        frame.triangles.Empty();
        // Strips and fans use a node in up to three triangles: unpack once.
        unpacked.Empty();
        unpacked.Reserve(frame.nodes.Count());
        for (std::int32_t i = 0; i < frame.nodes.Count(); ++i) unpacked.Add(UnpackNode(frame, i));
        ForEachTriangle(colours, frame, [&](std::int32_t i0, std::int32_t i1, std::int32_t i2) {
            frame.triangles.Add(unpacked[i0]);
            frame.triangles.Add(unpacked[i1]);
            frame.triangles.Add(unpacked[i2]);
        });
    }
    vertices.Empty();
    if (frames.Count() > 0) vertices = frames[0].triangles;
    hasColours = 0;
    for (std::int32_t i = 0; i < colours.Count(); ++i)
        if (!IsGroupMarker(colours[i]) && colours[i] != kWhite) hasColours = 1;
}
