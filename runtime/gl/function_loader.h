// Where the GL owner finds the entry points that are not in OpenGL 1.1
// (multitexture, framebuffer objects): the platform, which makes the
// context, hands over its loader then, before anything is looked up. The
// GL owner itself depends on nothing above it.
#pragma once

namespace gl {

using FunctionLoader = void* (*)(const char* name);

void SetFunctionLoader(FunctionLoader loader);
// The entry point of that name in the current context; null without a
// loader or without the function.
void* LookUpFunction(const char* name);

}  // namespace gl
