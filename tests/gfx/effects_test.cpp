// Tinted sprites, normal-mapped sprites, the texture selection, particles
// and billboards.
#include "gfx_test_support.h"

#include "gl/gl_calls.h"

namespace {

class Effects : public GfxTest {
protected:
    void SetUp() override
    {
        GfxTest::SetUp();
        LOADSPRITE(WriteBmp("white.bmp", MakeBmp24(32, 32, [](int, int) { return Rgb{255, 255, 255}; })).c_str(), 1);
        LOADSPRITE(WriteBmp("grey.bmp", MakeBmp24(16, 16, [](int, int) { return Rgb{90, 90, 90}; })).c_str(), 2);
    }
};

}  // namespace

TEST_F(Effects, SpriteFxTintsResizesAndPutsTheColourBack)
{
    OPENGL_SPRITEFX fx{0.0f, 64, 16, static_cast<std::uint32_t>(RGB(255, 128, 0))};
    pRbow->DrawSpriteFX(1, 100, 100, fx);
    const Screen s = Screen::Capture();
    int left, top, right, bottom;
    ASSERT_TRUE(s.Bounds(Rgb{}, left, top, right, bottom));
    // 64 x 16 about the centre (116, 116) of the 32 x 32 picture at (100, 100).
    EXPECT_EQ(left, 84);
    EXPECT_EQ(right, 147);
    EXPECT_EQ(top, 108);
    EXPECT_EQ(bottom, 123);
    const Rgb tinted = s.At(116, 116);
    EXPECT_EQ(tinted.r, 255);
    EXPECT_NEAR(tinted.g, 128, 1);
    EXPECT_EQ(tinted.b, 0);
    GLfloat colour[4];
    gl::GetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[1], 1.0f);
}

TEST_F(Effects, BumpTextureOfAFlatPictureFacesTheViewer)
{
    LOADBUMPTEXTURE(WriteBmp("flat.bmp", MakeBmp24(16, 16, [](int, int) { return Rgb{0, 0, 200}; })).c_str(), 3);
    SPRITE(3, 10, 10);
    EXPECT_EQ(Screen::Capture().At(15, 15), (Rgb{127, 127, 255}));
}

TEST_F(Effects, TextureSelectionPutsTheFirstSlotOnUnitOneWhenTwoAreGiven)
{
    ASSERT_TRUE(gl::HasActiveTexture()) << "Mesa offers multitexturing";
    pRbow->SetTexture3D(1, 2, 0);
    GLint bound = 0;
    gl::ActiveTextureARB(GL_TEXTURE1_ARB);
    gl::GetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), pRbow->slots.spriteTex[1][0]);
    EXPECT_TRUE(gl::IsEnabled(GL_TEXTURE_2D));
    gl::ActiveTextureARB(GL_TEXTURE0_ARB);
    gl::GetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), pRbow->slots.spriteTex[2][0]);

    pRbow->SetTexture3D(1, -1, 1);
    gl::GetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), pRbow->slots.spriteTex[1][1]) << "the mipmapped variant";
    gl::ActiveTextureARB(GL_TEXTURE1_ARB);
    EXPECT_FALSE(gl::IsEnabled(GL_TEXTURE_2D));
    gl::ActiveTextureARB(GL_TEXTURE0_ARB);
    EXPECT_EQ(pRbow->selection.curTexture, 1);
    EXPECT_EQ(pRbow->selection.curTexture2, -1);
    EXPECT_EQ(pRbow->selection.curMipmap, 1);
}

TEST_F(Effects, ParticlesMoveFadeAndDrawAdditively)
{
    OPENGL_PARTICLE templ{};
    templ.count = 3;
    templ.life = 100;
    templ.vx = templ.vy = 0;  // emission scales the template's speed
    templ.fx = templ.fy = 1;
    templ.x = 300;
    templ.y = 200;
    pRbow->Particles(templ, static_cast<std::uint32_t>(RGB(255, 0, 255)));
    EXPECT_FLOAT_EQ(templ.r, 0.5f) << "the template takes half the colour";
    EXPECT_FLOAT_EQ(templ.g, 0.0f);
    EXPECT_EQ(pRbow->particleRing.nextParticle, 3);

    pRbow->timer.frameTime = 10;
    pRbow->DrawParticles();
    EXPECT_FLOAT_EQ(pRbow->particleRing.particles[0].life, 90);
    const Rgb centre = Screen::Capture().At(300, 200);
    EXPECT_GT(centre.r, 100);  // three half-bright triangles added up
    EXPECT_EQ(centre.g, 0);
    EXPECT_FALSE(gl::IsEnabled(GL_BLEND));
    EXPECT_TRUE(gl::IsEnabled(GL_ALPHA_TEST));

    // A particle leaving the drawing area dies.
    pRbow->particleRing.particles[1].x = -5;
    pRbow->DrawParticles();
    EXPECT_EQ(pRbow->particleRing.particles[1].life, 0);

    // The ring wraps after 1024.
    templ.count = 1030;
    pRbow->Particles(templ, 0);
    EXPECT_EQ(pRbow->particleRing.nextParticle, (3 + 1030) % 1024);
}

TEST_F(Effects, BillboardStandsOnItsPointAtHalfTheSize)
{
    // 2D projection and identity model-view: right is +x, up is +y.
    pRbow->DrawBillboard(1, 100, -200, 0, 1);
    const Screen s = Screen::Capture();
    int left, top, right, bottom;
    ASSERT_TRUE(s.Bounds(Rgb{}, left, top, right, bottom));
    EXPECT_EQ(left, 92);
    EXPECT_EQ(right, 107);
    EXPECT_EQ(top, 184);
    EXPECT_EQ(bottom, 199);
    EXPECT_EQ(pRbow->selection.curTexture, -1) << "the earlier selection (none) is back";
}
