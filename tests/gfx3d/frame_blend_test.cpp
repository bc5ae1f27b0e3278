// Choosing the two frames of an animated draw and blending them.
#include <gtest/gtest.h>

#include <limits>

#include "gfx3d/frame_blend.h"

namespace {

TEST(ChooseFrames, InterpolationWalksTheWholeRangeFromAToB)
{
    // Half way from 0 to 4 is frame 2 exactly: frames 2 and 3 with all the weight on 2.
    FramePair p = ChooseFrames(5, 0, 4, 0.5f, true);
    EXPECT_EQ(p.a, 2);
    EXPECT_EQ(p.b, 3);
    EXPECT_FLOAT_EQ(p.t, 1.0f);
    // A quarter of the way is 1.0: 1 with weight 1 against 2.
    p = ChooseFrames(5, 0, 4, 0.25f, true);
    EXPECT_EQ(p.a, 1);
    EXPECT_FLOAT_EQ(p.t, 1.0f);
    // 0.6 of the way from 0 to 4 is 2.4: frame 2 weighs 0.6, frame 3 0.4.
    p = ChooseFrames(5, 0, 4, 0.6f, true);
    EXPECT_EQ(p.a, 2);
    EXPECT_EQ(p.b, 3);
    EXPECT_NEAR(p.t, 0.6f, 1e-6);
}

TEST(ChooseFrames, BackwardsAnExactFrameMeansTheFrameAboveItAlone)
{
    // From 4 down to 0, a quarter of the way is 3: a = 4, b = 3, t = 0, and a
    // t of 0 draws frame a alone.
    FramePair p = ChooseFrames(5, 4, 0, 0.25f, true);
    EXPECT_EQ(p.a, 4);
    EXPECT_EQ(p.b, 3);
    EXPECT_EQ(p.t, 0.0f);
    // 3.5 between: frames 4 and 3 half and half.
    p = ChooseFrames(5, 4, 0, 0.125f, true);
    EXPECT_EQ(p.a, 4);
    EXPECT_EQ(p.b, 3);
    EXPECT_FLOAT_EQ(p.t, 0.5f);
}

TEST(ChooseFrames, FramesGivenOrDerivedStayInsideTheMesh)
{
    // Given frames are clamped first.
    FramePair p = ChooseFrames(5, -3, 9, 0.0f, false);
    EXPECT_EQ(p.a, 0);
    EXPECT_EQ(p.b, 4);
    // The end of a forward run derives b = 5: it is the last frame.
    p = ChooseFrames(5, 0, 4, 1.0f, true);
    EXPECT_EQ(p.a, 4);
    EXPECT_EQ(p.b, 4);
    EXPECT_FLOAT_EQ(p.t, 1.0f);
    // The start of a backward run derives a = 5.
    p = ChooseFrames(5, 4, 0, 0.0f, true);
    EXPECT_EQ(p.a, 4);
    EXPECT_EQ(p.b, 4);
    // Weights far outside 0..1, and no number at all, still give real frames.
    for (float t : {-1e30f, 1e30f, 7.0f, -2.0f, std::numeric_limits<float>::quiet_NaN()}) {
        p = ChooseFrames(5, 0, 4, t, true);
        EXPECT_GE(p.a, 0);
        EXPECT_LE(p.a, 4);
        EXPECT_GE(p.b, 0);
        EXPECT_LE(p.b, 4);
    }
    p = ChooseFrames(1, 0, 3, 0.7f, true);
    EXPECT_EQ(p.a, 0);
    EXPECT_EQ(p.b, 0);
}

// Two one-triangle frames, the second moved by 8 along x, red in both.
MeshObjectX TwoFrames()
{
    MeshObjectX mesh;
    for (float shift : {0.0f, 8.0f}) {
        POLY_FRAME frame;
        for (int k = 0; k < 3; ++k) {
            POLY_NODE node{};
            node.position[0] = shift + static_cast<float>(k);
            node.normal[2] = shift == 0 ? 1.0f : -1.0f;
            node.colour = 0x0000FF;
            node.tangent[0] = 1;
            node.binormal[1] = 1;
            frame.triangles.Add(node);
        }
        mesh.frames.Add(std::move(frame));
    }
    mesh.vertices = mesh.frames[0].triangles;
    return mesh;
}

TEST(BlendFrames, MovesPositionAndNormalAndKeepsTheColour)
{
    MeshObjectX mesh = TwoFrames();
    ASSERT_EQ(BlendFrames(mesh, FramePair{0, 1, 0.25f}, nullptr), 3);
    EXPECT_FLOAT_EQ(mesh.vertices[1].position[0], 0.25f * 1 + 0.75f * 9);
    EXPECT_FLOAT_EQ(mesh.vertices[1].normal[2], 0.25f - 0.75f);
    EXPECT_EQ(mesh.vertices[1].colour, 0x0000FFu);

    // t = 0: frame a as it is.
    BlendFrames(mesh, FramePair{1, 0, 0.0f}, nullptr);
    EXPECT_FLOAT_EQ(mesh.vertices[2].position[0], 10.0f);
    EXPECT_FLOAT_EQ(mesh.vertices[2].normal[2], -1.0f);
}

TEST(BlendFrames, TheBumpLightBecomesATangentSpaceColour)
{
    MeshObjectX mesh = TwoFrames();
    // Straight above the vertex along the normal: (0, 0, 1) -> (0.5, 0.5, 1).
    const float above[3] = {0, 0, 50};
    BlendFrames(mesh, FramePair{0, 0, 0.0f}, above);
    EXPECT_FLOAT_EQ(mesh.vertices[0].light[0], 0.5f);
    EXPECT_FLOAT_EQ(mesh.vertices[0].light[1], 0.5f);
    EXPECT_FLOAT_EQ(mesh.vertices[0].light[2], 1.0f);
    // Along the tangent: (1, 0, 0) -> (1, 0.5, 0.5).
    const float side[3] = {100, 0, 0};
    BlendFrames(mesh, FramePair{0, 0, 0.0f}, side);
    EXPECT_FLOAT_EQ(mesh.vertices[0].light[0], 1.0f);
    EXPECT_FLOAT_EQ(mesh.vertices[0].light[2], 0.5f);
    // A light exactly at the vertex has no direction: no NaN.
    const float at[3] = {0, 0, 0};
    BlendFrames(mesh, FramePair{0, 0, 0.0f}, at);
    EXPECT_FLOAT_EQ(mesh.vertices[0].light[0], 0.5f);
}

TEST(BlendFrames, NeverReadsPastTheShorterFrame)
{
    MeshObjectX mesh = TwoFrames();
    mesh.frames[1].triangles.Empty();
    EXPECT_EQ(BlendFrames(mesh, FramePair{0, 1, 0.5f}, nullptr), 0);
}

}  // namespace
