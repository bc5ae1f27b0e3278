// OpenGL calls that bypass the runtime's guards.
//
// Every program linked with the runtime reaches the OpenGL functions that
// change drawing state or read or add pixels through guards
// (gl_call_guards.cpp): they first draw what the 2D batch still holds and
// make the 2D layer forget what it believed about the GL state. The 2D
// layer itself sends its state through these real entry points, so its own
// calls neither flush nor invalidate anything.
#pragma once

#include <GL/gl.h>

extern "C" {
void __real_glEnable(GLenum cap);
void __real_glDisable(GLenum cap);
void __real_glBindTexture(GLenum target, GLuint texture);
void __real_glBlendFunc(GLenum sfactor, GLenum dfactor);
void __real_glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a);
void __real_glTexParameteri(GLenum target, GLenum name, GLint value);
}
