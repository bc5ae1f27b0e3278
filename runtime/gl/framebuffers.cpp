#include "gl/framebuffers.h"

#include <GL/glext.h>

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
};

FramebufferFunctions g_fbo;

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

}  // namespace gl
