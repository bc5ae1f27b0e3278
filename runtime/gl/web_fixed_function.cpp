// The fixed-function OpenGL the 3D layer uses and the browser's emulation
// of it (Emscripten's legacy GL emulation on WebGL) lacks. Built only for
// the web (web/KvWeb.cmake); on the desktop the real OpenGL has all of it.
//
// - Display lists: none can be made. glGenLists answers 0, as OpenGL does
//   when it has no list names left, and the 3D layer then draws every frame
//   of a mesh from its vertex arrays, the same triangles. The other list
//   calls are never reached with a list; they do nothing.
// - glPushAttrib / glPopAttrib: the enable flags (GL_ENABLE_BIT) and the
//   line width (GL_LINE_BIT). The point size and the current colour cannot
//   be read back from the emulation: GL_POINT_BIT restores size 1 (the size
//   the runtime draws with everywhere outside such a bracket), and the
//   colour (GL_CURRENT_BIT) stays as the last draw set it (everything the
//   runtime draws sets its colour first).
// - glGetDoublev: glGetFloatv, widened.
// - Spot lights: the emulation's lights shine in every direction (its
//   glLightfv throws on GL_SPOT_DIRECTION). gl::WebLightfv and glLightf
//   drop the spot parameters, so a spot light lights as a point light at
//   the same place; the console says so once.
// - Reading a texture back (glGetTexImage, glGetTexLevelParameteriv):
//   WebGL can do neither (the emulation's glGetTexLevelParameteriv throws).
//   The size reads as 0 and nothing is read, so the pixel-exact sprite
//   collision finds no opaque pixels; the console says so once.
#include <GL/gl.h>

#include <cstdio>
#include <vector>

#include "gl/gl_calls.h"

namespace {

// The switches glPushAttrib(GL_ENABLE_BIT) keeps: what the runtime turns on
// and off, and the lights.
constexpr GLenum kEnableFlags[] = {
    GL_ALPHA_TEST, GL_BLEND,       GL_COLOR_MATERIAL, GL_CULL_FACE, GL_DEPTH_TEST, GL_FOG,
    GL_LIGHTING,   GL_NORMALIZE,   GL_SCISSOR_TEST,   GL_TEXTURE_2D, GL_LIGHT0,    GL_LIGHT1,
    GL_LIGHT2,     GL_LIGHT3,      GL_LIGHT4,         GL_LIGHT5,     GL_LIGHT6,    GL_LIGHT7};
constexpr int kEnableFlagCount = sizeof(kEnableFlags) / sizeof(kEnableFlags[0]);

struct SavedAttributes {
    GLbitfield mask = 0;
    bool enabled[kEnableFlagCount] = {};
    GLfloat lineWidth = 1;
};

// The attribute stack. OpenGL's is at least 16 deep; deeper pushes are
// refused as GL_STACK_OVERFLOW would refuse them.
constexpr std::size_t kAttributeStackDepth = 16;

std::vector<SavedAttributes>& AttributeStack()
{
    static std::vector<SavedAttributes> stack;
    return stack;
}

void SayNoSpotLights()
{
    static bool said = false;
    if (said) return;
    said = true;
    std::fprintf(stderr, "Zorvelin runtime: spot lights are not available in the browser; they light as point lights\n");
}

void SayNoTextureReading()
{
    static bool said = false;
    if (said) return;
    said = true;
    std::fprintf(stderr, "Zorvelin runtime: textures cannot be read back in the browser; "
                         "SPRCOLL finds no collision\n");
}

}  // namespace

extern "C" {

GLuint glGenLists(GLsizei) { return 0; }
void glNewList(GLuint, GLenum) {}
void glEndList() {}
void glCallList(GLuint) {}
void glDeleteLists(GLuint, GLsizei) {}

void glPushAttrib(GLbitfield mask)
{
    std::vector<SavedAttributes>& stack = AttributeStack();
    if (stack.size() >= kAttributeStackDepth) {
        std::fprintf(stderr, "Zorvelin runtime: glPushAttrib: the attribute stack is full\n");
        return;
    }
    SavedAttributes saved;
    saved.mask = mask;
    if (mask & GL_ENABLE_BIT) {
        for (int k = 0; k < kEnableFlagCount; ++k) saved.enabled[k] = glIsEnabled(kEnableFlags[k]) != GL_FALSE;
    }
    if (mask & GL_LINE_BIT) glGetFloatv(GL_LINE_WIDTH, &saved.lineWidth);
    stack.push_back(saved);
}

void glPopAttrib()
{
    std::vector<SavedAttributes>& stack = AttributeStack();
    if (stack.empty()) return;
    const SavedAttributes saved = stack.back();
    stack.pop_back();
    if (saved.mask & GL_ENABLE_BIT) {
        for (int k = 0; k < kEnableFlagCount; ++k) {
            if (saved.enabled[k]) glEnable(kEnableFlags[k]);
            else glDisable(kEnableFlags[k]);
        }
    }
    if (saved.mask & GL_POINT_BIT) glPointSize(1);
    if (saved.mask & GL_LINE_BIT) glLineWidth(saved.lineWidth);
}

void glGetDoublev(GLenum pname, GLdouble* params)
{
    // As many values as the state has: a matrix 16, the viewport and
    // colours 4, the rest one.
    int count = 1;
    if (pname == GL_MODELVIEW_MATRIX || pname == GL_PROJECTION_MATRIX || pname == GL_TEXTURE_MATRIX) count = 16;
    else if (pname == GL_VIEWPORT || pname == GL_COLOR_CLEAR_VALUE || pname == GL_CURRENT_COLOR) count = 4;
    GLfloat values[16] = {};
    glGetFloatv(pname, values);
    for (int k = 0; k < count; ++k) params[k] = values[k];
}

void glGetTexLevelParameteriv(GLenum, GLint, GLenum, GLint* params)
{
    SayNoTextureReading();
    *params = 0;
}

void glGetTexImage(GLenum, GLint, GLenum, GLenum, GLvoid*) { SayNoTextureReading(); }

void glLightf(GLenum, GLenum pname, GLfloat)
{
    if (pname == GL_SPOT_CUTOFF || pname == GL_SPOT_EXPONENT) SayNoSpotLights();
}

}  // extern "C"

namespace gl {

void WebLightfv(GLenum light, GLenum pname, const GLfloat* params)
{
    if (pname == GL_SPOT_DIRECTION) {
        SayNoSpotLights();
        return;
    }
    ::glLightfv(light, pname, params);
}

}  // namespace gl
