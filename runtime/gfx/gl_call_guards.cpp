// Guards in front of the OpenGL functions that draw, read or clear pixels,
// or change state a 2D draw depends on. The linker routes every call of
// these functions in the program and in the runtime here (--wrap, see
// CMakeLists.txt); each guard lets the 2D layer draw what it still holds
// and forget the state it believed in, then makes the real call. So a
// program that calls OpenGL itself, the 3D layer and the pixel readers see
// the picture and the state exactly as if every 2D command had drawn at
// once. While the 2D batch draws, its own calls pass straight through.
#include <GL/gl.h>

#include "frame/frame.h"
#include "gfx/opengl_rainbows.h"

namespace {

inline void BeforeForeignCall()
{
    if (pRbow != nullptr) pRbow->FinishPending2D();
}

inline void BeforeForeignDrawing()
{
    if (pRbow != nullptr) {
        pRbow->FinishPending2D();
        pRbow->NoteDrawing();
    }
}

}  // namespace

#define KV_GL_GUARD(name, params, args)          \
    extern "C" void __real_##name params;       \
    extern "C" void __wrap_##name params        \
    {                                           \
        BeforeForeignCall();                    \
        __real_##name args;                     \
    }

// The same for functions that may change the picture.
#define KV_GL_DRAWING_GUARD(name, params, args)  \
    extern "C" void __real_##name params;       \
    extern "C" void __wrap_##name params        \
    {                                           \
        BeforeForeignDrawing();                 \
        __real_##name args;                     \
    }

// Drawing and clearing.
KV_GL_DRAWING_GUARD(glBegin, (GLenum mode), (mode))
KV_GL_DRAWING_GUARD(glCallList, (GLuint list), (list))
KV_GL_DRAWING_GUARD(glDrawArrays, (GLenum mode, GLint first, GLsizei count), (mode, first, count))
KV_GL_DRAWING_GUARD(glDrawElements, (GLenum mode, GLsizei count, GLenum type, const GLvoid* indices),
                    (mode, count, type, indices))
KV_GL_DRAWING_GUARD(glDrawPixels, (GLsizei w, GLsizei h, GLenum format, GLenum type, const GLvoid* pixels),
                    (w, h, format, type, pixels))
KV_GL_DRAWING_GUARD(glClear, (GLbitfield mask), (mask))
// Reading.
KV_GL_GUARD(glReadPixels, (GLint x, GLint y, GLsizei w, GLsizei h, GLenum format, GLenum type, GLvoid* pixels),
            (x, y, w, h, format, type, pixels))
KV_GL_GUARD(glCopyTexImage2D,
            (GLenum target, GLint level, GLenum format, GLint x, GLint y, GLsizei w, GLsizei h, GLint border),
            (target, level, format, x, y, w, h, border))
KV_GL_GUARD(glCopyTexSubImage2D,
            (GLenum target, GLint level, GLint xo, GLint yo, GLint x, GLint y, GLsizei w, GLsizei h),
            (target, level, xo, yo, x, y, w, h))
KV_GL_GUARD(glGetTexImage, (GLenum target, GLint level, GLenum format, GLenum type, GLvoid* pixels),
            (target, level, format, type, pixels))
KV_GL_GUARD(glFinish, (void), ())
KV_GL_GUARD(glFlush, (void), ())

// State a 2D draw depends on.
KV_GL_GUARD(glEnable, (GLenum cap), (cap))
KV_GL_GUARD(glDisable, (GLenum cap), (cap))
KV_GL_GUARD(glBindTexture, (GLenum target, GLuint texture), (target, texture))
KV_GL_GUARD(glDeleteTextures, (GLsizei n, const GLuint* textures), (n, textures))
KV_GL_GUARD(glTexImage2D,
            (GLenum target, GLint level, GLint internal, GLsizei w, GLsizei h, GLint border, GLenum format,
             GLenum type, const GLvoid* pixels),
            (target, level, internal, w, h, border, format, type, pixels))
KV_GL_GUARD(glTexSubImage2D,
            (GLenum target, GLint level, GLint x, GLint y, GLsizei w, GLsizei h, GLenum format, GLenum type,
             const GLvoid* pixels),
            (target, level, x, y, w, h, format, type, pixels))
KV_GL_GUARD(glTexParameteri, (GLenum target, GLenum name, GLint value), (target, name, value))
KV_GL_GUARD(glTexEnvi, (GLenum target, GLenum name, GLint value), (target, name, value))
KV_GL_GUARD(glBlendFunc, (GLenum source, GLenum destination), (source, destination))
KV_GL_GUARD(glAlphaFunc, (GLenum func, GLclampf ref), (func, ref))
KV_GL_GUARD(glColor3f, (GLfloat r, GLfloat g, GLfloat b), (r, g, b))
KV_GL_GUARD(glColor3ub, (GLubyte r, GLubyte g, GLubyte b), (r, g, b))
KV_GL_GUARD(glColor4f, (GLfloat r, GLfloat g, GLfloat b, GLfloat a), (r, g, b, a))
KV_GL_GUARD(glColor4ub, (GLubyte r, GLubyte g, GLubyte b, GLubyte a), (r, g, b, a))
KV_GL_GUARD(glPushAttrib, (GLbitfield mask), (mask))
KV_GL_GUARD(glPopAttrib, (void), ())
KV_GL_GUARD(glShadeModel, (GLenum mode), (mode))
KV_GL_GUARD(glFrontFace, (GLenum mode), (mode))
KV_GL_GUARD(glCullFace, (GLenum mode), (mode))
KV_GL_GUARD(glDepthFunc, (GLenum func), (func))
KV_GL_GUARD(glDepthMask, (GLboolean flag), (flag))
KV_GL_GUARD(glViewport, (GLint x, GLint y, GLsizei w, GLsizei h), (x, y, w, h))
KV_GL_GUARD(glMatrixMode, (GLenum mode), (mode))
KV_GL_GUARD(glLoadIdentity, (void), ())
KV_GL_GUARD(glLoadMatrixf, (const GLfloat* m), (m))
KV_GL_GUARD(glMultMatrixf, (const GLfloat* m), (m))
KV_GL_GUARD(glPushMatrix, (void), ())
KV_GL_GUARD(glPopMatrix, (void), ())
KV_GL_GUARD(glTranslatef, (GLfloat x, GLfloat y, GLfloat z), (x, y, z))
KV_GL_GUARD(glRotatef, (GLfloat angle, GLfloat x, GLfloat y, GLfloat z), (angle, x, y, z))
KV_GL_GUARD(glScalef, (GLfloat x, GLfloat y, GLfloat z), (x, y, z))
KV_GL_GUARD(glOrtho, (GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f), (l, r, b, t, n, f))
KV_GL_GUARD(glFrustum, (GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f),
            (l, r, b, t, n, f))
