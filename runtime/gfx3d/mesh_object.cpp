// MeshObject: clearing and packing entered vertices into nodes.
#include "gfx3d/mesh_object.h"

#include <cfloat>

#include "gfx3d/vertex_normals.h"

void MeshObject::Clear(bool freeMemory)
{
    for (std::int32_t f = 0; f < frames.Count(); ++f) {
        POLY_FRAME& frame = frames[f];
        if (freeMemory) {
            frame.raw.Clear();
            frame.triangles.Clear();
            frame.nodes.Clear();
        } else {
            frame.raw.Empty();
            frame.triangles.Empty();
            frame.nodes.Empty();
        }
    }
    if (freeMemory) {
        frames.Clear();
        vertices.Clear();
        texU.Clear();
        texV.Clear();
        colours.Clear();
    } else {
        frames.Empty();
        vertices.Empty();
        texU.Empty();
        texV.Empty();
        colours.Empty();
    }
    normalsDone = 0;
}

namespace {

// Index of colour in the table, appending it when it is new; -1 when the
// table is full.
int ColourIndex(Queue<std::uint32_t>& colours, std::uint32_t colour)
{
    for (std::int32_t i = 0; i < colours.Count(); ++i)
        if (colours[i] == colour) return i;
    if (colours.Count() >= kMaxColourEntries || !colours.Add(colour)) return -1;
    return colours.Count() - 1;
}

// One quantised coordinate: steps of scale from the box's low end.
std::uint8_t Quantise(float position, float scale, float offset)
{
    const float q = position / scale + offset;
    if (q < 255) return q > 0 ? static_cast<std::uint8_t>(q) : 0;
    return 255;
}

// The bounding box of a frame's entered vertices becomes its offset and step.
void SetQuantisation(POLY_FRAME& frame)
{
    float low[3] = {FLT_MAX, FLT_MAX, FLT_MAX};
    float high[3] = {-FLT_MAX, -FLT_MAX, -FLT_MAX};
    bool any = false;
    for (std::int32_t i = 0; i < frame.raw.Count(); ++i) {
        const POLY_NODE& node = frame.raw[i];
        if (IsGroupMarker(node.colour)) continue;
        any = true;
        for (int k = 0; k < 3; ++k) {
            if (node.position[k] < low[k]) low[k] = node.position[k];
            if (node.position[k] > high[k]) high[k] = node.position[k];
        }
    }
    for (int k = 0; k < 3; ++k) {
        if (!any) {  // only markers: any step will do
            frame.scale[k] = 1.0f;
            frame.offset[k] = 0;
            continue;
        }
        frame.scale[k] = static_cast<float>((high[k] - low[k]) / 255.0);
        if (frame.scale[k] == 0) frame.scale[k] = 1.0f;
        frame.offset[k] = -low[k] / frame.scale[k];
    }
}

}  // namespace

bool MeshObject::Compress()
{
    texU.Clear();
    texV.Clear();
    bool fits = true;
    for (std::int32_t f = 0; f < frames.Count(); ++f) {
        POLY_FRAME& frame = frames[f];
        frame.nodes.Empty();
        SetQuantisation(frame);
        frame.nodes.Reserve(frame.raw.Count());
        for (std::int32_t i = 0; i < frame.raw.Count(); ++i) {
            const POLY_NODE& entry = frame.raw[i];
            PACKED_NODE node{};
            const int colour = ColourIndex(colours, entry.colour);
            if (colour < 0) fits = false;
            node.colour = static_cast<std::uint8_t>(colour < 0 ? 0 : colour);
            if (f == 0) {
                texU.Add(entry.uv[0]);
                texV.Add(entry.uv[1]);
            }
            node.normal = static_cast<std::uint8_t>(NearestVertexNormal(entry.normal));
            node.x = Quantise(entry.position[0], frame.scale[0], frame.offset[0]);
            node.y = Quantise(entry.position[1], frame.scale[1], frame.offset[1]);
            node.z = Quantise(entry.position[2], frame.scale[2], frame.offset[2]);
            frame.nodes.Add(node);
        }
        frame.raw.Empty();
    }
    normalsDone = 0;
    return fits;
}

POLY_NODE MeshObject::UnpackNode(const POLY_FRAME& frame, std::int32_t i) const
{
    const PACKED_NODE& packed = frame.nodes[i];
    POLY_NODE node{};
    const std::uint8_t q[3] = {packed.x, packed.y, packed.z};
    for (int k = 0; k < 3; ++k) {
        node.position[k] = (static_cast<float>(q[k]) - frame.offset[k]) * frame.scale[k];
        node.normal[k] = gAvertexnormals[packed.normal][k];
        node.tangent[k] = gAvertexnormals[packed.tangent][k];
        node.binormal[k] = gAvertexnormals[packed.binormal][k];
    }
    node.colour = colours[packed.colour];
    node.uv[0] = texU[i];
    node.uv[1] = -texV[i];
    return node;
}
