// MeshObject: clearing and packing entered vertices into nodes.
#include "gfx3d/mesh_object.h"

#include <cfloat>
#include <vector>

#include "gfx3d/vertex_normals.h"

namespace {

// Empties a list and gives its storage back.
template <typename T>
void ReleaseStorage(std::vector<T>& list)
{
    std::vector<T>().swap(list);
}

}  // namespace

void MeshObject::Clear(bool freeMemory)
{
    // Removing the frames frees their own lists; the mesh's lists keep
    // their storage for the next fill unless freeMemory.
    frames.clear();
    vertices.clear();
    texU.clear();
    texV.clear();
    colours.clear();
    if (freeMemory) {
        ReleaseStorage(frames);
        ReleaseStorage(vertices);
        ReleaseStorage(texU);
        ReleaseStorage(texV);
        ReleaseStorage(colours);
    }
    normalsDone = 0;
}

namespace {

// Index of colour in the table, appending it when it is new; -1 when the
// table is full.
int ColourIndex(std::vector<std::uint32_t>& colours, std::uint32_t colour)
{
    for (std::int32_t i = 0; i < std::ssize(colours); ++i)
        if (colours[i] == colour) return i;
    if (std::ssize(colours) >= kMaxColourEntries) return -1;
    colours.push_back(colour);
    return std::ssize(colours) - 1;
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
    for (std::int32_t i = 0; i < std::ssize(frame.raw); ++i) {
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
    ReleaseStorage(texU);
    ReleaseStorage(texV);
    bool fits = true;
    for (std::int32_t f = 0; f < std::ssize(frames); ++f) {
        POLY_FRAME& frame = frames[f];
        frame.nodes.clear();
        SetQuantisation(frame);
        frame.nodes.reserve(frame.raw.size());
        for (std::int32_t i = 0; i < std::ssize(frame.raw); ++i) {
            const POLY_NODE& entry = frame.raw[i];
            PACKED_NODE node{};
            const int colour = ColourIndex(colours, entry.colour);
            if (colour < 0) fits = false;
            node.colour = static_cast<std::uint8_t>(colour < 0 ? 0 : colour);
            if (f == 0) {
                texU.push_back(entry.uv[0]);
                texV.push_back(entry.uv[1]);
            }
            node.normal = static_cast<std::uint8_t>(NearestVertexNormal(entry.normal));
            node.x = Quantise(entry.position[0], frame.scale[0], frame.offset[0]);
            node.y = Quantise(entry.position[1], frame.scale[1], frame.offset[1]);
            node.z = Quantise(entry.position[2], frame.scale[2], frame.offset[2]);
            frame.nodes.push_back(node);
        }
        frame.raw.clear();
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
