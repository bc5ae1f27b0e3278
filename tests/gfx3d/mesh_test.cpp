// Meshes without a display: the growable queue, the normal table, packing
// entered vertices, and unpacking groups into triangles.
#include <gtest/gtest.h>

#include <cmath>

#include "commands.h"
#include "gfx3d/mesh_object.h"
#include "gfx3d/rainbows3d.h"
#include "gfx3d/vertex_normals.h"

namespace {

POLY_NODE Vertex(float x, float y, float z, std::uint32_t colour = kWhite, float u = 0, float v = 0)
{
    POLY_NODE node{};
    node.position[0] = x;
    node.position[1] = y;
    node.position[2] = z;
    node.uv[0] = u;
    node.uv[1] = v;
    node.colour = colour;
    return node;
}

POLY_NODE Marker(std::uint32_t marker)
{
    POLY_NODE node{};
    node.colour = marker;
    return node;
}

// A one-frame mesh from entered vertices, packed.
MeshObjectX Packed(std::initializer_list<POLY_NODE> raw)
{
    MeshObjectX mesh;
    mesh.frames.Add(POLY_FRAME{});
    for (const POLY_NODE& node : raw) mesh.frames[0].raw.Add(node);
    EXPECT_TRUE(mesh.Compress());
    return mesh;
}

TEST(Queue, GrowsTo512ThenBy128AndKeepsItsElements)
{
    Queue<int> queue;
    EXPECT_EQ(queue.Capacity(), 0);
    queue.Add(7);
    EXPECT_EQ(queue.Capacity(), 512);
    for (int i = 1; i < 513; ++i) queue.Add(i * 3);
    EXPECT_EQ(queue.Count(), 513);
    EXPECT_EQ(queue.Capacity(), 640);
    EXPECT_EQ(queue[0], 7);
    EXPECT_EQ(queue[512], 512 * 3);

    Queue<int> copy = queue;
    queue.Empty();
    EXPECT_EQ(queue.Count(), 0);
    EXPECT_EQ(queue.Capacity(), 640);  // kept for the next fill
    EXPECT_EQ(copy.Count(), 513);
    EXPECT_EQ(copy[100], 300);
    copy.Clear();
    EXPECT_EQ(copy.Count(), 0);
    EXPECT_EQ(copy.Capacity(), 0);
    EXPECT_EQ(copy.Data(), nullptr);
}

TEST(Queue, FramesGrowWithTheirOwnQueuesIntact)
{
    Queue<POLY_FRAME> frames;
    for (int f = 0; f < 600; ++f) {
        POLY_FRAME frame;
        frame.nodes.Add(PACKED_NODE{static_cast<std::uint8_t>(f), 0, 0, 0, 0, 0, 0});
        frame.maxRadius = static_cast<float>(f);
        frames.Add(frame);
    }
    ASSERT_EQ(frames.Count(), 600);
    EXPECT_EQ(frames[599].nodes[0].x, 599 % 256);
    EXPECT_EQ(frames[3].nodes[0].x, 3);
    EXPECT_EQ(frames[3].maxRadius, 3.0f);
}

TEST(VertexNormals, TableHoldsUnitVectorsInPublishedOrder)
{
    for (const auto& n : gAvertexnormals)
        EXPECT_NEAR(std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]), 1.0, 1e-5);
    EXPECT_FLOAT_EQ(gAvertexnormals[0][0], -0.525731f);
    EXPECT_FLOAT_EQ(gAvertexnormals[5][2], 1.0f);
    EXPECT_FLOAT_EQ(gAvertexnormals[161][0], -0.688191f);
    EXPECT_FLOAT_EQ(gAvertexnormals[161][1], -0.587785f);
    EXPECT_FLOAT_EQ(gAvertexnormals[161][2], -0.425325f);
}

TEST(VertexNormals, NearestEntryIsFoundForAnyLength)
{
    const float up[3] = {0, 0, 7};  // normalised first
    EXPECT_EQ(NearestVertexNormal(up), 5);
    for (int i = 0; i < kVertexNormalCount; i += 17) {
        const float scaled[3] = {gAvertexnormals[i][0] * 3, gAvertexnormals[i][1] * 3, gAvertexnormals[i][2] * 3};
        EXPECT_EQ(NearestVertexNormal(scaled), i);
    }
    const float slightlyOff[3] = {0.01f, 0.02f, 1};
    EXPECT_EQ(NearestVertexNormal(slightlyOff), 5);
}

TEST(Compress, AnAxisFrom0To1PacksItsEndTo254)
{
    MeshObjectX mesh = Packed({Marker(kGroupTriangles), Vertex(0, 0, 0), Vertex(1, 0, 0), Vertex(0.5f, 0, 0)});
    const POLY_FRAME& frame = mesh.frames[0];
    EXPECT_EQ(frame.scale[0], static_cast<float>(1.0 / 255.0));
    EXPECT_EQ(frame.offset[0], 0.0f);
    ASSERT_EQ(frame.nodes.Count(), 4);
    EXPECT_EQ(frame.nodes[1].x, 0);
    EXPECT_EQ(frame.nodes[2].x, 254);  // 254.99998 truncated
    EXPECT_EQ(frame.nodes[3].x, 127);
    EXPECT_EQ(frame.raw.Count(), 0);
    EXPECT_EQ(mesh.normalsDone, 0);
}

