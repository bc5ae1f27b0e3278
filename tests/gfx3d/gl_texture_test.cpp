// Textures and billboards in the 3D pass: the commands that hand sprite
// slots of the 2D renderer to 3D drawing.
#include <fstream>
#include <string>

#include "gfx3d/rainbows3d.h"
#include "gl/gl_calls.h"
#include "gl_fixture.h"

namespace {

using TextureTest = Gl3DTest;

// A 32 x 32 BMP of one colour, 24 bits per pixel.
void WriteSolidBmp(const std::string& path, unsigned char r, unsigned char g, unsigned char b)
{
    const int side = 32, rowBytes = side * 3, pixels = rowBytes * side;
    std::string file;
    auto u16 = [&](unsigned v) { file += char(v & 0xFF); file += char((v >> 8) & 0xFF); };
    auto u32 = [&](unsigned v) { u16(v & 0xFFFF); u16(v >> 16); };
    file += "BM";
    u32(54 + pixels);
    u32(0);
    u32(54);
    u32(40);
    u32(side);
    u32(side);
    u16(1);
    u16(24);
    u32(0);
    u32(pixels);
    u32(2835);
    u32(2835);
    u32(0);
    u32(0);
    for (int i = 0; i < side * side; ++i) {
        file += char(b);
        file += char(g);
        file += char(r);
    }
    std::ofstream(path, std::ios::binary) << file;
}

void StandardView()
{
    X_MAKE3D(1, 1000, 90);
    X_CAMERA(0, 0, 200, 0, 0, 0);
}

TEST_F(TextureTest, ASpriteStandsAtItsPointFacingTheCameraAndCullingComesBack)
{
    const std::string bmp = folder.File("green.bmp");
    WriteSolidBmp(bmp, 0, 200, 0);
    LOADSPRITE(bmp.c_str(), 3);
    StandardView();
    X_CULLMODE(1);
    // Quarter the width either side and the height above the point, at
    // 1.2 pixels per unit: 8 units (about 10 pixels) each way, 16 up.
    X_SPRITE(3, 0, 0, 0, 1);
    EXPECT_EQ(At(320, 230), (Rgb{0, 200, 0}));
    EXPECT_EQ(At(314, 225), (Rgb{0, 200, 0}));
    EXPECT_EQ(At(320, 250), (Rgb{0, 0, 0}));
    EXPECT_EQ(At(335, 230), (Rgb{0, 0, 0}));
    // Culling is back at what X_CULLMODE chose.
    GLint front = 0;
    gl::GetIntegerv(GL_FRONT_FACE, &front);
    EXPECT_EQ(front, GL_CW);
    EXPECT_TRUE(gl::IsEnabled(GL_CULL_FACE));
}

TEST_F(TextureTest, SetTextureDrawsMeshesWithTheSpritesPicture)
{
    const std::string bmp = folder.File("blue.bmp");
    WriteSolidBmp(bmp, 0, 0, 220);
    LOADSPRITE(bmp.c_str(), 4);
    StandardView();
    X_OBJSTART(0);
    X_OBJADDVERTEX(-50, -50, 0, 0, 0, 0xFFFFFF);
    X_OBJADDVERTEX(50, -50, 0, 1, 0, 0xFFFFFF);
    X_OBJADDVERTEX(-50, 50, 0, 0, 1, 0xFFFFFF);
    X_OBJADDVERTEX(50, 50, 0, 1, 1, 0xFFFFFF);
    X_OBJEND();
    X_SETTEXTURE(4, -1);
    X_DRAWOBJ(0, 0);
    EXPECT_EQ(At(320, 240), (Rgb{0, 0, 220}));
    gl::Clear(GL_COLOR_BUFFER_BIT);
    X_SETTEXTURE(-1, -1);
    X_DRAWOBJ(0, 0);
    EXPECT_EQ(At(320, 240), (Rgb{255, 255, 255}));
}

TEST_F(TextureTest, MipmappingIsPassedOnToTheTextureBinding)
{
    X_MIPMAPPING(1);
    X_SETTEXTURE(-1, -1);
    EXPECT_EQ(pRbow->selection.curMipmap, 1);
    X_MIPMAPPING(0);
    X_SETTEXTURE(-1, -1);
    EXPECT_EQ(pRbow->selection.curMipmap, 0);
}

}  // namespace
