#include "gl/gl_extensions.h"

#include <cstring>

#include "gl/function_loader.h"

namespace gl {

namespace {

// The one set of entry points, for the one context the runtime draws with.
ExtensionEntries g_entries;
FunctionLoader g_loader = nullptr;

template <typename Function>
void LoadEntryPoint(Function& entry, const char* name)
{
    entry = reinterpret_cast<Function>(LookUpFunction(name));
}

}  // namespace

void SetFunctionLoader(FunctionLoader loader)
{
    g_loader = loader;
}

void* LookUpFunction(const char* name)
{
    return g_loader != nullptr ? g_loader(name) : nullptr;
}

void LoadExtensions()
{
    // A new context may lack what an earlier one had.
    g_entries = ExtensionEntries{};
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (extensions == nullptr || std::strstr(extensions, "GL_ARB_multitexture") == nullptr) return;
    LoadEntryPoint(g_entries.activeTexture, "glActiveTextureARB");
    LoadEntryPoint(g_entries.multiTexCoord2f, "glMultiTexCoord2fARB");
    LoadEntryPoint(g_entries.clientActiveTexture, "glClientActiveTextureARB");
    LoadEntryPoint(g_entries.genBuffers, "glGenBuffersARB");
    LoadEntryPoint(g_entries.bindBuffer, "glBindBufferARB");
    LoadEntryPoint(g_entries.bufferData, "glBufferDataARB");
    LoadEntryPoint(g_entries.deleteBuffers, "glDeleteBuffersARB");
    LoadEntryPoint(g_entries.mapBuffer, "glMapBufferARB");
    LoadEntryPoint(g_entries.unmapBuffer, "glUnmapBufferARB");
}

const ExtensionEntries& Extensions() { return g_entries; }

void SetExtensions(const ExtensionEntries& entries) { g_entries = entries; }

}  // namespace gl
