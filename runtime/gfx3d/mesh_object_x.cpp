// MeshObjectX: releasing a mesh's OpenGL objects, its bounding radius, and
// unpacking its frames into plain triangle lists.
#include <GL/gl.h>

#include <cmath>

#include "gfx/opengl_rainbows.h"
#include "gfx3d/mesh_object.h"

void MeshObjectX::Clear(bool freeMemory)
{
    MeshObject::Clear(freeMemory);
    if (streamBuffer != 0 && glDeleteBuffersARB != nullptr) {
        const GLuint name = streamBuffer;
        glDeleteBuffersARB(1, &name);
    }
    streamBuffer = 0;
    if (displayList != 0) glDeleteLists(displayList, 1);
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

namespace {

enum class GroupKind { Triangles, Strip, Fan };

// Turns a frame's nodes into separate triangles, group by group: strips
// alternate their winding so every triangle faces the same way, fans keep
// their first vertex.
class TriangleAssembler {
public:
    explicit TriangleAssembler(Queue<POLY_NODE>& out) : m_out(out) {}

    void StartGroup(std::uint32_t marker)
    {
        m_filled = 0;
        if (marker == kGroupStrip) {
            m_kind = GroupKind::Strip;
            m_parity = 0;
        } else if (marker == kGroupFan) {
            m_kind = GroupKind::Fan;
        } else {
            m_kind = GroupKind::Triangles;
        }
    }

    void AddVertex(const POLY_NODE& node)
    {
        m_window[m_filled++] = node;
        if (m_filled < 3) return;
        m_out.Add(m_window[0]);
        m_out.Add(m_window[1]);
        m_out.Add(m_window[2]);
        switch (m_kind) {
        case GroupKind::Strip:
            m_parity = 1 - m_parity;
            if (m_parity == 1)
                m_window[0] = m_window[2];
            else
                m_window[1] = m_window[2];
            m_filled = 2;
            break;
        case GroupKind::Triangles:
            m_filled = 0;
            break;
        case GroupKind::Fan:
            m_window[1] = m_window[2];
            m_filled = 2;
            break;
        }
    }

private:
    Queue<POLY_NODE>& m_out;
    POLY_NODE m_window[3] = {};
    int m_filled = 0;
    GroupKind m_kind = GroupKind::Triangles;
    int m_parity = 0;
};

}  // namespace

void MeshObjectX::PrepareTriangles()
{
    for (std::int32_t f = 0; f < frames.Count(); ++f) {
        POLY_FRAME& frame = frames[f];
        frame.triangles.Empty();
        TriangleAssembler assembler(frame.triangles);
        for (std::int32_t i = 0; i < frame.nodes.Count(); ++i) {
            const std::uint32_t colour = colours[frame.nodes[i].colour];
            if (IsGroupMarker(colour))
                assembler.StartGroup(colour);
            else
                assembler.AddVertex(UnpackNode(frame, i));
        }
    }
    vertices.Empty();
    if (frames.Count() > 0) vertices = frames[0].triangles;
    hasColours = 0;
    for (std::int32_t i = 0; i < colours.Count(); ++i)
        if (!IsGroupMarker(colours[i]) && colours[i] != kWhite) hasColours = 1;
}
