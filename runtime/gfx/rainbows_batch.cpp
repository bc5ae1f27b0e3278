// OpenGLRainbows: the 2D layer's side of batching. Commands choose their
// textures, colour and blending here and append vertices; OpenGL hears of
// a change only when it differs from what is already in force, and draws
// only when the way of drawing changes or someone else needs the picture.
#include "gfx/opengl_rainbows.h"
#include "gl/gl_calls.h"
#include "gl/gl_direct.h"

void OpenGLRainbows::Flush2D()
{
    if (batch.Empty()) return;
    batch.Flush(glState);
    // The current colour is undefined after drawing with a colour array.
    if (colorKnown) gl::direct::Color4f(color[0], color[1], color[2], color[3]);
}

void OpenGLRainbows::FinishPending2D()
{
    if (batch.Flushing()) return;
    Flush2D();
    glState.Forget();
    colorKnown = false;
}

void OpenGLRainbows::SelectTextures(int first, int second, int mipmapped)
{
    selection.curTexture = first;
    selection.curTexture2 = second;
    selection.curMipmap = mipmapped != 0 ? 1 : 0;
    const int variant = selection.curMipmap;
    auto textureOf = [this, variant](int slot) -> GLuint {
        return ValidSlot(slot) ? slots.spriteTex[slot][variant] : 0;
    };
    if (gl::HasMultitexture()) {
        // Unit 1 holds the first texture only when two are given; unit 0
        // then holds the second.
        request.setEnabled[1] = true;
        request.enabled[1] = first >= 0 && second >= 0;
        request.setBound[1] = request.enabled[1];
        if (request.enabled[1]) request.bound[1] = textureOf(first);
        RequestUnit0(first >= 0, textureOf(second >= 0 ? second : first), first >= 0);
    } else {
        RequestUnit0(first >= 0, textureOf(first), first >= 0);
        request.colorMaterial = first < 0;
    }
}

void OpenGLRainbows::RequestUnit0(bool enabled, GLuint texture, bool bind)
{
    request.setEnabled[0] = true;
    request.enabled[0] = enabled;
    if (bind) {
        request.setBound[0] = true;
        request.bound[0] = texture;
    }
}

void OpenGLRainbows::CommitTextures()
{
    // Every sprite and pixel commits its selection; mostly it is the one
    // already in force.
    if (committedValid && glState.Trusting() && committedChanges == glState.TextureChanges() && request == committed) {
        request = TextureRequest{};
        return;
    }
    for (int unit = 1; unit >= 0; --unit) {
        if (request.setBound[unit]) glState.Bind(unit, request.bound[unit]);
        if (request.setEnabled[unit]) glState.Texturing(unit, request.enabled[unit]);
    }
    glState.ActivateUnitZero();
    if (request.colorMaterial) gl::direct::Enable(GL_COLOR_MATERIAL);
    committed = request;
    committedValid = true;
    committedChanges = glState.TextureChanges();
    request = TextureRequest{};
}

void OpenGLRainbows::SetColor(float r, float g, float b, float a)
{
    color[0] = r;
    color[1] = g;
    color[2] = b;
    color[3] = a;
    colorKnown = true;
    gl::direct::Color4f(r, g, b, a);
}

const float* OpenGLRainbows::CurrentColor()
{
    if (!colorKnown) {
        // Someone else set it last.
        gl::GetFloatv(GL_CURRENT_COLOR, color);
        colorKnown = true;
    }
    return color;
}

void OpenGLRainbows::SetBlending(bool on, GLenum source, GLenum destination)
{
    if (glState.BlendingDiffers(on) || (on && glState.BlendFunctionDiffers(source, destination))) Flush2D();
    glState.Blending(on);
    if (on) glState.BlendFunction(source, destination);
}

void OpenGLRainbows::SetAlphaTest(bool on)
{
    if (glState.AlphaTestDiffers(on)) Flush2D();
    glState.AlphaTest(on);
}

BatchVertex* OpenGLRainbows::AppendVertices(const BatchKey& key, std::size_t count, const PixelArea* area)
{
    pictureDrawn = true;
    const std::size_t flushes = batch.Flushes();
    // A pixel area is where the primitive lands only in the 2D projection;
    // under other matrices the batch must not reorder by it.
    BatchVertex* v = batch.Append(key, count, glState, plainProjection ? area : nullptr, window.width, window.height);
    // The current colour is undefined after drawing with a colour array.
    if (batch.Flushes() != flushes && colorKnown) gl::direct::Color4f(color[0], color[1], color[2], color[3]);
    return v;
}

BatchKey OpenGLRainbows::SpriteKey(int slot, GLenum mode) const
{
    BatchKey key;
    key.mode = mode;
    key.textured = slot >= 0;
    key.texture = ValidSlot(slot) ? slots.spriteTex[slot][0] : 0;
    return key;
}

BatchKey OpenGLRainbows::PictureKey(int slot, bool ownSize) const
{
    BatchKey key = SpriteKey(slot, GL_TRIANGLES);
    key.nearest = ownSize && shortcuts;
    // Sampled at texel centres, a quad gives the same pixels however
    // OpenGL splits it, and costs the driver four vertices, not six.
    if (key.nearest) key.mode = GL_QUADS;
    return key;
}

void OpenGLRainbows::AppendQuad(const BatchKey& key, const float (*corner)[4], const float* c, const PixelArea* area)
{
    static constexpr int kCorners[4] = {0, 1, 2, 3};
    static constexpr int kFanTriangles[6] = {0, 1, 2, 0, 2, 3};
    const bool asQuad = key.mode == GL_QUADS;
    const int* order = asQuad ? kCorners : kFanTriangles;
    const std::size_t count = asQuad ? 4 : 6;
    const float z = 0;
    BatchVertex* v = AppendVertices(key, count, area);
    for (std::size_t k = 0; k < count; ++k) {
        const int i = order[k];
        v[k] = {corner[i][0], corner[i][1], z, corner[i][2], corner[i][3], c[0], c[1], c[2], c[3]};
    }
}
