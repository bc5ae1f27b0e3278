// Vertex-array drawing of triangle lists, through the stream buffer.
#include "gfx3d/mesh_arrays.h"

#include <GL/gl.h>

#include <cstddef>
#include <cstring>

#include "gfx/opengl_rainbows.h"
#include "gfx3d/bump_light.h"

namespace {

bool HaveBufferObjects()
{
    return glGenBuffersARB != nullptr && glBindBufferARB != nullptr && glBufferDataARB != nullptr &&
           glMapBufferARB != nullptr && glUnmapBufferARB != nullptr;
}

// Copies the vertices into the mesh's stream buffer and leaves it bound.
// The buffer is filled whole at its creation and refilled through a mapped
// pointer after that; a mesh keeps its vertex count until it is cleared,
// which releases the buffer.
void Upload(MeshObjectX& mesh, const POLY_NODE* source, std::int32_t count)
{
    const GLsizeiptrARB bytes = static_cast<GLsizeiptrARB>(count) * static_cast<GLsizeiptrARB>(sizeof(POLY_NODE));
    if (mesh.streamBuffer == 0) {
        GLuint name = 0;
        glGenBuffersARB(1, &name);
        mesh.streamBuffer = name;
        glBindBufferARB(GL_ARRAY_BUFFER_ARB, name);
        glBufferDataARB(GL_ARRAY_BUFFER_ARB, bytes, source, GL_STREAM_DRAW_ARB);
        return;
    }
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, mesh.streamBuffer);
    void* mapped = glMapBufferARB(GL_ARRAY_BUFFER_ARB, GL_WRITE_ONLY_ARB);
    if (mapped != nullptr) {
        std::memcpy(mapped, source, static_cast<std::size_t>(bytes));
        if (glUnmapBufferARB(GL_ARRAY_BUFFER_ARB) == GL_TRUE) return;
    }
    // No mapping (or its contents were lost): refill the buffer directly.
    glBufferDataARB(GL_ARRAY_BUFFER_ARB, bytes, source, GL_STREAM_DRAW_ARB);
}

}  // namespace

void DrawTriangleArrays(MeshObjectX& mesh, const POLY_NODE* source, std::int32_t count, bool bump)
{
    if (count <= 0 || source == nullptr) {
        RestoreTextureStages();
        return;
    }
    const bool buffered = HaveBufferObjects();
    // With a bound buffer the pointers are offsets into it.
    const char* base = reinterpret_cast<const char*>(source);
    if (buffered) {
        Upload(mesh, source, count);
        base = nullptr;
    }
    constexpr GLsizei stride = sizeof(POLY_NODE);
    const bool bumpArrays = bump && glClientActiveTextureARB != nullptr;

    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, stride, base + offsetof(POLY_NODE, position));
    if (bumpArrays) {
        for (GLenum unit : {GL_TEXTURE1_ARB, GL_TEXTURE0_ARB}) {
            glClientActiveTextureARB(unit);
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            glTexCoordPointer(2, GL_FLOAT, stride, base + offsetof(POLY_NODE, uv));
        }
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(3, GL_FLOAT, stride, base + offsetof(POLY_NODE, light));
    } else {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, stride, base + offsetof(POLY_NODE, uv));
        if (mesh.hasColours != 0) {
            glEnableClientState(GL_COLOR_ARRAY);
            glColorPointer(3, GL_UNSIGNED_BYTE, stride, base + offsetof(POLY_NODE, colour));
        }
    }

    glDrawArrays(GL_TRIANGLES, 0, count);

    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    if (bumpArrays) {
        glClientActiveTextureARB(GL_TEXTURE1_ARB);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glClientActiveTextureARB(GL_TEXTURE0_ARB);
    }
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    // Other drawing uses client memory: its pointers must not land in the buffer.
    if (buffered) glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    RestoreTextureStages();
}
