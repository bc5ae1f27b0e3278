// The 3D scene in a real OpenGL context: projection and render state, the
// camera, the object transform, culling and the lights.
#include <cmath>

#include "gfx3d/rainbows3d.h"
#include "gl/gl_calls.h"
#include "gl_fixture.h"

namespace {

using SceneTest = Gl3DTest;

TEST_F(SceneTest, Make3DSetsThePerspectiveAndTheRenderState)
{
    gl::Enable(GL_LIGHTING);
    X_CULLMODE(1);
    X_MAKE3D(2, 1000, 90);
    GLfloat p[16];
    gl::GetFloatv(GL_PROJECTION_MATRIX, p);
    // Frustum with g = near: x scale near/(a*g) = 1/a, y scale 1.
    EXPECT_NEAR(p[0], 480.0 / 640.0, 1e-6);
    EXPECT_NEAR(p[5], 1.0, 1e-6);
    EXPECT_NEAR(p[10], -(1000.0 + 2) / (1000 - 2), 1e-6);
    EXPECT_NEAR(p[14], -2.0 * 1000 * 2 / (1000 - 2), 1e-4);
    EXPECT_FLOAT_EQ(p[11], -1);
    GLint viewport[4];
    gl::GetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 480);
    EXPECT_TRUE(gl::IsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(gl::IsEnabled(GL_CULL_FACE));  // X_MAKE3D ends with culling off
    EXPECT_EQ(__current_cullmode, 0);
    EXPECT_FALSE(gl::IsEnabled(GL_LIGHTING));
    EXPECT_FALSE(gl::IsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(gl::IsEnabled(GL_COLOR_MATERIAL));
    EXPECT_TRUE(gl::IsEnabled(GL_DITHER));
    GLint value = 0;
    gl::GetIntegerv(GL_SHADE_MODEL, &value);
    EXPECT_EQ(value, GL_SMOOTH);
    gl::GetIntegerv(GL_DEPTH_FUNC, &value);
    EXPECT_EQ(value, GL_LEQUAL);
    EXPECT_EQ(ModelView()[0], 1.0f);

    X_MAKE2D();
    EXPECT_FALSE(gl::IsEnabled(GL_DEPTH_TEST));
    gl::GetFloatv(GL_PROJECTION_MATRIX, p);
    EXPECT_FLOAT_EQ(p[0], 2.0f / 640);
}

TEST_F(SceneTest, CameraLooksDownMinusZAndResetsTheTransform)
{
    X_MAKE3D(1, 1000, 60);
    X_MOVEMENT(5, 6, 7);
    X_ROTATION(30, 0, 1, 0);
    X_CULLMODE(-1);
    X_CAMERA(0, 0, 200, 0, 0, 0);
    const float expected[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -200, 1};
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(rbow3D.cameraMatrix[i], expected[i]) << i;
    EXPECT_EQ(rbow3D.rotationCount, 0);
    EXPECT_EQ(rbow3D.scaling[0], 1.0f);
    EXPECT_EQ(rbow3D.translation[2], 0.0f);
    EXPECT_FALSE(gl::IsEnabled(GL_CULL_FACE));
    EXPECT_EQ(__current_cullmode, -1);  // culling is off, the chosen mode is kept

    // From the side: the world's x axis points at the eye.
    X_CAMERA(100, 0, 0, 0, 0, 0);
    const float side[16] = {0, 0, 1, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, -100, 1};
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(rbow3D.cameraMatrix[i], side[i], 1e-6) << i;
}

TEST_F(SceneTest, CameraStraightAboveItsTargetDividesByZeroNowhere)
{
    X_MAKE3D(1, 1000, 60);
    X_CAMERA(0, 300, 0, 0, 0, 0);
    for (int i = 0; i < 16; ++i) EXPECT_TRUE(std::isfinite(rbow3D.cameraMatrix[i])) << i;
    // s and u are both zero, f is the y axis.
    EXPECT_EQ(rbow3D.cameraMatrix[0], 0.0f);
    EXPECT_EQ(rbow3D.cameraMatrix[8], 0.0f);
    EXPECT_EQ(rbow3D.cameraMatrix[1], 0.0f);
    EXPECT_EQ(rbow3D.cameraMatrix[6], 1.0f);
    EXPECT_EQ(rbow3D.cameraMatrix[14], -300.0f);
    X_CAMERA(0, 0, 0, 0, 0, 0);  // eye on the target: f is zero too
    for (int i = 0; i < 16; ++i) EXPECT_TRUE(std::isfinite(rbow3D.cameraMatrix[i])) << i;
}

TEST_F(SceneTest, SixteenRotationsAreKeptAndTheSeventeenthIgnored)
{
    X_SCALING(1, 1, 1);
    X_MOVEMENT(0, 0, 0);
    for (int i = 0; i < 17; ++i) X_ROTATION(i + 1, 0, 0, 1);
    EXPECT_EQ(rbow3D.rotationCount, 16);
    EXPECT_EQ(rbow3D.rotations[15].angle, 16.0f);
    // The transform turns by 1 + 2 + ... + 16 = 136 degrees, not 153.
    gl::LoadIdentity();
    rbow3D.TransformMatrix();
    const std::vector<float> m = ModelView();
    const double angle = std::atan2(m[1], m[0]) * 180 / M_PI;
    EXPECT_NEAR(angle, 136, 1e-3);
}

TEST_F(SceneTest, MovementAndScalingEmptyTheRotations)
{
    X_ROTATION(45, 1, 0, 0);
    X_ROTATION(45, 0, 1, 0);
    X_MOVEMENT(1, 2, 3);
    EXPECT_EQ(rbow3D.rotationCount, 0);
    EXPECT_EQ(rbow3D.translation[1], 2.0f);
    X_ROTATION(45, 1, 0, 0);
    X_SCALING(2, 3, 4);
    EXPECT_EQ(rbow3D.rotationCount, 0);
    EXPECT_EQ(rbow3D.scaling[2], 4.0f);
    EXPECT_EQ(rbow3D.translation[1], 2.0f);
}

TEST_F(SceneTest, TheTransformScalesThenRotatesInOrderThenTranslates)
{
    X_MOVEMENT(10, 0, 0);
    X_SCALING(2, 2, 2);
    X_ROTATION(90, 0, 0, 1);  // first: x to y
    X_ROTATION(90, 1, 0, 0);  // then: y to z
    gl::LoadIdentity();
    rbow3D.TransformMatrix();
    const std::vector<float> m = ModelView();
    // (1, 0, 0) -> (2, 0, 0) -> (0, 2, 0) -> (0, 0, 2) -> (10, 0, 2).
    const float x = m[0] + m[12], y = m[1] + m[13], z = m[2] + m[14];
    EXPECT_NEAR(x, 10, 1e-5);
    EXPECT_NEAR(y, 0, 1e-5);
    EXPECT_NEAR(z, 2, 1e-5);
}

TEST_F(SceneTest, CullModeTakesTheSignOfItsArgument)
{
    GLint front = 0;
    X_CULLMODE(0.5);
    EXPECT_EQ(__current_cullmode, 1);
    EXPECT_TRUE(gl::IsEnabled(GL_CULL_FACE));
    gl::GetIntegerv(GL_FRONT_FACE, &front);
    EXPECT_EQ(front, GL_CW);
    X_CULLMODE(-3);
    EXPECT_EQ(__current_cullmode, -1);
    gl::GetIntegerv(GL_FRONT_FACE, &front);
    EXPECT_EQ(front, GL_CCW);
    GLint cull = 0;
    gl::GetIntegerv(GL_CULL_FACE_MODE, &cull);
    EXPECT_EQ(cull, GL_BACK);
    X_CULLMODE(0);
    EXPECT_EQ(__current_cullmode, 0);
    EXPECT_FALSE(gl::IsEnabled(GL_CULL_FACE));
    rbow3D.CullMode(1);
    rbow3D.CullMode(7);  // not a mode: nothing changes
    EXPECT_TRUE(gl::IsEnabled(GL_CULL_FACE));
}

TEST_F(SceneTest, AmbientLightNumber3GetsItsColourAndSwitchesLightingOn)
{
    X_MAKE3D(1, 1000, 60);
    X_AMBIENT_LT(3, 255);
    GLfloat ambient[4];
    gl::GetLightfv(GL_LIGHT3, GL_AMBIENT, ambient);
    EXPECT_FLOAT_EQ(ambient[0], 1);
    EXPECT_FLOAT_EQ(ambient[1], 0);
    EXPECT_FLOAT_EQ(ambient[2], 0);
    EXPECT_FLOAT_EQ(ambient[3], 0);
    EXPECT_TRUE(gl::IsEnabled(GL_LIGHT3));
    EXPECT_TRUE(gl::IsEnabled(GL_LIGHTING));
    X_AMBIENT_LT(11, 0xFF0000);  // 11 mod 8 = 3
    gl::GetLightfv(GL_LIGHT3, GL_AMBIENT, ambient);
    EXPECT_FLOAT_EQ(ambient[0], 0);
    EXPECT_FLOAT_EQ(ambient[2], 1);
}

TEST_F(SceneTest, SpotLightNumber9IsLight1)
{
    X_MAKE3D(1, 1000, 60);
    X_CAMERA(0, 0, 100, 0, 0, 0);
    X_SPOT_LT(9, 0x00FF00, 1, 2, 3, 0, 0, -1, 45);
    EXPECT_TRUE(gl::IsEnabled(GL_LIGHT1));
    EXPECT_TRUE(gl::IsEnabled(GL_LIGHTING));
    GLfloat value[4];
    gl::GetLightfv(GL_LIGHT1, GL_DIFFUSE, value);
    EXPECT_FLOAT_EQ(value[0], 0);
    EXPECT_FLOAT_EQ(value[1], 1);
    gl::GetLightfv(GL_LIGHT1, GL_SPOT_CUTOFF, value);
    EXPECT_FLOAT_EQ(value[0], 45);
    // The position is kept in eye coordinates: the camera moved it by -100 in z.
    gl::GetLightfv(GL_LIGHT1, GL_POSITION, value);
    EXPECT_FLOAT_EQ(value[0], 1);
    EXPECT_FLOAT_EQ(value[2], -97);
    EXPECT_FLOAT_EQ(value[3], 1);
    EXPECT_EQ(ModelView()[14], -100.0f);  // the matrix is restored

    X_SPOT_LT(9, 0, 0, 0, 0, 0, 0, 0, 0);
    EXPECT_FALSE(gl::IsEnabled(GL_LIGHT1));
    X_SPOT_LT(-3, 0xFFFFFF, 0, 0, 0, 0, 0, -1, 30);  // negative numbers fall back to light 0
    EXPECT_TRUE(gl::IsEnabled(GL_LIGHT0));
    X_SPOT_LT(-3, 0, 0, 0, 0, 0, 0, 0, 0);  // names no light to switch off
    EXPECT_EQ(gl::GetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(SceneTest, LightMinus1IsTheBumpLightAndTouchesNoOpenGLLight)
{
    X_MAKE3D(1, 1000, 60);
    X_SPOT_LT(-1, 0xFFFFFF, 4, 5, 6, 0, 0, 0, 1);
    EXPECT_TRUE(rbow3D.bumpLightOn);
    EXPECT_EQ(rbow3D.bumpLightPos[0], 4.0f);
    EXPECT_EQ(rbow3D.bumpLightPos[2], 6.0f);
    EXPECT_FALSE(gl::IsEnabled(GL_LIGHTING));
    for (int k = 0; k < 8; ++k) EXPECT_FALSE(gl::IsEnabled(GL_LIGHT0 + k)) << k;
    X_SPOT_LT(-1, 0, 7, 8, 9, 0, 0, 0, 0);
    EXPECT_FALSE(rbow3D.bumpLightOn);
    EXPECT_EQ(rbow3D.bumpLightPos[0], 7.0f);
}

TEST_F(SceneTest, ShowscreenSwitchesMipmappingOff)
{
    X_MIPMAPPING(1.7);
    EXPECT_EQ(__mipmapping_state, 1);
    SHOWSCREEN();
    EXPECT_EQ(__mipmapping_state, 0);
}

}  // namespace
