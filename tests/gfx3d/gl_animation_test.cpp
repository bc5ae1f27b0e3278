// Meshes drawn in a real OpenGL context: frame animation and blending, the
// stream buffer, generated normals under a light, and the bump light.
#include <cstring>
#include <fstream>
#include <vector>

#include "gfx3d/mesh_object.h"
#include "gfx3d/object_file.h"
#include "gfx3d/rainbows3d.h"
#include "gl/gl_calls.h"
#include "gl_fixture.h"

namespace {

using AnimationTest = Gl3DTest;

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kWhitePixel{255, 255, 255};
constexpr int kMesh = 3;

// Camera on the z axis 200 units out, 90 degrees vertical field of view:
// in the plane z = 0 one unit is 1.2 pixels.
void StandardView()
{
    X_MAKE3D(1, 1000, 90);
    X_CAMERA(0, 0, 200, 0, 0, 0);
}

// An object file of `frames` frames of one square of side 20 in the plane
// z = 0, frame k centred at x = 20k - 40. Positions are whole units (step 1,
// offset 128), so blends of whole-weight frames are exact.
std::string AnimatedSquareFile(const testing_support::ScratchFolder& folder, int frames, std::uint32_t colour)
{
    MeshObject mesh;
    mesh.colours.Add(kGroupFan);
    mesh.colours.Add(colour);
    const int corners[4][2] = {{-10, -10}, {10, -10}, {10, 10}, {-10, 10}};
    for (int i = 0; i < 5; ++i) {
        mesh.texU.Add(i == 0 ? 0.0f : static_cast<float>(corners[i - 1][0] > 0));
        mesh.texV.Add(i == 0 ? 0.0f : static_cast<float>(corners[i - 1][1] > 0));
    }
    for (int k = 0; k < frames; ++k) {
        POLY_FRAME frame;
        for (int axis = 0; axis < 3; ++axis) {
            frame.offset[axis] = 128;
            frame.scale[axis] = 1;
        }
        frame.nodes.Add(PACKED_NODE{0, 0, 0, 5, 0, 0, 0});
        for (const auto& corner : corners)
            frame.nodes.Add(PACKED_NODE{static_cast<std::uint8_t>(128 + 20 * k - 40 + corner[0]),
                                        static_cast<std::uint8_t>(128 + corner[1]), 128, 5, 0, 0, 1});
        mesh.frames.Add(std::move(frame));
    }
    const std::vector<std::uint8_t> image = EncodeObjectFile(mesh);
    const std::string path = folder.File("anim.obj");
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(image.data()),
                                                static_cast<std::streamsize>(image.size()));
    return path;
}

std::vector<Rgb> Picture()
{
    std::vector<Rgb> all(KV_RESX * KV_RESY);
    gl::PixelStorei(GL_PACK_ALIGNMENT, 1);
    gl::ReadPixels(0, 0, KV_RESX, KV_RESY, GL_RGB, GL_UNSIGNED_BYTE, all.data());
    gl::Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    return all;
}

std::vector<Rgb> PictureOfFrame(int frame)
{
    X_DRAWOBJ(kMesh, frame);
    return Picture();
}

TEST_F(AnimationTest, InterpolatedRunsLandOnWholeFramesExactly)
{
    StandardView();
    X_LOADOBJ(AnimatedSquareFile(folder, 5, 0x0000FF).c_str(), kMesh);
    ASSERT_EQ(rbow3D.objects[kMesh].frames.Count(), 5);
    std::vector<std::vector<Rgb>> frames;
    for (int k = 0; k < 5; ++k) frames.push_back(PictureOfFrame(k));
    EXPECT_NE(frames[2], frames[3]);

    // Half way from 0 to 4 is frame 2.
    X_DRAWANIM(kMesh, 0, 4, 0.5, 1);
    EXPECT_TRUE(Picture() == frames[2]);
    // Any interpolate other than 0 interpolates, fractions included.
    X_DRAWANIM(kMesh, 0, 4, 0.5, 0.5);
    EXPECT_TRUE(Picture() == frames[2]);
    X_DRAWANIM(kMesh, 0, 4, 0.5, -0.25);
    EXPECT_TRUE(Picture() == frames[2]);
    // A quarter of the way back from 4 to 0: a = 4 alone.
    X_DRAWANIM(kMesh, 4, 0, 0.25, 1);
    EXPECT_TRUE(Picture() == frames[4]);
    // The end of the forward run is the last frame, not one past it.
    X_DRAWANIM(kMesh, 0, 4, 1.0, 1);
    EXPECT_TRUE(Picture() == frames[4]);
    // Given frames are clamped.
    X_DRAWANIM(kMesh, 9, 0, 0, 0);
    EXPECT_TRUE(Picture() == frames[4]);
    X_DRAWANIM(kMesh, -2, 4, 0, 0);
    EXPECT_TRUE(Picture() == frames[0]);
}