TEST(Compress, QuotientsOf255AndMoreBecome255)
{
    // A box of 0..255 has step 1: a vertex at 255 is exactly 255.
    MeshObjectX mesh = Packed({Vertex(0, 0, 0), Vertex(255, 0, 0)});
    EXPECT_EQ(mesh.frames[0].scale[0], 1.0f);
    EXPECT_EQ(mesh.frames[0].nodes[1].x, 255);
}

TEST(Compress, EqualCoordinatesGetStep1AndOffsetMinusTheValue)
{
    MeshObjectX mesh = Packed({Vertex(-3.25f, 1, 10), Vertex(-3.25f, 2, 20), Vertex(-3.25f, 3, 30)});
    const POLY_FRAME& frame = mesh.frames[0];
    EXPECT_EQ(frame.scale[0], 1.0f);
    EXPECT_EQ(frame.offset[0], 3.25f);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(frame.nodes[i].x, 0);
        EXPECT_EQ(mesh.UnpackNode(frame, i).position[0], -3.25f);
    }
    // The other axes unpack to within one step of what was entered.
    EXPECT_NEAR(mesh.UnpackNode(frame, 2).position[2], 30, frame.scale[2]);
    EXPECT_NEAR(mesh.UnpackNode(frame, 1).position[1], 2, frame.scale[1]);
}

TEST(Compress, ColoursAndMarkersShareTableEntries)
{
    MeshObjectX mesh = Packed({Marker(kGroupStrip), Vertex(0, 0, 0, 0x0000FF), Vertex(1, 0, 0, 0x00FF00),
                               Vertex(2, 0, 0, 0x0000FF), Marker(kGroupStrip), Vertex(3, 0, 0, 0x00FF00),
                               Marker(kGroupFan), Vertex(4, 0, 0, 0x0000FF)});
    ASSERT_EQ(mesh.colours.Count(), 4);
    EXPECT_EQ(mesh.colours[0], kGroupStrip);
    EXPECT_EQ(mesh.colours[1], 0x0000FFu);
    EXPECT_EQ(mesh.colours[2], 0x00FF00u);
    EXPECT_EQ(mesh.colours[3], kGroupFan);
    const int expected[8] = {0, 1, 2, 1, 0, 2, 3, 1};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(mesh.frames[0].nodes[i].colour, expected[i]) << i;
    EXPECT_EQ(mesh.texU.Count(), 8);  // markers take a texture-coordinate pair too
}

TEST(Compress, Refuses257thColour)
{
    MeshObjectX mesh;
    mesh.frames.Add(POLY_FRAME{});
    for (int i = 0; i < 256; ++i) mesh.frames[0].raw.Add(Vertex(static_cast<float>(i), 0, 0, static_cast<std::uint32_t>(i)));
    EXPECT_TRUE(mesh.Compress());
    EXPECT_EQ(mesh.colours.Count(), 256);
    mesh.frames[0].raw.Add(Vertex(0, 0, 0, 300));
    EXPECT_FALSE(mesh.Compress());
    EXPECT_EQ(mesh.colours.Count(), 256);
}

TEST(UserObjects, TooManyColoursLeaveTheSlotEmpty)
{
    X_OBJSTART(12);
    for (int i = 0; i < 300; ++i) X_OBJADDVERTEX(i, 0, 0, 0, 0, i);
    X_OBJEND();
    EXPECT_EQ(rbow3D.objects[12].frames.Count(), 0);
    EXPECT_EQ(gCurObject, -1);
}

TEST(UserObjects, VerticesWithoutAStartedObjectChangeNothing)
{
    X_OBJADDVERTEX(1, 2, 3, 0, 0, 255);
    X_OBJNEWGROUP();
    X_OBJEND();
    for (int i = 0; i < kMeshSlots; ++i) ASSERT_EQ(rbow3D.objects[i].frames.Count(), 0) << i;
    EXPECT_EQ(gCurObject, -1);

    X_OBJSTART(4095);  // past the last slot: nothing starts
    EXPECT_EQ(gCurObject, -1);
    X_OBJSTART(-1);
    EXPECT_EQ(gCurObject, -1);
}

