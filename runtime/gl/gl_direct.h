// OpenGL calls that bypass the guards of gl/gl_calls.h, for the 2D layer
// alone: it sends its own state through these, so its calls neither draw
// the batch early nor make it forget what it believes about the state.
#pragma once

#include <GL/gl.h>

namespace gl::direct {

void Enable(GLenum cap);
void Disable(GLenum cap);
void Color4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a);

}  // namespace gl::direct
