// Generated vertex normals, tangents and binormals, without a display.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "gfx3d/mesh_object.h"
#include "gfx3d/vertex_normals.h"

namespace {

constexpr int kPlusX = 52, kMinusX = 143, kPlusY = 32, kMinusY = 104, kPlusZ = 5, kMinusZ = 84;

struct V3 {
    float x, y, z;
};
V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

POLY_NODE Vertex(V3 p, float u = 0, float v = 0)
{
    POLY_NODE node{};
    node.position[0] = p.x;
    node.position[1] = p.y;
    node.position[2] = p.z;
    node.uv[0] = u;
    node.uv[1] = v;
    node.colour = kWhite;
    return node;
}

POLY_NODE Marker(std::uint32_t marker)
{
    POLY_NODE node{};
    node.colour = marker;
    return node;
}

// A fan square around centre spanned by a and b, wound so its face normal
// is a x b.
void AddSquare(MeshObjectX& mesh, V3 centre, V3 a, V3 b)
{
    Queue<POLY_NODE>& raw = mesh.frames[0].raw;
    raw.Add(Marker(kGroupFan));
    raw.Add(Vertex(centre - a - b));
    raw.Add(Vertex(centre + a - b));
    raw.Add(Vertex(centre + a + b));
    raw.Add(Vertex(centre - a + b));
}

MeshObjectX NewMesh()
{
    MeshObjectX mesh;
    mesh.frames.Add(POLY_FRAME{});
    return mesh;
}

// The normal index of every non-marker node of frame 0.
std::vector<int> NormalIndices(const MeshObjectX& mesh)
{
    std::vector<int> out;
    const POLY_FRAME& frame = mesh.frames[0];
    for (std::int32_t i = 0; i < frame.nodes.Count(); ++i)
        if (!IsGroupMarker(mesh.colours[frame.nodes[i].colour])) out.push_back(frame.nodes[i].normal);
    return out;
}

TEST(AutoNormals, EachFaceOfABoxWithSeparateFacesGetsItsAxisEntry)
{
    MeshObjectX mesh = NewMesh();
    const V3 x{40, 0, 0}, y{0, 40, 0}, z{0, 0, 40};
    AddSquare(mesh, {50, 0, 0}, y, z);
    AddSquare(mesh, {-50, 0, 0}, z, y);
    AddSquare(mesh, {0, 50, 0}, z, x);
    AddSquare(mesh, {0, -50, 0}, x, z);
    AddSquare(mesh, {0, 0, 50}, x, y);
    AddSquare(mesh, {0, 0, -50}, y, x);
    ASSERT_TRUE(mesh.Compress());
    EXPECT_EQ(mesh.normalsDone, 0);
    mesh.AutoNormalsAfterCompression(true, false);
    EXPECT_EQ(mesh.normalsDone, 1);

    const std::vector<int> got = NormalIndices(mesh);
    const int expected[6] = {kPlusX, kMinusX, kPlusY, kMinusY, kPlusZ, kMinusZ};
    ASSERT_EQ(got.size(), 24u);
    for (int face = 0; face < 6; ++face)
        for (int corner = 0; corner < 4; ++corner) EXPECT_EQ(got[face * 4 + corner], expected[face]) << face;
    // The drawing lists were rebuilt with the new normals.
    ASSERT_GT(mesh.vertices.Count(), 0);
    EXPECT_FLOAT_EQ(mesh.vertices[0].normal[0], 1.0f);
}

TEST(AutoNormals, SharedCornersOfAClosedCubeAverageTheirThreeFaces)
{
    MeshObjectX mesh = NewMesh();
    const V3 x{50, 0, 0}, y{0, 50, 0}, z{0, 0, 50};
    AddSquare(mesh, {50, 0, 0}, y, z);
    AddSquare(mesh, {-50, 0, 0}, z, y);
    AddSquare(mesh, {0, 50, 0}, z, x);
    AddSquare(mesh, {0, -50, 0}, x, z);
    AddSquare(mesh, {0, 0, 50}, x, y);
    AddSquare(mesh, {0, 0, -50}, y, x);
    ASSERT_TRUE(mesh.Compress());
    mesh.AutoNormalsAfterCompression(true, false);

    // Every corner's normal points out along its diagonal, the first two
    // corners of each group included. (A corner is in one or two triangles
    // of each face, so the three faces do not weigh exactly the same.)
    const POLY_FRAME& frame = mesh.frames[0];
    int checked = 0;
    for (std::int32_t i = 0; i < frame.nodes.Count(); ++i) {
        if (IsGroupMarker(mesh.colours[frame.nodes[i].colour])) continue;
        const POLY_NODE node = mesh.UnpackNode(frame, i);
        const float* n = gAvertexnormals[frame.nodes[i].normal];
        float along = 0;
        for (int k = 0; k < 3; ++k) along += n[k] * (node.position[k] > 0 ? 1.0f : -1.0f) / std::sqrt(3.0f);
        EXPECT_GT(along, 0.85f) << i;
        ++checked;
    }
    EXPECT_EQ(checked, 24);
}

TEST(AutoNormals, DegenerateTrianglesAddNothingAndDivideByNothing)
{
    MeshObjectX mesh = NewMesh();
    AddSquare(mesh, {0, 0, 0}, {10, 0, 0}, {0, 10, 0});
    // A triangle whose corners coincide after packing, sharing a corner
    // with the square, and a group that is nothing but such a triangle.
    Queue<POLY_NODE>& raw = mesh.frames[0].raw;
    raw.Add(Marker(kGroupTriangles));
    raw.Add(Vertex({-10, -10, 0}));
    raw.Add(Vertex({-10, -10, 0}));
    raw.Add(Vertex({-10, -10, 0}));
    raw.Add(Marker(kGroupTriangles));
    raw.Add(Vertex({-10, -10, -10}));
    raw.Add(Vertex({-10, -10, -10}));
    raw.Add(Vertex({10, 10, 10}));
    ASSERT_TRUE(mesh.Compress());
    const std::vector<int> before = NormalIndices(mesh);
    mesh.AutoNormalsAfterCompression(true, true);

    const std::vector<int> got = NormalIndices(mesh);
    ASSERT_EQ(got.size(), 10u);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(got[static_cast<std::size_t>(i)], kPlusZ) << i;
    // The lone degenerate group has no face: its vertices keep what they had.
    for (std::size_t i = 7; i < 10; ++i) EXPECT_EQ(got[i], before[i]) << i;
    for (std::int32_t k = 0; k < mesh.vertices.Count(); ++k)
        for (int c = 0; c < 3; ++c) {
            EXPECT_TRUE(std::isfinite(mesh.vertices[k].normal[c]));
            EXPECT_TRUE(std::isfinite(mesh.vertices[k].tangent[c]));
        }
}

TEST(AutoNormals, TangentFollowsUAndBinormalTheDrawnV)
{
    // u grows with x and the stored v with y; the drawn v is -v, so the
    // binormal points down.
    MeshObjectX mesh = NewMesh();
    Queue<POLY_NODE>& raw = mesh.frames[0].raw;
    raw.Add(Marker(kGroupFan));
    raw.Add(Vertex({0, 0, 0}, 0, 0));
    raw.Add(Vertex({10, 0, 0}, 1, 0));
    raw.Add(Vertex({10, 10, 0}, 1, 1));
    raw.Add(Vertex({0, 10, 0}, 0, 1));
    ASSERT_TRUE(mesh.Compress());
    mesh.AutoNormalsAfterCompression(true, true);
    const POLY_FRAME& frame = mesh.frames[0];
    for (std::int32_t i = 1; i < frame.nodes.Count(); ++i) {
        EXPECT_EQ(frame.nodes[i].normal, kPlusZ) << i;
        EXPECT_EQ(frame.nodes[i].tangent, kPlusX) << i;
        EXPECT_EQ(frame.nodes[i].binormal, kMinusY) << i;
    }
}

TEST(AutoNormals, NormalsAreMadeOnceAndTangentsOnlyWhenAsked)
{
    MeshObjectX mesh = NewMesh();
    Queue<POLY_NODE>& raw = mesh.frames[0].raw;
    raw.Add(Marker(kGroupFan));
    raw.Add(Vertex({0, 0, 0}, 0, 0));
    raw.Add(Vertex({10, 0, 0}, 1, 0));
    raw.Add(Vertex({10, 10, 0}, 1, 1));
    ASSERT_TRUE(mesh.Compress());
    mesh.AutoNormalsAfterCompression(true, false);
    EXPECT_EQ(mesh.frames[0].nodes[1].normal, kPlusZ);
    EXPECT_EQ(mesh.frames[0].nodes[1].tangent, 0);

    // A second call does not touch the normals again (a loaded mesh, whose
    // normals came from its file, behaves the same)...
    mesh.frames[0].nodes[1].normal = kMinusX;
    mesh.AutoNormalsAfterCompression(true, false);
    EXPECT_EQ(mesh.frames[0].nodes[1].normal, kMinusX);
    // ...but the first call with tangents still makes the tangents.
    mesh.AutoNormalsAfterCompression(true, true);
    EXPECT_EQ(mesh.frames[0].nodes[1].normal, kMinusX);
    EXPECT_EQ(mesh.frames[0].nodes[1].tangent, kPlusX);
    EXPECT_EQ(mesh.frames[0].nodes[1].binormal, kMinusY);
}

TEST(AutoNormals, TangentsAreMadeOnceEvenWithoutTextureCoordinates)
{
    // A user object starts with a marker and here has no texture
    // coordinates: its vertices still get a frame around their normals,
    // and a second draw under the bump light does not make them again.
    MeshObjectX mesh = NewMesh();
    Queue<POLY_NODE>& raw = mesh.frames[0].raw;
    raw.Add(Marker(kGroupStrip));
    raw.Add(Vertex({0, 0, 0}));
    raw.Add(Vertex({10, 0, 0}));
    raw.Add(Vertex({0, 10, 0}));
    ASSERT_TRUE(mesh.Compress());
    mesh.AutoNormalsAfterCompression(true, true);
    const PACKED_NODE& node = mesh.frames[0].nodes[1];
    const float* n = gAvertexnormals[node.normal];
    const float* t = gAvertexnormals[node.tangent];
    const float* b = gAvertexnormals[node.binormal];
    EXPECT_NEAR(n[0] * t[0] + n[1] * t[1] + n[2] * t[2], 0, 0.2);
    EXPECT_NEAR(n[0] * b[0] + n[1] * b[1] + n[2] * b[2], 0, 0.2);
    EXPECT_NEAR(t[0] * b[0] + t[1] * b[1] + t[2] * b[2], 0, 0.2);

    mesh.frames[0].nodes[1].tangent = kMinusZ;
    mesh.AutoNormalsAfterCompression(true, true);
    EXPECT_EQ(mesh.frames[0].nodes[1].tangent, kMinusZ);
}

TEST(AutoNormals, AnEmptyMeshIsLeftAlone)
{
    MeshObjectX mesh;
    mesh.AutoNormalsAfterCompression(true, true);
    EXPECT_EQ(mesh.normalsDone, 0);
    mesh.frames.Add(POLY_FRAME{});
    mesh.AutoNormalsAfterCompression(true, true);
    EXPECT_EQ(mesh.normalsDone, 0);
}

}  // namespace