TEST(UserObjects, VerticesGoToTheCurrentObjectUntilItEnds)
{
    X_OBJSTART(3);
    EXPECT_EQ(gCurObject, 3);
    X_OBJADDVERTEX(1, 2, 3, 0.5, 0.25, 255);
    X_OBJNEWGROUP();
    ASSERT_EQ(rbow3D.objects[3].frames.Count(), 1);
    const Queue<POLY_NODE>& raw = rbow3D.objects[3].frames[0].raw;
    ASSERT_EQ(raw.Count(), 3);
    EXPECT_EQ(raw[0].colour, kGroupStrip);
    EXPECT_EQ(raw[1].position[1], 2.0f);
    EXPECT_EQ(raw[1].uv[0], 0.5f);
    EXPECT_EQ(raw[1].colour, 255u);
    EXPECT_EQ(raw[2].colour, kGroupStrip);

    // A second start abandons the first object with its vertices unpacked.
    X_OBJSTART(4);
    EXPECT_EQ(rbow3D.objects[3].frames[0].raw.Count(), 3);
    EXPECT_EQ(rbow3D.objects[3].frames[0].nodes.Count(), 0);
    rbow3D.UserObjectNewGroup(0);
    rbow3D.UserObjectNewGroup(2);
    rbow3D.UserObjectNewGroup(9);
    const Queue<POLY_NODE>& four = rbow3D.objects[4].frames[0].raw;
    ASSERT_EQ(four.Count(), 4);
    EXPECT_EQ(four[1].colour, kGroupTriangles);
    EXPECT_EQ(four[2].colour, kGroupFan);
    EXPECT_EQ(four[3].colour, kGroupStrip);
}

// Positions of a frame's triangle list, as x coordinates.
std::vector<float> TriangleXs(const MeshObjectX& mesh)
{
    std::vector<float> xs;
    for (int i = 0; i < mesh.frames[0].triangles.Count(); ++i) xs.push_back(mesh.frames[0].triangles[i].position[0]);
    return xs;
}

TEST(PrepareTriangles, StripsAlternateAndFansKeepTheirCentre)
{
    MeshObjectX strip = Packed({Marker(kGroupStrip), Vertex(0, 0, 0), Vertex(1, 0, 0), Vertex(2, 0, 0),
                                Vertex(3, 0, 0), Vertex(4, 0, 0)});
    strip.PrepareTriangles();
    // The box 0..4 has step 4/255: every vertex unpacks to within a step.
    std::vector<float> xs = TriangleXs(strip);
    const float expectedStrip[9] = {0, 1, 2, 2, 1, 3, 2, 3, 4};
    ASSERT_EQ(xs.size(), 9u);
    for (int i = 0; i < 9; ++i) EXPECT_NEAR(xs[i], expectedStrip[i], 0.02) << i;

    MeshObjectX fan = Packed({Marker(kGroupFan), Vertex(0, 0, 0), Vertex(1, 0, 0), Vertex(2, 0, 0),
                              Vertex(3, 0, 0), Vertex(4, 0, 0)});
    fan.PrepareTriangles();
    xs = TriangleXs(fan);
    const float expectedFan[9] = {0, 1, 2, 0, 2, 3, 0, 3, 4};
    ASSERT_EQ(xs.size(), 9u);
    for (int i = 0; i < 9; ++i) EXPECT_NEAR(xs[i], expectedFan[i], 0.02) << i;
    EXPECT_EQ(fan.vertices.Count(), 9);
}

TEST(PrepareTriangles, SeparateTrianglesDropAnIncompleteRestAndAMarkerRestartsTheGroup)
{
    MeshObjectX mesh = Packed({Marker(kGroupTriangles), Vertex(0, 0, 0, 0x0000FF, 0.5f, 0.25f), Vertex(1, 0, 0),
                               Vertex(2, 0, 0), Vertex(3, 0, 0), Vertex(4, 0, 0), Marker(kGroupTriangles),
                               Vertex(5, 0, 0), Vertex(6, 0, 0), Vertex(7, 0, 0)});
    mesh.PrepareTriangles();
    std::vector<float> xs = TriangleXs(mesh);
    const float expected[6] = {0, 1, 2, 5, 6, 7};
    ASSERT_EQ(xs.size(), 6u);
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(xs[i], expected[i], 0.03) << i;
    const POLY_NODE& first = mesh.frames[0].triangles[0];
    EXPECT_EQ(first.colour, 0x0000FFu);
    EXPECT_EQ(first.uv[0], 0.5f);
    EXPECT_EQ(first.uv[1], -0.25f);  // v is drawn negated
    EXPECT_EQ(mesh.hasColours, 1);
}

TEST(PrepareTriangles, WhiteAndMarkersAloneMeanNoColours)
{
    MeshObjectX mesh = Packed({Marker(kGroupStrip), Vertex(0, 0, 0), Vertex(1, 0, 0), Vertex(1, 1, 0)});
    mesh.PrepareTriangles();
    EXPECT_EQ(mesh.hasColours, 0);
}

TEST(CalcMaxRadius, IsTheFarthestNodeIncludingMarkers)
{
    MeshObjectX mesh = Packed({Marker(kGroupTriangles), Vertex(3, 4, 0), Vertex(-1, 0, 0), Vertex(0, 0, 2)});
    mesh.CalcMaxRadius();
    EXPECT_NEAR(mesh.frames[0].maxRadius, 5.0f, 0.05f);
    MeshObjectX empty;
    empty.frames.Add(POLY_FRAME{});
    empty.frames[0].maxRadius = 9;
    empty.CalcMaxRadius();
    EXPECT_EQ(empty.frames[0].maxRadius, 0.0f);
}

}  // namespace
