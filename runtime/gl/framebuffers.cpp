#include "gl/framebuffers.h"

#include <GL/glext.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "gl/function_loader.h"

namespace gl {

namespace {

struct FramebufferFunctions {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;
    PFNGLBLITFRAMEBUFFERPROC blitFramebuffer = nullptr;
    PFNGLFRAMEBUFFERTEXTURE2DPROC framebufferTexture2D = nullptr;
    PFNGLGETRENDERBUFFERPARAMETERIVPROC getRenderbufferParameteriv = nullptr;
    PFNGLCLIPCONTROLPROC clipControl = nullptr;  // only where GL_ARB_clip_control is offered
};

struct DrawingArea {
    GLuint framebuffer = 0;
    GLuint depthBuffer = 0;
    bool depthAttached = false;
    bool depthWanted = false;  // something has tested depth: every area gets it at once
    bool hasAlpha = false;     // alpha bits that must read as 1
    // No framebuffer object: the window's own back buffer is the area. Its
    // depth buffer is cleared only once something wants depth.
    bool window = false;
    GLsizei width = 0;
    GLsizei height = 0;
};

// The drawing area keeps its rows top-down, in the window's order, where the
// driver offers clip control: showing it is then a straight copy, which a
// software renderer makes many times faster than one that turns the rows
// over. While the area is drawn into, the clip origin is the upper left, so
// the projection, the fill rules and the facing of polygons mean what they
// meant before; the window coordinates the runtime gives and reads
// (viewports, scissor boxes, pixel reads and copies) are turned over here.
struct RowOrder {
    bool topDown = false;          // the current area keeps its rows top-down
    bool intoArea = false;         // clip origin upper left, boxes turned: the area is the draw target
    bool glOrderForGood = false;   // a program took over OpenGL: GL's own order from then on
    GLint viewport[4] = {0, 0, 0, 0};  // as the runtime set them, GL's window coordinates
    GLint scissor[4] = {0, 0, 0, 0};
};

// Everything the framebuffer code keeps between calls, for the one context
// the runtime draws with.
struct FramebufferState {
    FramebufferFunctions fbo;  // the entry points, loaded with the context
    DrawingArea area;          // what the runtime draws into
    RowOrder rows;
};

FramebufferState g_fb;

GLint TurnedOver(GLint y, GLsizei height) { return g_fb.area.height - y - height; }

bool BoundTo(GLenum binding)
{
    GLint bound = 0;
    glGetIntegerv(binding, &bound);
    return g_fb.area.framebuffer != 0 && static_cast<GLuint>(bound) == g_fb.area.framebuffer;
}

bool ReadingTopDownArea() { return g_fb.rows.topDown && BoundTo(GL_READ_FRAMEBUFFER_BINDING); }

// Sets the clip origin and the real viewport and scissor box for drawing
// into the area (true) or anything else.
void AimAt(bool area)
{
    g_fb.rows.intoArea = area;
    g_fb.fbo.clipControl(area ? GL_UPPER_LEFT : GL_LOWER_LEFT, GL_NEGATIVE_ONE_TO_ONE);
    const GLint* v = g_fb.rows.viewport;
    const GLint* b = g_fb.rows.scissor;
    glViewport(v[0], area ? TurnedOver(v[1], v[3]) : v[1], v[2], v[3]);
    glScissor(b[0], area ? TurnedOver(b[1], b[3]) : b[1], b[2], b[3]);
}

// The viewport and scissor box as GL holds them now, in GL's window coordinates.
void RememberBoxes()
{
    glGetIntegerv(GL_VIEWPORT, g_fb.rows.viewport);
    glGetIntegerv(GL_SCISSOR_BOX, g_fb.rows.scissor);
    if (g_fb.rows.intoArea) {
        g_fb.rows.viewport[1] = TurnedOver(g_fb.rows.viewport[1], g_fb.rows.viewport[3]);
        g_fb.rows.scissor[1] = TurnedOver(g_fb.rows.scissor[1], g_fb.rows.scissor[3]);
    }
}

// Binds the drawing area for drawing; returns what was bound before.
GLint BindDrawingArea()
{
    GLint before = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &before);
    g_fb.fbo.bindFramebuffer(GL_DRAW_FRAMEBUFFER, g_fb.area.framebuffer);
    return before;
}

// The bound draw framebuffer's depth, all of it, to the clear depth.
void ClearWholeDepth()
{
    GLboolean depthMask = GL_TRUE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);
    const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
    glDepthMask(GL_TRUE);
    glDisable(GL_SCISSOR_TEST);
    glClear(GL_DEPTH_BUFFER_BIT);
    if (scissor) glEnable(GL_SCISSOR_TEST);
    glDepthMask(depthMask);
}

