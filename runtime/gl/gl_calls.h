// The runtime's one way to OpenGL. Every part of the runtime outside
// runtime/gl makes its OpenGL calls through these functions, never
// directly: the 2D layer keeps vertices pending and believes it knows part
// of the GL state (gl/batch2d.h, gl/gl_state_shadow.h), so a call that
// draws, reads pixels or changes that state first lets the 2D batch draw
// what it holds and forget what it believed. Then the 3D layer, the pixel
// readers and the present see the picture and the state exactly as if
// every 2D command had drawn at once. The other calls pass straight
// through.
//
// The GL types and constants (GLenum, GL_TEXTURE_2D, ...) come with this
// header. After it, the raw gl* function names are poisoned for every file
// outside runtime/gl (the module's own files define KV_GL_OWNER): a direct
// call does not compile. The runtime's build includes this header first in
// every source file, so no file can slip past it.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

#include "gl/framebuffers.h"
#include "gl/gl_extensions.h"

namespace gl {

namespace detail {
// Draws what the 2D batch holds and makes the 2D layer forget the GL state
// it believed in. While the batch itself draws, it does nothing.
void Finish2D();
// The same, and the picture counts as drawn by someone else.
void Finish2DBeforeDrawing();
// Finish2D, and the 2D projection is no longer known to be in force.
void Finish2DMovingTransform();
}  // namespace detail

// Drawing and clearing: pending 2D drawing goes first, and the picture may change.
inline void Begin(GLenum mode) { detail::Finish2DBeforeDrawing(); ::glBegin(mode); }
inline void CallList(GLuint list) { detail::Finish2DBeforeDrawing(); ::glCallList(list); }
inline void DrawArrays(GLenum mode, GLint first, GLsizei count)
    { detail::Finish2DBeforeDrawing(); ::glDrawArrays(mode, first, count); }
inline void DrawElements(GLenum mode, GLsizei count, GLenum type, const GLvoid* indices)
    { detail::Finish2DBeforeDrawing(); ::glDrawElements(mode, count, type, indices); }
inline void DrawPixels(GLsizei width, GLsizei height, GLenum format, GLenum type, const GLvoid* pixels)
    { detail::Finish2DBeforeDrawing(); DrawPixelsAtRasterPosition(width, height, format, type, pixels); }
inline void Clear(GLbitfield mask) { detail::Finish2DBeforeDrawing(); ::glClear(BuffersToClear(mask)); }

// Reading pixels and waiting for the picture: pending 2D drawing goes first.
inline void ReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, GLvoid* pixels)
{
    detail::Finish2D();
    if (format == GL_DEPTH_COMPONENT) NeedDepthBuffer();
    if (format == GL_RGBA || format == GL_BGRA || format == GL_ALPHA) BeforeReadingColour(x, y, width, height);
    ReadFramebufferPixels(x, y, width, height, format, type, pixels);
}
inline void CopyTexImage2D(GLenum target, GLint level, GLenum internalformat, GLint x, GLint y, GLsizei width,
                           GLsizei height, GLint border)
{
    detail::Finish2D();
    BeforeReadingColour(x, y, width, height);
    CopyFramebufferToNewTexture(target, level, internalformat, x, y, width, height, border);
}
inline void CopyTexSubImage2D(GLenum target, GLint level, GLint xoffset, GLint yoffset, GLint x, GLint y,
                              GLsizei width, GLsizei height)
{
    detail::Finish2D();
    BeforeReadingColour(x, y, width, height);
    CopyFramebufferToTexture(target, level, xoffset, yoffset, x, y, width, height);
}
inline void GetTexImage(GLenum target, GLint level, GLenum format, GLenum type, GLvoid* pixels)
    { detail::Finish2D(); ::glGetTexImage(target, level, format, type, pixels); }
inline void Finish() { detail::Finish2D(); ::glFinish(); }
inline void Flush() { detail::Finish2D(); ::glFlush(); }

// State a 2D draw depends on: pending 2D drawing goes first, and the 2D
// layer forgets what it believed.
inline void Enable(GLenum cap)
{
    detail::Finish2D();
    if (cap == GL_DEPTH_TEST) NeedDepthBuffer();  // the drawing area gets its depth buffer on first use
    ::glEnable(cap);
}
inline void Disable(GLenum cap) { detail::Finish2D(); ::glDisable(cap); }
inline void BindTexture(GLenum target, GLuint texture) { detail::Finish2D(); ::glBindTexture(target, texture); }
inline void DeleteTextures(GLsizei n, const GLuint* textures) { detail::Finish2D(); ::glDeleteTextures(n, textures); }
inline void TexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
                       GLenum format, GLenum type, const GLvoid* pixels)
    { detail::Finish2D(); ::glTexImage2D(target, level, internalFormat, width, height, border, format, type, pixels); }