TEST_F(AnimationTest, ABlendLiesBetweenItsFramesAndKeepsItsColours)
{
    StandardView();
    X_LOADOBJ(AnimatedSquareFile(folder, 5, 0x0000FF).c_str(), kMesh);
    // 0.25 of frame 1 (x = -20) and 0.75 of frame 2 (x = 0): centred at -5,
    // from -15 to 5 units, pixels 302 to 326.
    X_DRAWANIM(kMesh, 1, 2, 0.25, 0);
    EXPECT_EQ(At(303, 240), kRed);
    EXPECT_EQ(At(325, 240), kRed);
    EXPECT_EQ(At(299, 240), kBlack);
    EXPECT_EQ(At(329, 240), kBlack);
    EXPECT_NEAR(Count(kRed), 24 * 24, 2 * 24);
}

TEST_F(AnimationTest, FrameZeroComesFromTheListAndLeavesTheLastBlendAlone)
{
    StandardView();
    X_LOADOBJ(AnimatedSquareFile(folder, 5, 0x0000FF).c_str(), kMesh);
    MeshObjectX& mesh = rbow3D.objects[kMesh];
    X_DRAWANIM(kMesh, 1, 2, 0.25, 0);
    Picture();
    ASSERT_GT(mesh.vertices.Count(), 0);
    const float blendedX = mesh.vertices[0].position[0];
    EXPECT_FLOAT_EQ(blendedX, 0.25f * -30 + 0.75f * -10);

    X_DRAWOBJ(kMesh, 0);
    EXPECT_EQ(At(320 - 48, 240), kRed);  // frame 0 at x = -40
    EXPECT_EQ(mesh.vertices[0].position[0], blendedX);
}

TEST_F(AnimationTest, ArraysDrawThroughTheStreamBufferAndLeaveItUnbound)
{
    ASSERT_TRUE(gl::HasBufferObjects()) << "the test display's OpenGL has buffer objects";
    StandardView();
    X_LOADOBJ(AnimatedSquareFile(folder, 5, 0x0000FF).c_str(), kMesh);
    MeshObjectX& mesh = rbow3D.objects[kMesh];
    EXPECT_EQ(mesh.streamBuffer, 0u);
    X_DRAWOBJ(kMesh, 3);  // x = 20: created and filled
    EXPECT_NE(mesh.streamBuffer, 0u);
    EXPECT_EQ(At(320 + 24, 240), kRed);
    Picture();
    X_DRAWOBJ(kMesh, 1);  // x = -20: refilled through the mapping
    EXPECT_EQ(At(320 - 24, 240), kRed);
    EXPECT_EQ(At(320 + 24, 240), kBlack);
    GLint bound = -1;
    gl::GetIntegerv(GL_ARRAY_BUFFER_BINDING_ARB, &bound);
    EXPECT_EQ(bound, 0);
    GLboolean colours = GL_TRUE;
    gl::GetBooleanv(GL_COLOR_ARRAY, &colours);
    EXPECT_EQ(colours, GL_FALSE);

    // Clearing the mesh releases its buffer.
    mesh.Clear(true);
    EXPECT_EQ(mesh.streamBuffer, 0u);
}

TEST_F(AnimationTest, WithoutBufferObjectsArraysComeFromClientMemory)
{
    StandardView();
    X_LOADOBJ(AnimatedSquareFile(folder, 5, 0x0000FF).c_str(), kMesh);
    const gl::ExtensionEntries loaded = gl::Extensions();
    gl::ExtensionEntries without = loaded;
    without.genBuffers = nullptr;
    without.bindBuffer = nullptr;
    gl::SetExtensions(without);
    X_DRAWANIM(kMesh, 1, 2, 0.25, 0);
    X_DRAWOBJ(kMesh, 4);
    gl::SetExtensions(loaded);
    EXPECT_EQ(rbow3D.objects[kMesh].streamBuffer, 0u);
    EXPECT_EQ(At(303, 240), kRed);             // the blend, centred at x = -5
    EXPECT_EQ(At(320 + 48, 240), kRed);        // frame 4 at x = 40
    EXPECT_EQ(At(320 + 24, 240), kBlack);
}

TEST_F(AnimationTest, WithoutMultitextureTheBumpLightIsIgnored)
{
    StandardView();
    X_LOADOBJ(AnimatedSquareFile(folder, 2, 0x0000FF).c_str(), kMesh);
    const gl::ExtensionEntries loaded = gl::Extensions();
    gl::ExtensionEntries without = loaded;
    without.multiTexCoord2f = nullptr;
    gl::SetExtensions(without);
    X_SPOT_LT(-1, 0, 1000, 0, 0, 0, 0, 0, 1);
    X_DRAWOBJ(kMesh, 1);
    gl::SetExtensions(loaded);
    // Plain colours, not light vectors.
    EXPECT_EQ(At(320 - 24, 240), kRed);
}