void AttachDepthBuffer()
{
    const GLint before = BindDrawingArea();
    g_fb.fbo.framebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, g_fb.area.depthBuffer);
    g_fb.area.depthAttached = true;
    if (g_fb.fbo.checkFramebufferStatus(GL_DRAW_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        std::fprintf(stderr, "The drawing area's depth buffer cannot be attached; depth is not tested\n");
        g_fb.fbo.framebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, 0);
    } else {
        // Never cleared while detached: it starts as every frame would
        // have left it, cleared, whole.
        ClearWholeDepth();
    }
    g_fb.fbo.bindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(before));
}

// The window's depth buffer, left alone until now, cleared like an attached one.
void ClearWindowDepth()
{
    GLint before = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &before);
    g_fb.fbo.bindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    ClearWholeDepth();
    g_fb.fbo.bindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(before));
}

// Alpha to 1 in a rectangle of the drawing area (window coordinates, origin
// bottom left), or all of it when `whole`; nothing else changes.
void MakeAlphaOpaque(GLint x, GLint y, GLsizei width, GLsizei height, bool whole)
{
    const GLint before = BindDrawingArea();
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    GLboolean mask[4] = {GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE};
    glGetBooleanv(GL_COLOR_WRITEMASK, mask);
    GLint box[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_SCISSOR_BOX, box);
    const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);

    if (whole) {
        glDisable(GL_SCISSOR_TEST);
    } else {
        glEnable(GL_SCISSOR_TEST);
        glScissor(x, g_fb.rows.topDown ? TurnedOver(y, height) : y, width, height);
    }
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_TRUE);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);

    glClearColor(clear[0], clear[1], clear[2], clear[3]);
    glColorMask(mask[0], mask[1], mask[2], mask[3]);
    glScissor(box[0], box[1], box[2], box[3]);
    if (scissor)
        glEnable(GL_SCISSOR_TEST);
    else
        glDisable(GL_SCISSOR_TEST);
    g_fb.fbo.bindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(before));
}

// Keeps a viewport or scissor box as the runtime gives it and sets it,
// turned over while the top-down area is drawn into.
void SetBox(GLint* kept, void (*set)(GLint, GLint, GLsizei, GLsizei), GLint x, GLint y, GLsizei width,
            GLsizei height)
{
    if (g_fb.rows.topDown) {
        kept[0] = x, kept[1] = y, kept[2] = width, kept[3] = height;
        if (g_fb.rows.intoArea) y = TurnedOver(y, height);
    }
    set(x, y, width, height);
}

// Copies rows of the top-down area, from `areaY` down in memory, into the
// texture bound to GL_TEXTURE_2D, turned over into GL's order.
void CopyTurnedOver(GLint level, GLint xoffset, GLint yoffset, GLint x, GLint areaY, GLsizei width, GLsizei height)
{
    GLint texture = 0;
    GLint drawing = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawing);
    GLuint scratch = 0;
    g_fb.fbo.genFramebuffers(1, &scratch);
    g_fb.fbo.bindFramebuffer(GL_DRAW_FRAMEBUFFER, scratch);
    g_fb.fbo.framebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, static_cast<GLuint>(texture),
                               level);
    if (g_fb.fbo.checkFramebufferStatus(GL_DRAW_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE) {
        const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
        glDisable(GL_SCISSOR_TEST);  // a blit is scissored, a copy is not
        g_fb.fbo.blitFramebuffer(x, areaY, x + width, areaY + height, xoffset, yoffset + height, xoffset + width, yoffset,
                              GL_COLOR_BUFFER_BIT, GL_NEAREST);
        if (scissor) glEnable(GL_SCISSOR_TEST);
    } else {
        // A texture format no framebuffer takes: one row at a time.
        for (GLsizei row = 0; row < height; ++row)
            glCopyTexSubImage2D(GL_TEXTURE_2D, level, xoffset, yoffset + row, x, areaY + height - 1 - row, width, 1);
    }
    g_fb.fbo.bindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(drawing));
    g_fb.fbo.deleteFramebuffers(1, &scratch);
}

