#include "gl/framebuffers.h"

#include <GL/glext.h>

#include <cstdio>

#include "platform/platform.h"

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
};

FramebufferFunctions g_fbo;

struct DrawingArea {
    GLuint framebuffer = 0;
    GLuint depthBuffer = 0;
    bool depthAttached = false;
    bool depthWanted = false;  // something has tested depth: every area gets it at once
    bool hasAlpha = false;     // alpha bits that must read as 1
};

DrawingArea g_area;

// Binds the drawing area for drawing; returns what was bound before.
GLint BindDrawingArea()
{
    GLint before = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &before);
    g_fbo.bindFramebuffer(GL_DRAW_FRAMEBUFFER, g_area.framebuffer);
    return before;
}

void AttachDepthBuffer()
{
    const GLint before = BindDrawingArea();
    g_fbo.framebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, g_area.depthBuffer);
    g_area.depthAttached = true;
    if (g_fbo.checkFramebufferStatus(GL_DRAW_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        std::fprintf(stderr, "The drawing area's depth buffer cannot be attached; depth is not tested\n");
        g_fbo.framebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, 0);
    } else {
        // Never cleared while detached: it starts as every frame would
        // have left it, cleared, whole.
        GLboolean depthMask = GL_TRUE;
        glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);
        const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
        glDepthMask(GL_TRUE);
        glDisable(GL_SCISSOR_TEST);
        glClear(GL_DEPTH_BUFFER_BIT);
        if (scissor) glEnable(GL_SCISSOR_TEST);
        glDepthMask(depthMask);
    }
    g_fbo.bindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(before));
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
        glScissor(x, y, width, height);
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
    g_fbo.bindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(before));
}

template <typename Function>
bool Load(Function& entry, const char* name)
{
    entry = reinterpret_cast<Function>(platform::GetGLProcAddress(name));
    return entry != nullptr;
}

}  // namespace

bool LoadFramebufferFunctions()
{
    // Every lookup is made, so that none is left from an earlier context.
    bool all = Load(g_fbo.genFramebuffers, "glGenFramebuffers");
    all = Load(g_fbo.deleteFramebuffers, "glDeleteFramebuffers") && all;
    all = Load(g_fbo.bindFramebuffer, "glBindFramebuffer") && all;
    all = Load(g_fbo.genRenderbuffers, "glGenRenderbuffers") && all;
    all = Load(g_fbo.deleteRenderbuffers, "glDeleteRenderbuffers") && all;
    all = Load(g_fbo.bindRenderbuffer, "glBindRenderbuffer") && all;
    all = Load(g_fbo.renderbufferStorage, "glRenderbufferStorage") && all;
    all = Load(g_fbo.framebufferRenderbuffer, "glFramebufferRenderbuffer") && all;
    all = Load(g_fbo.checkFramebufferStatus, "glCheckFramebufferStatus") && all;
    all = Load(g_fbo.blitFramebuffer, "glBlitFramebuffer") && all;
    all = Load(g_fbo.framebufferTexture2D, "glFramebufferTexture2D") && all;
    return all;
}

void GenFramebuffers(GLsizei n, GLuint* framebuffers) { g_fbo.genFramebuffers(n, framebuffers); }
void DeleteFramebuffers(GLsizei n, const GLuint* framebuffers) { g_fbo.deleteFramebuffers(n, framebuffers); }
void BindFramebuffer(GLenum target, GLuint framebuffer) { g_fbo.bindFramebuffer(target, framebuffer); }
GLenum CheckFramebufferStatus(GLenum target) { return g_fbo.checkFramebufferStatus(target); }
void FramebufferRenderbuffer(GLenum target, GLenum attachment, GLenum renderbufferTarget, GLuint renderbuffer)
{
    g_fbo.framebufferRenderbuffer(target, attachment, renderbufferTarget, renderbuffer);
}
void FramebufferTexture2D(GLenum target, GLenum attachment, GLenum textureTarget, GLuint texture, GLint level)
{
    g_fbo.framebufferTexture2D(target, attachment, textureTarget, texture, level);
}
void BlitFramebuffer(GLint srcX0, GLint srcY0, GLint srcX1, GLint srcY1, GLint dstX0, GLint dstY0, GLint dstX1,
                     GLint dstY1, GLbitfield mask, GLenum filter)
{
    g_fbo.blitFramebuffer(srcX0, srcY0, srcX1, srcY1, dstX0, dstY0, dstX1, dstY1, mask, filter);
}
void GenRenderbuffers(GLsizei n, GLuint* renderbuffers) { g_fbo.genRenderbuffers(n, renderbuffers); }
void DeleteRenderbuffers(GLsizei n, const GLuint* renderbuffers) { g_fbo.deleteRenderbuffers(n, renderbuffers); }
void BindRenderbuffer(GLenum target, GLuint renderbuffer) { g_fbo.bindRenderbuffer(target, renderbuffer); }
void RenderbufferStorage(GLenum target, GLenum internalFormat, GLsizei width, GLsizei height)
{
    g_fbo.renderbufferStorage(target, internalFormat, width, height);
}

void UseDrawingArea(GLuint framebuffer, GLuint depthBuffer, bool colourHasAlpha)
{
    g_area.framebuffer = framebuffer;
    g_area.depthBuffer = depthBuffer;
    g_area.depthAttached = false;
    g_area.hasAlpha = framebuffer != 0 && colourHasAlpha;
    if (framebuffer != 0 && depthBuffer != 0 && g_area.depthWanted) AttachDepthBuffer();
}

void NeedDepthBuffer()
{
    g_area.depthWanted = true;
    if (g_area.framebuffer != 0 && g_area.depthBuffer != 0 && !g_area.depthAttached) AttachDepthBuffer();
}

void BeforeReadingColour(GLint x, GLint y, GLsizei width, GLsizei height)
{
    if (!g_area.hasAlpha || width <= 0 || height <= 0) return;
    GLint reading = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &reading);
    if (static_cast<GLuint>(reading) == g_area.framebuffer) MakeAlphaOpaque(x, y, width, height, false);
}

void MakeDrawingAreaOpaque()
{
    if (g_area.hasAlpha) MakeAlphaOpaque(0, 0, 0, 0, true);
}

}  // namespace gl
