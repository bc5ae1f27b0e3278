// The extension entry points OpenGL 1.1 lacks (multitexturing, buffer
// objects), looked up once when the context is made. The system's gl.h
// declares some of these names as functions of its own, so the runtime
// keeps them as pointers here and calls them through gl/gl_calls.h.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

namespace gl {

struct ExtensionEntries {
    PFNGLACTIVETEXTUREARBPROC activeTexture = nullptr;
    PFNGLMULTITEXCOORD2FARBPROC multiTexCoord2f = nullptr;
    PFNGLCLIENTACTIVETEXTUREARBPROC clientActiveTexture = nullptr;
    PFNGLGENBUFFERSARBPROC genBuffers = nullptr;
    PFNGLBINDBUFFERARBPROC bindBuffer = nullptr;
    PFNGLBUFFERDATAARBPROC bufferData = nullptr;
    PFNGLDELETEBUFFERSARBPROC deleteBuffers = nullptr;
    PFNGLMAPBUFFERARBPROC mapBuffer = nullptr;
    PFNGLUNMAPBUFFERARBPROC unmapBuffer = nullptr;
};

// Looks the entry points up in the current context; all stay null when it
// lacks GL_ARB_multitexture. Called once the window's context exists.
void LoadExtensions();
// What LoadExtensions found (all null before).
const ExtensionEntries& Extensions();
// Replaces what LoadExtensions found, so that tests can take an entry point
// away and see the runtime do without it.
void SetExtensions(const ExtensionEntries& entries);

// Texture units 0 and 1 can be chosen and given coordinates.
inline bool HasMultitexture()
{
    return Extensions().multiTexCoord2f != nullptr && Extensions().activeTexture != nullptr;
}
inline bool HasActiveTexture() { return Extensions().activeTexture != nullptr; }
inline bool HasMultiTexCoord() { return Extensions().multiTexCoord2f != nullptr; }
inline bool HasClientActiveTexture() { return Extensions().clientActiveTexture != nullptr; }
// Vertex data can live in buffer objects, filled through a mapping.
inline bool HasBufferObjects()
{
    const ExtensionEntries& e = Extensions();
    return e.genBuffers != nullptr && e.bindBuffer != nullptr && e.bufferData != nullptr && e.mapBuffer != nullptr &&
           e.unmapBuffer != nullptr;
}
inline bool HasDeleteBuffers() { return Extensions().deleteBuffers != nullptr; }

}  // namespace gl
