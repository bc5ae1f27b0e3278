// Framebuffer objects, of which the platform makes the logical drawing area
// (platform/sdl_window.cpp). Their entry points are looked up when the
// context is made; the calls pass straight through, as the platform only
// makes, binds and shows the drawing area once the 2D batch has drawn.
#pragma once

#include <GL/gl.h>

namespace gl {

// Looks the entry points up in the current context; false when any is
// missing (then none may be called).
bool LoadFramebufferFunctions();

void GenFramebuffers(GLsizei n, GLuint* framebuffers);
void DeleteFramebuffers(GLsizei n, const GLuint* framebuffers);
void BindFramebuffer(GLenum target, GLuint framebuffer);
GLenum CheckFramebufferStatus(GLenum target);
void FramebufferRenderbuffer(GLenum target, GLenum attachment, GLenum renderbufferTarget, GLuint renderbuffer);
void BlitFramebuffer(GLint srcX0, GLint srcY0, GLint srcX1, GLint srcY1, GLint dstX0, GLint dstY0, GLint dstX1,
                     GLint dstY1, GLbitfield mask, GLenum filter);
void GenRenderbuffers(GLsizei n, GLuint* renderbuffers);
void DeleteRenderbuffers(GLsizei n, const GLuint* renderbuffers);
void BindRenderbuffer(GLenum target, GLuint renderbuffer);
void RenderbufferStorage(GLenum target, GLenum internalFormat, GLsizei width, GLsizei height);

}  // namespace gl