TEST_F(AnimationTest, AWhiteMeshDrawsWithoutAColourArray)
{
    StandardView();
    X_LOADOBJ(AnimatedSquareFile(folder, 2, 0xFFFFFF).c_str(), kMesh);
    MeshObjectX& mesh = rbow3D.objects[kMesh];
    EXPECT_EQ(mesh.hasColours, 0);
    // Paint frame 1's drawing list green: without a colour array the
    // current white is all that shows.
    for (std::int32_t k = 0; k < mesh.frames[1].triangles.Count(); ++k) mesh.frames[1].triangles[k].colour = 0x00FF00;
    X_DRAWOBJ(kMesh, 1);
    EXPECT_EQ(At(320 - 24, 240), kWhitePixel);
    Picture();
    mesh.hasColours = 1;
    X_DRAWOBJ(kMesh, 1);
    EXPECT_EQ(At(320 - 24, 240), (Rgb{0, 255, 0}));
}

// A white square of side 20 facing the camera, built vertex by vertex, so
// its normals are zero until its first draw.
void UserSquare(int num)
{
    X_OBJSTART(num);
    rbow3D.UserObjectNewGroup(2);
    X_OBJADDVERTEX(-10, -10, 0, 0, 0, 0xFFFFFF);
    X_OBJADDVERTEX(10, -10, 0, 1, 0, 0xFFFFFF);
    X_OBJADDVERTEX(10, 10, 0, 1, 1, 0xFFFFFF);
    X_OBJADDVERTEX(-10, 10, 0, 0, 1, 0xFFFFFF);
    X_OBJEND();
}

TEST_F(AnimationTest, AUserObjectIsLitWithTheNormalsMadeAtItsFirstDraw)
{
    StandardView();
    UserSquare(kMesh);
    EXPECT_EQ(rbow3D.objects[kMesh].normalsDone, 0);
    // A white spot light at the eye, shining at the square; no ambient.
    X_AMBIENT_LT(0, 0);
    X_SPOT_LT(1, 0xFFFFFF, 0, 0, 200, 0, 0, -1, 60);
    X_DRAWOBJ(kMesh, 0);
    EXPECT_EQ(rbow3D.objects[kMesh].normalsDone, 1);
    // Facing the light: fully lit. (With the entered zero normals still in
    // the display list it would get the scene ambient only.)
    const Rgb centre = At(320, 240);
    EXPECT_GE(centre.r, 250);
    EXPECT_GE(centre.g, 250);
    EXPECT_GE(centre.b, 250);
}

// A 2 x 2 flat normal map, every texel the normal (0, 0, 1), on unit 0.
GLuint FlatNormalMapOnUnit0()
{
    const unsigned char texels[4 * 3] = {128, 128, 255, 128, 128, 255, 128, 128, 255, 128, 128, 255};
    GLuint name = 0;
    gl::ActiveTextureARB(GL_TEXTURE1_ARB);
    gl::Disable(GL_TEXTURE_2D);
    gl::ActiveTextureARB(GL_TEXTURE0_ARB);
    gl::GenTextures(1, &name);
    gl::BindTexture(GL_TEXTURE_2D, name);
    gl::PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gl::TexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 2, 2, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
    gl::TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    gl::TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    gl::Enable(GL_TEXTURE_2D);
    return name;
}

TEST_F(AnimationTest, TheBumpLightLightsTheNormalMapPerPixelAndIsUndoneAfter)
{
    ASSERT_TRUE(gl::HasMultitexture()) << "the test display's OpenGL has multitexture";
    StandardView();
    UserSquare(kMesh);
    FlatNormalMapOnUnit0();

    // The light straight in front of the square: the light vector matches
    // the map's normal, the dot product is 1, white.
    X_SPOT_LT(-1, 0, 0, 0, 100, 0, 0, 0, 1);
    X_DRAWOBJ(kMesh, 0);
    const Rgb front = At(320, 240);
    EXPECT_GE(front.r, 235);
    EXPECT_GE(front.g, 235);
    EXPECT_GE(front.b, 235);
    EXPECT_NE(rbow3D.objects[kMesh].frames[0].nodes[2].tangent, 0);
    Picture();

    // The light far off along x grazes the square: dark.
    X_SPOT_LT(-1, 0, 1000, 0, 0, 0, 0, 0, 1);
    X_DRAWOBJ(kMesh, 0);
    const Rgb side = At(320, 240);
    EXPECT_LE(side.r, 25);
    EXPECT_LE(side.b, 25);
    Picture();

    // Unit 0 modulates again afterwards...
    GLint mode = 0;
    gl::GetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_EQ(mode, GL_MODULATE);
    // ...so with the bump light off the map shows as a plain texture on white.
    X_SPOT_LT(-1, 0, 0, 0, 100, 0, 0, 0, 0);
    X_DRAWOBJ(kMesh, 0);
    const Rgb plain = At(320, 240);
    EXPECT_NEAR(plain.r, 128, 2);
    EXPECT_NEAR(plain.g, 128, 2);
    EXPECT_EQ(plain.b, 255);
}

}  // namespace