// Bytes per pixel that glReadPixels writes for a format and type; 0 when not known here.
int PixelBytes(GLenum format, GLenum type)
{
    int components = 0;
    switch (format) {
    case GL_RGBA: case GL_BGRA: components = 4; break;
    case GL_RGB: case GL_BGR: components = 3; break;
    case GL_LUMINANCE_ALPHA: components = 2; break;
    case GL_RED: case GL_GREEN: case GL_BLUE: case GL_ALPHA: case GL_LUMINANCE:
    case GL_DEPTH_COMPONENT: case GL_STENCIL_INDEX: components = 1; break;
    default: return 0;
    }
    switch (type) {
    case GL_UNSIGNED_BYTE: case GL_BYTE: return components;
    case GL_UNSIGNED_SHORT: case GL_SHORT: return components * 2;
    case GL_UNSIGNED_INT: case GL_INT: case GL_FLOAT: return components * 4;
    case GL_UNSIGNED_INT_8_8_8_8: case GL_UNSIGNED_INT_8_8_8_8_REV: return components == 4 ? 4 : 0;
    default: return 0;
    }
}

// Puts the rows glReadPixels wrote from the top-down area into GL's order,
// honouring the pack alignment, row length and skips.
void ReverseReadRows(GLsizei width, GLsizei height, GLenum format, GLenum type, void* pixels)
{
    GLint packBuffer = 0;
    glGetIntegerv(GL_PIXEL_PACK_BUFFER_BINDING, &packBuffer);
    const int bytes = PixelBytes(format, type);
    if (pixels == nullptr || packBuffer != 0 || bytes == 0) {
        std::fprintf(stderr, "Pixels read from the drawing area in a form not handled here are upside down\n");
        return;
    }
    GLint alignment = 4, rowLength = 0, skipRows = 0, skipPixels = 0;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glGetIntegerv(GL_PACK_ROW_LENGTH, &rowLength);
    glGetIntegerv(GL_PACK_SKIP_ROWS, &skipRows);
    glGetIntegerv(GL_PACK_SKIP_PIXELS, &skipPixels);
    const std::size_t pixelsPerRow = static_cast<std::size_t>(rowLength > 0 ? rowLength : width);
    std::size_t stride = pixelsPerRow * static_cast<std::size_t>(bytes);
    // Rows start on the alignment unless each element is at least that wide.
    const int elementBytes = type == GL_UNSIGNED_SHORT || type == GL_SHORT ? 2 : type == GL_UNSIGNED_BYTE || type == GL_BYTE ? 1 : 4;
    if (alignment > elementBytes)
        stride = (stride + static_cast<std::size_t>(alignment) - 1) / static_cast<std::size_t>(alignment) *
                 static_cast<std::size_t>(alignment);
    unsigned char* first = static_cast<unsigned char*>(pixels) + static_cast<std::size_t>(skipRows) * stride +
                           static_cast<std::size_t>(skipPixels) * static_cast<std::size_t>(bytes);
    const std::size_t used = static_cast<std::size_t>(width) * static_cast<std::size_t>(bytes);
    for (GLsizei top = 0, bottom = height - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(first + static_cast<std::size_t>(top) * stride, first + static_cast<std::size_t>(top) * stride + used,
                         first + static_cast<std::size_t>(bottom) * stride);
}

// Turns the area's rows (colour, and depth when attached) into GL's order
// through a scratch framebuffer of its size.
void TurnAreaOver()
{
    GLint drawing = 0, reading = 0, renderbuffer = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawing);
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &reading);
    glGetIntegerv(GL_RENDERBUFFER_BINDING, &renderbuffer);
    const GLsizei w = g_fb.area.width;
    const GLsizei h = g_fb.area.height;

    GLbitfield buffers = GL_COLOR_BUFFER_BIT;
    GLuint colour = 0, depth = 0, scratch = 0;
    g_fb.fbo.genRenderbuffers(1, &colour);
    g_fb.fbo.bindRenderbuffer(GL_RENDERBUFFER, colour);
    g_fb.fbo.renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, w, h);
    if (g_fb.area.depthAttached) {
        GLint format = GL_DEPTH_COMPONENT16;
        g_fb.fbo.bindRenderbuffer(GL_RENDERBUFFER, g_fb.area.depthBuffer);
        g_fb.fbo.getRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_INTERNAL_FORMAT, &format);
        g_fb.fbo.genRenderbuffers(1, &depth);
        g_fb.fbo.bindRenderbuffer(GL_RENDERBUFFER, depth);
        g_fb.fbo.renderbufferStorage(GL_RENDERBUFFER, static_cast<GLenum>(format), w, h);
        buffers |= GL_DEPTH_BUFFER_BIT;
    }
    g_fb.fbo.genFramebuffers(1, &scratch);
    g_fb.fbo.bindFramebuffer(GL_FRAMEBUFFER, scratch);
    g_fb.fbo.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    if (depth != 0) g_fb.fbo.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);

    if (g_fb.fbo.checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE) {
        const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
        glDisable(GL_SCISSOR_TEST);
        g_fb.fbo.bindFramebuffer(GL_READ_FRAMEBUFFER, g_fb.area.framebuffer);
        g_fb.fbo.blitFramebuffer(0, 0, w, h, 0, h, w, 0, buffers, GL_NEAREST);
        g_fb.fbo.bindFramebuffer(GL_READ_FRAMEBUFFER, scratch);
        g_fb.fbo.bindFramebuffer(GL_DRAW_FRAMEBUFFER, g_fb.area.framebuffer);
        g_fb.fbo.blitFramebuffer(0, 0, w, h, 0, 0, w, h, buffers, GL_NEAREST);
        if (scissor) glEnable(GL_SCISSOR_TEST);
    } else {
        std::fprintf(stderr, "The drawing area cannot be turned into OpenGL's row order; it shows upside down\n");
    }
    g_fb.fbo.bindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(reading));
    g_fb.fbo.bindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(drawing));
    g_fb.fbo.bindRenderbuffer(GL_RENDERBUFFER, static_cast<GLuint>(renderbuffer));
    g_fb.fbo.deleteFramebuffers(1, &scratch);
    g_fb.fbo.deleteRenderbuffers(1, &colour);
    if (depth != 0) g_fb.fbo.deleteRenderbuffers(1, &depth);
}

