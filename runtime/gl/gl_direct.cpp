#include "gl/gl_direct.h"

namespace gl::direct {

void Enable(GLenum cap) { glEnable(cap); }
void Disable(GLenum cap) { glDisable(cap); }
void Color4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) { glColor4f(r, g, b, a); }

}  // namespace gl::direct
