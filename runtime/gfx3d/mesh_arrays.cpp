// Vertex-array drawing of triangle lists, through the stream buffer.
#include "gfx3d/mesh_arrays.h"

#include <cstddef>
#include <cstring>

#include "gfx/opengl_rainbows.h"
#include "gfx3d/bump_light.h"
#include "gl/gl_calls.h"

namespace {

bool HaveBufferObjects()
{
    return gl::HasBufferObjects();
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
        gl::GenBuffersARB(1, &name);
        mesh.streamBuffer = name;
        gl::BindBufferARB(GL_ARRAY_BUFFER_ARB, name);
        gl::BufferDataARB(GL_ARRAY_BUFFER_ARB, bytes, source, GL_STREAM_DRAW_ARB);
        return;
    }
    gl::BindBufferARB(GL_ARRAY_BUFFER_ARB, mesh.streamBuffer);
    void* mapped = gl::MapBufferARB(GL_ARRAY_BUFFER_ARB, GL_WRITE_ONLY_ARB);
    if (mapped != nullptr) {
        std::memcpy(mapped, source, static_cast<std::size_t>(bytes));
        if (gl::UnmapBufferARB(GL_ARRAY_BUFFER_ARB) == GL_TRUE) return;
    }
    // No mapping (or its contents were lost): refill the buffer directly.
    gl::BufferDataARB(GL_ARRAY_BUFFER_ARB, bytes, source, GL_STREAM_DRAW_ARB);
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
    const bool bumpArrays = bump && gl::HasClientActiveTexture();

    gl::EnableClientState(GL_VERTEX_ARRAY);
    gl::VertexPointer(3, GL_FLOAT, stride, base + offsetof(POLY_NODE, position));
    if (bumpArrays) {
        for (GLenum unit : {GL_TEXTURE1_ARB, GL_TEXTURE0_ARB}) {
            gl::ClientActiveTextureARB(unit);
            gl::EnableClientState(GL_TEXTURE_COORD_ARRAY);
            gl::TexCoordPointer(2, GL_FLOAT, stride, base + offsetof(POLY_NODE, uv));
        }
        gl::EnableClientState(GL_COLOR_ARRAY);
        gl::ColorPointer(3, GL_FLOAT, stride, base + offsetof(POLY_NODE, light));
    } else {
        gl::EnableClientState(GL_TEXTURE_COORD_ARRAY);
        gl::TexCoordPointer(2, GL_FLOAT, stride, base + offsetof(POLY_NODE, uv));
        if (mesh.hasColours != 0) {
            gl::EnableClientState(GL_COLOR_ARRAY);
            gl::ColorPointer(3, GL_UNSIGNED_BYTE, stride, base + offsetof(POLY_NODE, colour));
        }
    }

    gl::DrawArrays(GL_TRIANGLES, 0, count);

    gl::DisableClientState(GL_VERTEX_ARRAY);
    gl::DisableClientState(GL_COLOR_ARRAY);
    if (bumpArrays) {
        gl::ClientActiveTextureARB(GL_TEXTURE1_ARB);
        gl::DisableClientState(GL_TEXTURE_COORD_ARRAY);
        gl::ClientActiveTextureARB(GL_TEXTURE0_ARB);
    }
    gl::DisableClientState(GL_TEXTURE_COORD_ARRAY);
    // Other drawing uses client memory: its pointers must not land in the buffer.
    if (buffered) gl::BindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    RestoreTextureStages();
}
