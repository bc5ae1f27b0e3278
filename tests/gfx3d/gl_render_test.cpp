// Meshes drawn in a real OpenGL context: the cube, culling, colours,
// loading and saving, the axis cross and the light marker.
#include <cmath>
#include <cstring>
#include <fstream>

#include "gfx3d/object_file.h"
#include "gfx3d/rainbows3d.h"
#include "gl/gl_calls.h"
#include "gl_fixture.h"

namespace {

using RenderTest = Gl3DTest;

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhitePixel{255, 255, 255};

// Camera on the z axis 200 units out, 90 degrees vertical field of view:
// at distance d, one unit is 240/d pixels.
void StandardView()
{
    X_MAKE3D(1, 1000, 90);
    X_CAMERA(0, 0, 200, 0, 0, 0);
}

// A square of side 2*h in the plane z = 0, counter-clockwise seen from +z.
void SquareObject(int num, float h, double colour)
{
    X_OBJSTART(num);
    rbow3D.UserObjectNewGroup(2);
    X_OBJADDVERTEX(-h, -h, 0, 0, 0, colour);
    X_OBJADDVERTEX(h, -h, 0, 0, 0, colour);
    X_OBJADDVERTEX(h, h, 0, 0, 0, colour);
    X_OBJADDVERTEX(-h, h, 0, 0, 0, colour);
    X_OBJEND();
}

TEST_F(RenderTest, ACubeInFrontOfTheCameraColoursItsSquare)
{
    StandardView();
    rbow3D.Cube(0, 100);
    ASSERT_NE(rbow3D.objects[0].displayList, 0u);
    X_DRAWOBJ(0, 0);
    // The front face is 150 units away: its half side of 50 is 80 pixels.
    EXPECT_EQ(At(320, 240), kWhitePixel);
    EXPECT_EQ(At(320 - 78, 240 - 78), kWhitePixel);
    EXPECT_EQ(At(320 + 78, 240 + 78), kWhitePixel);
    EXPECT_EQ(At(320 - 83, 240), kBlack);
    EXPECT_EQ(At(320, 240 + 83), kBlack);
    EXPECT_NEAR(Count(kWhitePixel), 160 * 160, 4 * 160);
}

TEST_F(RenderTest, BeforeAnyCameraOrScalingAMeshCollapsesToAPoint)
{
    X_MAKE3D(1, 1000, 90);
    rbow3D.Cube(0, 100);
    gl::Translatef(0, 0, -200);
    X_DRAWOBJ(0, 0);
    EXPECT_LT(Count(kWhitePixel), 5);
}

TEST_F(RenderTest, CullingModesShowTheOutsideOrTheInsideOfTheCube)
{
    // The cube's outside faces wind clockwise: mode 1 keeps them, mode -1
    // keeps the inside, whose nearest visible wall is the far face.
    float depth[3];
    const double modes[3] = {1, -1, 0};
    for (int i = 0; i < 3; ++i) {
        StandardView();
        rbow3D.Cube(0, 100);
        X_CULLMODE(modes[i]);
        X_DRAWOBJ(0, 0);
        depth[i] = DepthAt(320, 240);
        EXPECT_EQ(At(320, 240), kWhitePixel) << modes[i];
        gl::Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    // Window depth of a point d units in front of the eye with near 1, far 1000.
    auto windowDepth = [](double d) { return 0.5 * ((1000.0 + 1) / 999 - 2.0 * 1000 / (999 * d)) + 0.5; };
    EXPECT_NEAR(depth[0], windowDepth(150), 1e-4);
    EXPECT_NEAR(depth[1], windowDepth(250), 1e-4);
    EXPECT_NEAR(depth[2], windowDepth(150), 1e-4);  // no culling: the nearest face
}

TEST_F(RenderTest, CullingHidesTheFacesThatTurnAway)
{
    StandardView();
    SquareObject(5, 50, 0x0000FF);  // red, facing the camera counter-clockwise
    const Rgb red{255, 0, 0};
    X_CULLMODE(-1);
    X_DRAWOBJ(5, 0);
    EXPECT_EQ(At(320, 240), red);
    gl::Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    X_CULLMODE(1);
    X_DRAWOBJ(5, 0);
    EXPECT_EQ(At(320, 240), kBlack);
    EXPECT_EQ(Count(red), 0);
    X_CULLMODE(0);
    X_DRAWOBJ(5, 0);
    EXPECT_EQ(At(320, 240), red);
    // A square of side 100 at distance 200 is 120 pixels wide.
    EXPECT_NEAR(Count(red), 120 * 120, 4 * 120);
}

TEST_F(RenderTest, VertexColoursAndTheObjectTransformShowInThePicture)
{
    StandardView();
    SquareObject(6, 20, 0x00FF00);
    X_MOVEMENT(100, 0, 0);  // 100 units right: 120 pixels at distance 200
    X_DRAWOBJ(6, 0);
    const Rgb green{0, 255, 0};
    EXPECT_EQ(At(440, 240), green);
    EXPECT_EQ(At(320, 240), kBlack);
    EXPECT_NEAR(Count(green), 48 * 48, 4 * 48);
    // Drawing does not reset the transform; X_SCALING keeps the movement.
    X_SCALING(2, 2, 2);
    gl::Clear(GL_COLOR_BUFFER_BIT);
    X_DRAWOBJ(6, 0);
    EXPECT_NEAR(Count(green), 96 * 96, 4 * 96);
    EXPECT_EQ(At(440, 240), green);
}

TEST_F(RenderTest, FramesPastTheLastDrawNothingAndMinus1DrawsFrame0)
{
    StandardView();
    rbow3D.Cube(0, 100);
    X_DRAWOBJ(0, 1);
    EXPECT_EQ(Count(kWhitePixel), 0);
    X_DRAWOBJ(0, -1);
    EXPECT_EQ(At(320, 240), kWhitePixel);
    X_DRAWOBJ(4095, 0);  // no such slot: nothing
    X_DRAWOBJ(1, 0);     // an empty slot: nothing
}

TEST_F(RenderTest, TheCubeSavesTo281BytesStripMarkerFirstWhiteSecond)
{
    rbow3D.Cube(0, 100);
    const std::string path = folder.File("cube.obj");
    X_SAVEOBJ(path.c_str(), 0);
    const std::string bytes = testing_support::ReadWholeFile(path);
    ASSERT_EQ(bytes.size(), 281u);
    auto u32 = [&](std::size_t at) {
        std::uint32_t v = 0;
        for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
        return v;
    };
    const unsigned char head[12] = {0x17, 0xB3, 0xC6, 0x00, 0x52, 0xB8, 0x1E, 0x85, 0xEB, 0x51, 0xF0, 0x3F};
    EXPECT_EQ(std::memcmp(bytes.data(), head, 12), 0);
    EXPECT_EQ(u32(12), 1u);   // frames
    EXPECT_EQ(u32(16), 2u);   // colours
    EXPECT_EQ(u32(20), 17u);  // texture-coordinate pairs
    EXPECT_EQ(u32(24), 0xFFFFFFFEu);
    EXPECT_EQ(u32(28), 0x00FFFFFFu);
    const std::size_t frame = 32 + 17 * 8;
    EXPECT_EQ(u32(frame), 17u);
    // Step 100/255 on every axis, offset 50/step = 127.5.
    float offset, scale;
    std::memcpy(&offset, bytes.data() + frame + 4, 4);
    std::memcpy(&scale, bytes.data() + frame + 16, 4);
    EXPECT_FLOAT_EQ(scale, 100.0f / 255);
    EXPECT_FLOAT_EQ(offset, 127.5f);
    const std::size_t nodes = frame + 28;
    EXPECT_EQ(static_cast<unsigned char>(bytes[nodes + 4]), 0);  // the marker's colour index
    for (int i = 1; i < 17; ++i) EXPECT_EQ(static_cast<unsigned char>(bytes[nodes + 5 * i + 4]), 1) << i;
    // Corner 5 = (h, -h, h): the top and the bottom of the box.
    EXPECT_EQ(static_cast<unsigned char>(bytes[nodes + 5]), 255);
    EXPECT_EQ(static_cast<unsigned char>(bytes[nodes + 6]), 0);
    EXPECT_EQ(static_cast<unsigned char>(bytes[nodes + 7]), 255);
}

TEST_F(RenderTest, ALoadedMeshIsDrawnAndSavesBackByteForByte)
{
    rbow3D.Cube(0, 100);
    const std::string first = folder.File("first.obj");
    const std::string second = folder.File("second.obj");
    X_SAVEOBJ(first.c_str(), 0);
    X_LOADOBJ(first.c_str(), 7);
    MeshObjectX& mesh = rbow3D.objects[7];
    ASSERT_EQ(mesh.frames.Count(), 1);
    EXPECT_EQ(mesh.normalsDone, 1);
    EXPECT_NE(mesh.displayList, 0u);
    EXPECT_EQ(mesh.vertices.Count(), 14 * 3);  // 16 strip vertices: 14 triangles
    EXPECT_GT(mesh.frames[0].maxRadius, 86.0f);  // the corner distance 50*sqrt(3)
    EXPECT_LT(mesh.frames[0].maxRadius, 87.5f);
    X_SAVEOBJ(second.c_str(), 7);
    EXPECT_EQ(testing_support::ReadWholeFile(first), testing_support::ReadWholeFile(second));

    StandardView();
    X_DRAWOBJ(7, 0);
    EXPECT_EQ(At(320, 240), kWhitePixel);
    EXPECT_NEAR(Count(kWhitePixel), 160 * 160, 4 * 160);
}

TEST_F(RenderTest, LoadingOverTheObjectUnderConstructionEndsIt)
{
    rbow3D.Cube(0, 100);
    const std::string path = folder.File("cube.obj");
    X_SAVEOBJ(path.c_str(), 0);
    X_OBJSTART(2);
    X_OBJADDVERTEX(1, 2, 3, 0, 0, 255);
    X_LOADOBJ(path.c_str(), 2);
    EXPECT_EQ(gCurObject, -1);
    X_OBJADDVERTEX(4, 5, 6, 0, 0, 255);
    X_OBJEND();
    ASSERT_EQ(rbow3D.objects[2].frames.Count(), 1);
    EXPECT_EQ(rbow3D.objects[2].frames[0].nodes.Count(), 17);
    EXPECT_EQ(rbow3D.objects[2].frames[0].raw.Count(), 0);
    EXPECT_EQ(rbow3D.objects[2].colours.Count(), 2);
}

TEST_F(RenderTest, Version103IsRefusedAndLeavesTheSlotEmpty)
{
    rbow3D.Cube(8, 10);
    const std::string path = folder.File("newer.obj");
    X_SAVEOBJ(path.c_str(), 8);
    std::string bytes = testing_support::ReadWholeFile(path);
    const double newer = 1.03;
    std::memcpy(bytes.data() + 4, &newer, 8);
    std::ofstream(path, std::ios::binary) << bytes;
    EXPECT_FALSE(rbow3D.LoadObject(path.c_str(), 8));
    EXPECT_EQ(rbow3D.objects[8].frames.Count(), 0);
    EXPECT_EQ(rbow3D.objects[8].displayList, 0u);
    X_LOADOBJ(path.c_str(), 8);
    EXPECT_EQ(rbow3D.objects[8].frames.Count(), 0);
    StandardView();
    X_DRAWOBJ(8, 0);
    EXPECT_EQ(Count(kWhitePixel), 0);
}

TEST_F(RenderTest, AMissingFileLeavesTheSlotAsItWas)
{
    rbow3D.Cube(9, 10);
    X_LOADOBJ(folder.File("missing.obj").c_str(), 9);
    EXPECT_EQ(rbow3D.objects[9].frames.Count(), 1);
    X_LOADOBJ(folder.File("missing.obj").c_str(), -4);
    EXPECT_FALSE(rbow3D.LoadObject(folder.File("missing.obj").c_str(), 9));
    EXPECT_EQ(rbow3D.objects[9].frames.Count(), 0);
}

TEST_F(RenderTest, AnObjectWithoutFramesLoadsAsFailureButKeepsItsData)
{
    const std::string path = folder.File("empty.obj");
    {
        MeshObject empty;
        empty.colours.Add(0x123456);
        ASSERT_TRUE(empty.Save(path.c_str()));
    }
    EXPECT_FALSE(rbow3D.LoadObject(path.c_str(), 10));
    EXPECT_EQ(rbow3D.objects[10].colours.Count(), 1);
    EXPECT_EQ(rbow3D.objects[10].displayList, 0u);
}

TEST_F(RenderTest, AxesAreDrawnInWorldSpaceWhateverTheTransform)
{
    StandardView();
    X_MOVEMENT(300, 300, 0);
    X_ROTATION(90, 0, 0, 1);
    X_DRAWAXES(0, 0, 0);
    // 100 units at distance 200 are 120 pixels: x right, y up, z towards us.
    auto near = [&](int x, int y, Rgb colour) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (At(x + dx, y + dy) == colour) return true;
        return false;
    };
    EXPECT_TRUE(near(380, 240, Rgb{255, 0, 0}));
    EXPECT_TRUE(near(320, 180, Rgb{0, 255, 0}));
    EXPECT_FALSE(near(380, 240, Rgb{0, 255, 0}));
    EXPECT_FALSE(near(260, 240, Rgb{255, 0, 0}));
    EXPECT_EQ(ModelView()[14], -200.0f);  // the camera matrix is back
}

TEST_F(RenderTest, TheLightMarkerShowsWhenDebugging)
{
    StandardView();
    KV_DEBUG = 1;
    X_SPOT_LT(2, 0xFFFFFF, 0, 0, 0, 1, 0, 0, 30);
    // A dot 40 pixels across at the light, the beam drawn over its middle.
    EXPECT_EQ(At(320, 228), (Rgb{255, 255, 76}));
    EXPECT_EQ(At(310, 250), (Rgb{255, 255, 76}));
    EXPECT_EQ(At(320, 265), kBlack);
    EXPECT_TRUE(gl::IsEnabled(GL_LIGHTING));  // the marker's own state is undone
    GLfloat size = 0;
    gl::GetFloatv(GL_POINT_SIZE, &size);
    EXPECT_EQ(size, 1.0f);
    // The beam runs from 500 units along +x back to the light.
    EXPECT_EQ(At(400, 240), (Rgb{255, 178, 76}));
    EXPECT_EQ(At(300, 240), (Rgb{255, 255, 76}));  // nothing of the beam behind the light

    gl::Clear(GL_COLOR_BUFFER_BIT);
    KV_DEBUG = 0;
    X_SPOT_LT(2, 0xFFFFFF, 0, 0, 0, 1, 0, 0, 30);
    EXPECT_EQ(At(320, 228), kBlack);
    EXPECT_EQ(At(400, 240), kBlack);
}

}  // namespace