template <typename Function>
bool Load(Function& entry, const char* name)
{
    entry = reinterpret_cast<Function>(LookUpFunction(name));
    return entry != nullptr;
}

}  // namespace

bool LoadFramebufferFunctions()
{
    // Every lookup is made, so that none is left from an earlier context.
    bool all = Load(g_fb.fbo.genFramebuffers, "glGenFramebuffers");
    all = Load(g_fb.fbo.deleteFramebuffers, "glDeleteFramebuffers") && all;
    all = Load(g_fb.fbo.bindFramebuffer, "glBindFramebuffer") && all;
    all = Load(g_fb.fbo.genRenderbuffers, "glGenRenderbuffers") && all;
    all = Load(g_fb.fbo.deleteRenderbuffers, "glDeleteRenderbuffers") && all;
    all = Load(g_fb.fbo.bindRenderbuffer, "glBindRenderbuffer") && all;
    all = Load(g_fb.fbo.renderbufferStorage, "glRenderbufferStorage") && all;
    all = Load(g_fb.fbo.framebufferRenderbuffer, "glFramebufferRenderbuffer") && all;
    all = Load(g_fb.fbo.checkFramebufferStatus, "glCheckFramebufferStatus") && all;
    all = Load(g_fb.fbo.blitFramebuffer, "glBlitFramebuffer") && all;
    all = Load(g_fb.fbo.framebufferTexture2D, "glFramebufferTexture2D") && all;
    all = Load(g_fb.fbo.getRenderbufferParameteriv, "glGetRenderbufferParameteriv") && all;
    // Clip control is newer than the rest: the area keeps GL's row order without it.
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    g_fb.fbo.clipControl = nullptr;
    if (extensions != nullptr && std::strstr(extensions, "GL_ARB_clip_control") != nullptr)
        Load(g_fb.fbo.clipControl, "glClipControl");
    return all;
}

