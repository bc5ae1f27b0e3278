// X_COLLISION and X_WORLD2SCREEN in a real OpenGL context: spheres against
// meshes under the camera and the object transform, and projected points.
#include "gfx3d/rainbows3d.h"
#include "gl/gl_calls.h"
#include "gl_fixture.h"

namespace {

using CollisionTest = Gl3DTest;

constexpr int kMesh = 7;

// One triangle in the plane z = 0 with corners at +-h.
void Triangle(int num, double h)
{
    X_OBJSTART(num);
    rbow3D.UserObjectNewGroup(0);
    X_OBJADDVERTEX(-h, -h, 0, 0, 0, 0xFFFFFF);
    X_OBJADDVERTEX(h, -h, 0, 0, 0, 0xFFFFFF);
    X_OBJADDVERTEX(0, h, 0, 0, 0, 0xFFFFFF);
    X_OBJEND();
}

TEST_F(CollisionTest, ASphereCuttingTheMeshCollidesOneTouchingItDoesNot)
{
    X_MAKE3D(1, 1000, 90);
    X_CAMERA(30, 40, 200, 0, 0, 0);  // an oblique view: eye space is not world space
    Triangle(kMesh, 100);
    EXPECT_EQ(X_COLLISION(kMesh, 0, 1, 0, 0, 0.5), 1);
    EXPECT_EQ(X_COLLISION(kMesh, 0, 1, 0, 0, -0.5), 1);
    EXPECT_EQ(X_COLLISION(kMesh, 0, 1, 0, 0, 1.01), 0);
    EXPECT_EQ(X_COLLISION(kMesh, 0, 1, 0, 0, 30), 0);
}

TEST_F(CollisionTest, ExactlyOneRadiusAboveIsNoCollision)
{
    X_MAKE3D(1, 1000, 90);
    X_CAMERA(0, 0, 200, 0, 0, 0);
    Triangle(kMesh, 100);
    EXPECT_EQ(X_COLLISION(kMesh, 0, 1, 0, 0, 0.999), 1);
    EXPECT_EQ(X_COLLISION(kMesh, 0, 1, 0, 0, 1.0), 0);
}

TEST_F(CollisionTest, BesideAnEdgeTheSphereCollidesThroughTheEdge)
{
    X_MAKE3D(1, 1000, 90);
    X_CAMERA(0, 0, 200, 0, 0, 0);
    Triangle(kMesh, 10);
    // 0.9 below the lower edge, 0.3 above the plane: 0.95 from the edge.
    EXPECT_EQ(X_COLLISION(kMesh, 0, 1, 0, -10.9, 0.3), 1);
    EXPECT_EQ(X_COLLISION(kMesh, 0, 0.9, 0, -10.9, 0.3), 0);
}

TEST_F(CollisionTest, BeyondTheFrameRadiusNoTriangleIsTested)
{
    X_MAKE3D(1, 1000, 90);
    X_CAMERA(0, 0, 200, 0, 0, 0);
    Triangle(kMesh, 100);
    // Near a corner, 131 units from the mesh origin: the triangle is hit...
    EXPECT_EQ(X_COLLISION(kMesh, 0, 1, -90, -92, 0.5), 1);
    // ...until the frame claims a radius of 100: the sphere is then too far
    // away to be tested at all.
    rbow3D.objects[kMesh].frames[0].maxRadius = 100;
    EXPECT_EQ(X_COLLISION(kMesh, 0, 1, -90, -92, 0.5), 0);
    EXPECT_EQ(X_COLLISION(kMesh, 0, 1, 0, 0, 0.5), 1);
}

TEST_F(CollisionTest, FramesOutsideTheMeshAndEmptySlotsNeverCollide)
{
    X_MAKE3D(1, 1000, 90);
    X_CAMERA(0, 0, 200, 0, 0, 0);
    Triangle(kMesh, 100);
    EXPECT_EQ(X_COLLISION(kMesh, 1, 1, 0, 0, 0.5), 0);
    EXPECT_EQ(X_COLLISION(kMesh, -1, 1, 0, 0, 0.5), 0);
    EXPECT_EQ(X_COLLISION(kMesh + 1, 0, 1, 0, 0, 0.5), 0);
    EXPECT_EQ(X_COLLISION(-1, 0, 1, 0, 0, 0.5), 0);
    EXPECT_EQ(X_COLLISION(4095, 0, 1, 0, 0, 0.5), 0);
}

TEST_F(CollisionTest, TheObjectTransformMovesAndGrowsTheMesh)
{
    X_MAKE3D(1, 1000, 90);
    X_CAMERA(0, 0, 200, 0, 0, 0);
    Triangle(kMesh, 10);
    X_MOVEMENT(0, 0, 50);
    EXPECT_EQ(X_COLLISION(kMesh, 0, 1, 0, 0, 50.5), 1);
    EXPECT_EQ(X_COLLISION(kMesh, 0, 1, 0, 0, 0.5), 0);
    // Turned a quarter about x the triangle stands in the plane y = 0.
    X_MOVEMENT(0, 0, 0);
    X_ROTATION(90, 1, 0, 0);
    EXPECT_EQ(X_COLLISION(kMesh, 0, 1, 0, 0.5, 0), 1);
    EXPECT_EQ(X_COLLISION(kMesh, 0, 1, 0, 1.5, 0), 0);  // in the unturned plane, off the turned one
    // Four times as large: a point 35 down lies over the grown triangle,
    // far outside the unscaled frame radius (about 14).
    X_SCALING(4, 4, 4);
    EXPECT_EQ(X_COLLISION(kMesh, 0, 1, 0, -35, 0.5), 1);
}

TEST_F(CollisionTest, CollisionLeavesTheMatricesAsTheyWere)
{
    X_MAKE3D(1, 1000, 90);
    X_CAMERA(0, 0, 200, 0, 0, 0);
    Triangle(kMesh, 10);
    X_MOVEMENT(5, 6, 7);
    X_ROTATION(30, 0, 1, 0);
    const std::vector<float> before = ModelView();
    X_COLLISION(kMesh, 0, 1, 0, 0, 0.5);
    EXPECT_EQ(ModelView(), before);
    GLint mode = 0;
    gl::GetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
}

TEST_F(CollisionTest, TheCameraTargetProjectsToTheWindowCentre)
{
    X_MAKE3D(1, 1000, 90);
    X_CAMERA(0, 0, 200, 0, 0, 0);
    double sx = -1, sy = -1, sz = -1;
    X_WORLD2SCREEN(0, 0, 0, sx, sy, sz);
    EXPECT_NEAR(sx, 320, 1e-3);
    EXPECT_NEAR(sy, 240, 1e-3);
    // Window depth of a point 200 units in front of the eye, near 1, far 1000.
    EXPECT_NEAR(sz, 0.5 * ((1000.0 + 1) / 999 - 2.0 * 1000 / (999 * 200)) + 0.5, 1e-5);

    // Up in the world is up on the screen: y counts from the top. One unit
    // is 1.2 pixels at this distance.
    X_WORLD2SCREEN(10, 20, 0, sx, sy, sz);
    EXPECT_NEAR(sx, 332, 1e-3);
    EXPECT_NEAR(sy, 216, 1e-3);

    // The projected point is where drawing puts it.
    Triangle(kMesh, 2);
    X_MOVEMENT(10, 20, 0);
    X_DRAWOBJ(kMesh, 0);
    EXPECT_EQ(At(332, 216), (Rgb{255, 255, 255}));
    EXPECT_EQ(At(332, 240), (Rgb{0, 0, 0}));
}

TEST_F(CollisionTest, APointInTheEyePlaneLeavesTheVariablesAlone)
{
    X_MAKE3D(1, 1000, 90);
    X_CAMERA(0, 0, 200, 0, 0, 0);
    double sx = -7, sy = -8, sz = -9;
    X_WORLD2SCREEN(50, 30, 200, sx, sy, sz);
    EXPECT_EQ(sx, -7);
    EXPECT_EQ(sy, -8);
    EXPECT_EQ(sz, -9);
}

}  // namespace
