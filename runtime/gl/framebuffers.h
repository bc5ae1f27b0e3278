// Framebuffer objects, of which the platform makes the logical drawing area
// (platform/sdl_window.cpp). Their entry points are looked up when the
// context is made; the calls pass straight through, as the platform only
// makes, binds and shows the drawing area once the 2D batch has drawn.
// The module also keeps what the drawing area needs of the rest of GL: its
// depth buffer attached on first use and its alpha at 1.
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
void FramebufferTexture2D(GLenum target, GLenum attachment, GLenum textureTarget, GLuint texture, GLint level);
void BlitFramebuffer(GLint srcX0, GLint srcY0, GLint srcX1, GLint srcY1, GLint dstX0, GLint dstY0, GLint dstX1,
                     GLint dstY1, GLbitfield mask, GLenum filter);
void GenRenderbuffers(GLsizei n, GLuint* renderbuffers);
void DeleteRenderbuffers(GLsizei n, const GLuint* renderbuffers);
void BindRenderbuffer(GLenum target, GLuint renderbuffer);
void RenderbufferStorage(GLenum target, GLenum internalFormat, GLsizei width, GLsizei height);

// The drawing area as the platform made it (0, 0 when there is none). Its
// depth buffer stays detached until something tests depth, because
// software renderers rasterise into a colour-only framebuffer much faster;
// once attached, it stays, for this area and every area made after it.
// A colour buffer with alpha bits stands for an RGB one: alpha is not kept
// while drawing, and is made 1 wherever it is about to be read.
//
// Where the driver offers clip control, the area keeps its rows top-down,
// in the window's order, so that showing it is a straight copy; the
// functions below turn the window coordinates the runtime gives and reads
// over for it, so that everything outside this module sees GL's order.
void UseDrawingArea(GLuint framebuffer, GLuint depthBuffer, bool colourHasAlpha, GLsizei width, GLsizei height);

// The window's own back buffer as the drawing area, where the window shows
// the picture at its own size: nothing to copy when it is shown. Its rows
// are in GL's order. Its depth buffer is cleared on first use, as an
// area's is attached then, and left out of clears until then.
void UseWindowAsDrawingArea();

// Attaches the drawing area's depth buffer if it is not yet, cleared to the
// current clear depth. Called before depth testing is turned on or depth is
// read, and when a program takes over OpenGL.
void NeedDepthBuffer();

// What a clear of `mask` really needs to clear (gl/gl_calls.h).
GLbitfield BuffersToClear(GLbitfield mask);

// Before colour with alpha is read from the bound read framebuffer (pixels
// or a copy into a texture): if that is the drawing area, the rectangle's
// alpha is made 1 (window coordinates, origin bottom left).
void BeforeReadingColour(GLint x, GLint y, GLsizei width, GLsizei height);

// Alpha 1 across the drawing area, for a program that takes over OpenGL.
void MakeDrawingAreaOpaque();

// For a program that takes over OpenGL with calls not seen here: the area's
// rows go into GL's order, and stay so for every area made after it.
void KeepGLRowOrder();
// Whether the current drawing area keeps its rows top-down.
bool DrawingAreaRowsTopDown();

// The calls that name window coordinates, for gl/gl_calls.h: viewport and
// scissor box, what glGet reports of them (true when answered), pixels read
// or copied into a texture from the bound read framebuffer, and pixels
// drawn at the raster position.
void SetViewport(GLint x, GLint y, GLsizei width, GLsizei height);
void SetScissor(GLint x, GLint y, GLsizei width, GLsizei height);
bool WindowBox(GLenum pname, GLint* box);
void AfterPopAttrib();
void ReadFramebufferPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, GLvoid* pixels);
void CopyFramebufferToTexture(GLenum target, GLint level, GLint xoffset, GLint yoffset, GLint x, GLint y,
                              GLsizei width, GLsizei height);
void CopyFramebufferToNewTexture(GLenum target, GLint level, GLenum internalformat, GLint x, GLint y, GLsizei width,
                                 GLsizei height, GLint border);
void DrawPixelsAtRasterPosition(GLsizei width, GLsizei height, GLenum format, GLenum type, const GLvoid* pixels);

}  // namespace gl
