// OpenGL's header for the Windows build, without windows.h. MinGW-w64's
// GL/gl.h pulls in all of windows.h unless the two macros its declarations
// use are there, and windows.h would put its macros and types (RGB, INT,
// INPUT, WinMain ...) into every file of the runtime, whose commands have
// those names. The definitions are word for word MinGW-w64's own, so a
// platform file that includes windows.h afterwards defines them again
// without a clash.
#pragma once

#ifndef WINAPI
#define WINAPI __stdcall
#endif
#ifndef APIENTRY
#define APIENTRY WINAPI
#endif
#ifndef DECLSPEC_IMPORT
#define DECLSPEC_IMPORT __declspec (dllimport)
#endif
#ifndef WINGDIAPI
#define WINGDIAPI DECLSPEC_IMPORT
#endif

#include_next <GL/gl.h>