inline void TexSubImage2D(GLenum target, GLint level, GLint xoffset, GLint yoffset, GLsizei width, GLsizei height,
                          GLenum format, GLenum type, const GLvoid* pixels)
    { detail::Finish2D(); ::glTexSubImage2D(target, level, xoffset, yoffset, width, height, format, type, pixels); }
inline void TexParameteri(GLenum target, GLenum pname, GLint param)
    { detail::Finish2D(); ::glTexParameteri(target, pname, param); }
inline void TexEnvi(GLenum target, GLenum pname, GLint param)
    { detail::Finish2D(); ::glTexEnvi(target, pname, param); }
inline void BlendFunc(GLenum sfactor, GLenum dfactor) { detail::Finish2D(); ::glBlendFunc(sfactor, dfactor); }
inline void AlphaFunc(GLenum func, GLclampf ref) { detail::Finish2D(); ::glAlphaFunc(func, ref); }
inline void Color3f(GLfloat red, GLfloat green, GLfloat blue) { detail::Finish2D(); ::glColor3f(red, green, blue); }
inline void Color3ub(GLubyte red, GLubyte green, GLubyte blue) { detail::Finish2D(); ::glColor3ub(red, green, blue); }
inline void Color4f(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha)
    { detail::Finish2D(); ::glColor4f(red, green, blue, alpha); }
inline void Color4ub(GLubyte red, GLubyte green, GLubyte blue, GLubyte alpha)
    { detail::Finish2D(); ::glColor4ub(red, green, blue, alpha); }
inline void PushAttrib(GLbitfield mask) { detail::Finish2D(); ::glPushAttrib(mask); }
inline void PopAttrib() { detail::Finish2DMovingTransform(); ::glPopAttrib(); AfterPopAttrib(); }
inline void ShadeModel(GLenum mode) { detail::Finish2D(); ::glShadeModel(mode); }
inline void FrontFace(GLenum mode) { detail::Finish2D(); ::glFrontFace(mode); }
inline void CullFace(GLenum mode) { detail::Finish2D(); ::glCullFace(mode); }
inline void DepthFunc(GLenum func) { detail::Finish2D(); ::glDepthFunc(func); }
inline void DepthMask(GLboolean flag) { detail::Finish2D(); ::glDepthMask(flag); }
inline void Viewport(GLint x, GLint y, GLsizei width, GLsizei height)
    { detail::Finish2DMovingTransform(); SetViewport(x, y, width, height); }
inline void MatrixMode(GLenum mode) { detail::Finish2D(); ::glMatrixMode(mode); }
inline void LoadIdentity() { detail::Finish2DMovingTransform(); ::glLoadIdentity(); }
inline void LoadMatrixf(const GLfloat* m) { detail::Finish2DMovingTransform(); ::glLoadMatrixf(m); }
inline void MultMatrixf(const GLfloat* m) { detail::Finish2DMovingTransform(); ::glMultMatrixf(m); }
inline void PushMatrix() { detail::Finish2D(); ::glPushMatrix(); }
inline void PopMatrix() { detail::Finish2DMovingTransform(); ::glPopMatrix(); }
inline void Translatef(GLfloat x, GLfloat y, GLfloat z) { detail::Finish2DMovingTransform(); ::glTranslatef(x, y, z); }
inline void Rotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z)
    { detail::Finish2DMovingTransform(); ::glRotatef(angle, x, y, z); }
inline void Scalef(GLfloat x, GLfloat y, GLfloat z) { detail::Finish2DMovingTransform(); ::glScalef(x, y, z); }
inline void Ortho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble near_val, GLdouble far_val)
    { detail::Finish2DMovingTransform(); ::glOrtho(left, right, bottom, top, near_val, far_val); }
inline void Frustum(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble near_val, GLdouble far_val)
    { detail::Finish2DMovingTransform(); ::glFrustum(left, right, bottom, top, near_val, far_val); }

// Calls the 2D layer neither tracks nor needs drawn before: straight through.
inline void ClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha)
    { ::glClearColor(red, green, blue, alpha); }
inline void ColorPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* ptr)
    { ::glColorPointer(size, type, stride, ptr); }
inline void DeleteLists(GLuint list, GLsizei range) { ::glDeleteLists(list, range); }
inline void DisableClientState(GLenum cap) { ::glDisableClientState(cap); }
inline void EnableClientState(GLenum cap) { ::glEnableClientState(cap); }
inline void End() { ::glEnd(); }
inline void EndList() { ::glEndList(); }
inline GLuint GenLists(GLsizei range) { return ::glGenLists(range); }
inline void GenTextures(GLsizei n, GLuint* textures) { ::glGenTextures(n, textures); }
inline void GetBooleanv(GLenum pname, GLboolean* params) { ::glGetBooleanv(pname, params); }
inline void GetDoublev(GLenum pname, GLdouble* params) { ::glGetDoublev(pname, params); }
inline GLenum GetError() { return ::glGetError(); }
inline void GetFloatv(GLenum pname, GLfloat* params) { ::glGetFloatv(pname, params); }
inline void GetIntegerv(GLenum pname, GLint* params)
    { if (!WindowBox(pname, params)) ::glGetIntegerv(pname, params); }