void GenFramebuffers(GLsizei n, GLuint* framebuffers) { g_fb.fbo.genFramebuffers(n, framebuffers); }
void DeleteFramebuffers(GLsizei n, const GLuint* framebuffers) { g_fb.fbo.deleteFramebuffers(n, framebuffers); }
void BindFramebuffer(GLenum target, GLuint framebuffer)
{
    g_fb.fbo.bindFramebuffer(target, framebuffer);
    if (g_fb.rows.topDown && target != GL_READ_FRAMEBUFFER) {
        const bool area = framebuffer == g_fb.area.framebuffer;
        if (area != g_fb.rows.intoArea) AimAt(area);
    }
}
GLenum CheckFramebufferStatus(GLenum target) { return g_fb.fbo.checkFramebufferStatus(target); }
void FramebufferRenderbuffer(GLenum target, GLenum attachment, GLenum renderbufferTarget, GLuint renderbuffer)
{
    g_fb.fbo.framebufferRenderbuffer(target, attachment, renderbufferTarget, renderbuffer);
}
void FramebufferTexture2D(GLenum target, GLenum attachment, GLenum textureTarget, GLuint texture, GLint level)
{
    g_fb.fbo.framebufferTexture2D(target, attachment, textureTarget, texture, level);
}
void BlitFramebuffer(GLint srcX0, GLint srcY0, GLint srcX1, GLint srcY1, GLint dstX0, GLint dstY0, GLint dstX1,
                     GLint dstY1, GLbitfield mask, GLenum filter)
{
    if (ReadingTopDownArea()) {
        srcY0 = g_fb.area.height - srcY0;
        srcY1 = g_fb.area.height - srcY1;
    }
    if (g_fb.rows.topDown && g_fb.rows.intoArea) {
        dstY0 = g_fb.area.height - dstY0;
        dstY1 = g_fb.area.height - dstY1;
    }
    g_fb.fbo.blitFramebuffer(srcX0, srcY0, srcX1, srcY1, dstX0, dstY0, dstX1, dstY1, mask, filter);
}
void GenRenderbuffers(GLsizei n, GLuint* renderbuffers) { g_fb.fbo.genRenderbuffers(n, renderbuffers); }
void DeleteRenderbuffers(GLsizei n, const GLuint* renderbuffers) { g_fb.fbo.deleteRenderbuffers(n, renderbuffers); }
void BindRenderbuffer(GLenum target, GLuint renderbuffer) { g_fb.fbo.bindRenderbuffer(target, renderbuffer); }
void RenderbufferStorage(GLenum target, GLenum internalFormat, GLsizei width, GLsizei height)
{
    g_fb.fbo.renderbufferStorage(target, internalFormat, width, height);
}

void UseDrawingArea(GLuint framebuffer, GLuint depthBuffer, bool colourHasAlpha, GLsizei width, GLsizei height)
{
    if (g_fb.rows.topDown && g_fb.rows.intoArea) AimAt(false);  // the boxes as the runtime set them
    g_fb.area.window = false;
    g_fb.area.width = width;
    g_fb.area.height = height;
    g_fb.area.framebuffer = framebuffer;
    g_fb.area.depthBuffer = depthBuffer;
    g_fb.area.depthAttached = false;
    g_fb.area.hasAlpha = framebuffer != 0 && colourHasAlpha;
    if (framebuffer != 0 && depthBuffer != 0 && g_fb.area.depthWanted) AttachDepthBuffer();

    g_fb.rows.topDown = framebuffer != 0 && g_fb.fbo.clipControl != nullptr && !g_fb.rows.glOrderForGood;
    if (g_fb.rows.topDown) {
        RememberBoxes();
        if (BoundTo(GL_DRAW_FRAMEBUFFER_BINDING)) AimAt(true);
    }
}

void UseWindowAsDrawingArea()
{
    UseDrawingArea(0, 0, false, 0, 0);
    g_fb.area.window = true;
    if (g_fb.area.depthWanted) ClearWindowDepth();
}

void NeedDepthBuffer()
{
    const bool first = !g_fb.area.depthWanted;
    g_fb.area.depthWanted = true;
    if (g_fb.area.framebuffer != 0 && g_fb.area.depthBuffer != 0 && !g_fb.area.depthAttached) AttachDepthBuffer();
    // Until now the window's depth was left out of every clear.
    if (g_fb.area.window && first) ClearWindowDepth();
}

