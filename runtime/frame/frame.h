// The program frame: start-up, shutdown and the window procedure.
#pragma once

#include "audio/sfx_sound.h"
#include "audio/sfx_sound_buffer.h"
#include "core/runtime_state.h"
#include "gfx/opengl_rainbows.h"
#include "input/dx_input.h"
#include "net/tz_network.h"
#include "platform/platform.h"

// The engine objects live with their modules (pDXin, pRbow, pDXsnd, DXwav,
// pTzNet); the frame creates and releases them in their fixed order.

// The generated entry point of a BASIC program; main() calls it.
int WinMain(void* hInstance, void* hPrevInstance, char* lpCmdLine, int nCmdShow);

extern platform::Window* hWnd;  // the game window
extern void* hInstance;         // unused on this platform, kept for the signature

// Opens the window and creates the engine objects; returns 0. When the
// window cannot be made, returns before any engine object exists.
int __GlobalInit(void* instance, void* prevInstance, char* commandLine, int showCommand,
                 const char* title);
// __EndProgram, the one way out, is declared with the error state
// (core/runtime_state.h), so that every folder may end the program; the
// frame registers what it does.
// Ends the runtime but not the process: what __EndProgram does short of the
// error-log lines and the exit (line files written back, music stopped,
// engine objects, window and archive boxes released; no thread of the
// runtime left running). Safe without a started runtime. For a process that
// starts the runtime more than once, as test programs do.
void __ReleaseRuntime();
// The BASIC END command.
double END();

// The window procedure: what the frame does with each window message.
void __WndProc_(platform::WindowMessage message);