inline void GetLightfv(GLenum light, GLenum pname, GLfloat* params) { ::glGetLightfv(light, pname, params); }
inline const GLubyte* GetString(GLenum name) { return ::glGetString(name); }
inline void GetTexEnviv(GLenum target, GLenum pname, GLint* params) { ::glGetTexEnviv(target, pname, params); }
inline void GetTexLevelParameteriv(GLenum target, GLint level, GLenum pname, GLint* params)
    { ::glGetTexLevelParameteriv(target, level, pname, params); }
inline void Hint(GLenum target, GLenum mode) { ::glHint(target, mode); }
inline GLboolean IsEnabled(GLenum cap) { return ::glIsEnabled(cap); }
inline void Lightf(GLenum light, GLenum pname, GLfloat param) { ::glLightf(light, pname, param); }
#ifdef __EMSCRIPTEN__
// The browser's emulation has no spot lights (gl/web_fixed_function.cpp).
void WebLightfv(GLenum light, GLenum pname, const GLfloat* params);
inline void Lightfv(GLenum light, GLenum pname, const GLfloat* params) { WebLightfv(light, pname, params); }
#else
inline void Lightfv(GLenum light, GLenum pname, const GLfloat* params) { ::glLightfv(light, pname, params); }
#endif
inline void LineWidth(GLfloat width) { ::glLineWidth(width); }
inline void NewList(GLuint list, GLenum mode) { ::glNewList(list, mode); }
inline void Normal3fv(const GLfloat* v) { ::glNormal3fv(v); }
inline void NormalPointer(GLenum type, GLsizei stride, const GLvoid* ptr) { ::glNormalPointer(type, stride, ptr); }
inline void PixelStorei(GLenum pname, GLint param) { ::glPixelStorei(pname, param); }
inline void PixelZoom(GLfloat xfactor, GLfloat yfactor) { ::glPixelZoom(xfactor, yfactor); }
inline void PointSize(GLfloat size) { ::glPointSize(size); }
inline void PopClientAttrib() { ::glPopClientAttrib(); }
inline void PushClientAttrib(GLbitfield mask) { ::glPushClientAttrib(mask); }
inline void RasterPos2i(GLint x, GLint y) { ::glRasterPos2i(x, y); }
inline void Scissor(GLint x, GLint y, GLsizei width, GLsizei height) { SetScissor(x, y, width, height); }
inline void TexCoord2f(GLfloat s, GLfloat t) { ::glTexCoord2f(s, t); }
inline void TexCoordPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* ptr)
    { ::glTexCoordPointer(size, type, stride, ptr); }
inline void Vertex2f(GLfloat x, GLfloat y) { ::glVertex2f(x, y); }
inline void Vertex3f(GLfloat x, GLfloat y, GLfloat z) { ::glVertex3f(x, y, z); }
inline void Vertex3fv(const GLfloat* v) { ::glVertex3fv(v); }
inline void VertexPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* ptr)
    { ::glVertexPointer(size, type, stride, ptr); }

// Extension entry points (loaded once, gl/gl_extensions.h); callers ask
// HasMultitexture() and friends first. Choosing the active or client
// texture unit changes state the 2D layer tracks.
inline void ActiveTextureARB(GLenum unit) { detail::Finish2D(); Extensions().activeTexture(unit); }
inline void ClientActiveTextureARB(GLenum unit) { detail::Finish2D(); Extensions().clientActiveTexture(unit); }
inline void MultiTexCoord2fARB(GLenum unit, GLfloat s, GLfloat t) { Extensions().multiTexCoord2f(unit, s, t); }
inline void GenBuffersARB(GLsizei n, GLuint* buffers) { Extensions().genBuffers(n, buffers); }
inline void BindBufferARB(GLenum target, GLuint buffer) { Extensions().bindBuffer(target, buffer); }
inline void BufferDataARB(GLenum target, GLsizeiptrARB size, const void* data, GLenum usage)
    { Extensions().bufferData(target, size, data, usage); }
inline void DeleteBuffersARB(GLsizei n, const GLuint* buffers) { Extensions().deleteBuffers(n, buffers); }
inline void* MapBufferARB(GLenum target, GLenum access) { return Extensions().mapBuffer(target, access); }
inline GLboolean UnmapBufferARB(GLenum target) { return Extensions().unmapBuffer(target); }

}  // namespace gl

#ifndef KV_GL_OWNER
#include "gl/gl_poison.h"
#endif