GLbitfield BuffersToClear(GLbitfield mask)
{
    // The window's depth buffer goes unused until something wants depth;
    // clearing it every frame would cost a software renderer as much as
    // clearing the colour.
    if (g_fb.area.window && !g_fb.area.depthWanted) mask &= ~static_cast<GLbitfield>(GL_DEPTH_BUFFER_BIT);
    return mask;
}

void BeforeReadingColour(GLint x, GLint y, GLsizei width, GLsizei height)
{
    if (!g_fb.area.hasAlpha || width <= 0 || height <= 0) return;
    GLint reading = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &reading);
    if (static_cast<GLuint>(reading) == g_fb.area.framebuffer) MakeAlphaOpaque(x, y, width, height, false);
}

void MakeDrawingAreaOpaque()
{
    if (g_fb.area.hasAlpha) MakeAlphaOpaque(0, 0, 0, 0, true);
}

void KeepGLRowOrder()
{
    g_fb.rows.glOrderForGood = true;
    if (!g_fb.rows.topDown) return;
    TurnAreaOver();
    if (g_fb.rows.intoArea) AimAt(false);
    g_fb.fbo.clipControl(GL_LOWER_LEFT, GL_NEGATIVE_ONE_TO_ONE);
    g_fb.rows.topDown = false;
}

bool DrawingAreaRowsTopDown() { return g_fb.rows.topDown; }

void SetViewport(GLint x, GLint y, GLsizei width, GLsizei height)
{
    SetBox(g_fb.rows.viewport, glViewport, x, y, width, height);
}

void SetScissor(GLint x, GLint y, GLsizei width, GLsizei height)
{
    SetBox(g_fb.rows.scissor, glScissor, x, y, width, height);
}

bool WindowBox(GLenum pname, GLint* box)
{
    if (!g_fb.rows.topDown || (pname != GL_VIEWPORT && pname != GL_SCISSOR_BOX)) return false;
    const GLint* kept = pname == GL_VIEWPORT ? g_fb.rows.viewport : g_fb.rows.scissor;
    std::copy(kept, kept + 4, box);
    return true;
}

void AfterPopAttrib()
{
    if (g_fb.rows.topDown) RememberBoxes();
}

void ReadFramebufferPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, GLvoid* pixels)
{
    if (!ReadingTopDownArea()) {
        glReadPixels(x, y, width, height, format, type, pixels);
        return;
    }
    glReadPixels(x, TurnedOver(y, height), width, height, format, type, pixels);
    if (width > 0 && height > 1) ReverseReadRows(width, height, format, type, pixels);
}

void CopyFramebufferToTexture(GLenum target, GLint level, GLint xoffset, GLint yoffset, GLint x, GLint y,
                              GLsizei width, GLsizei height)
{
    if (target != GL_TEXTURE_2D || width <= 0 || height <= 0 || !ReadingTopDownArea())
        glCopyTexSubImage2D(target, level, xoffset, yoffset, x, y, width, height);
    else
        CopyTurnedOver(level, xoffset, yoffset, x, TurnedOver(y, height), width, height);
}

void CopyFramebufferToNewTexture(GLenum target, GLint level, GLenum internalformat, GLint x, GLint y, GLsizei width,
                                 GLsizei height, GLint border)
{
    if (target != GL_TEXTURE_2D || border != 0 || width <= 0 || height <= 0 || !ReadingTopDownArea()) {
        glCopyTexImage2D(target, level, internalformat, x, y, width, height, border);
        return;
    }
    glTexImage2D(target, level, static_cast<GLint>(internalformat), width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 nullptr);
    CopyTurnedOver(level, 0, 0, x, TurnedOver(y, height), width, height);
}

void DrawPixelsAtRasterPosition(GLsizei width, GLsizei height, GLenum format, GLenum type, const GLvoid* pixels)
{
    if (!(g_fb.rows.topDown && g_fb.rows.intoArea)) {
        glDrawPixels(width, height, format, type, pixels);
        return;
    }
    // Rows go up the window from the raster position: down the area's memory.
    GLfloat zoomX = 1, zoomY = 1;
    glGetFloatv(GL_ZOOM_X, &zoomX);
    glGetFloatv(GL_ZOOM_Y, &zoomY);
    glPixelZoom(zoomX, -zoomY);
    glDrawPixels(width, height, format, type, pixels);
    glPixelZoom(zoomX, zoomY);
}

}  // namespace gl
