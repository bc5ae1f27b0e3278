// The program frame: start-up, shutdown and the window procedure.
#pragma once

#include "frame/runtime_state.h"
#include "platform/platform.h"

class OpenGLRainbows;
class SFXSound;
class SFXSoundBuffer;
class TzNetwork;

// The generated entry point of a BASIC program; main() calls it.
int WinMain(void* hInstance, void* hPrevInstance, char* lpCmdLine, int nCmdShow);

extern platform::Window* hWnd;  // the game window
extern void* hInstance;         // unused on this platform, kept for the signature
extern OpenGLRainbows* pRbow;   // the 2D renderer
extern SFXSound* pDXsnd;        // the sound-effect device
extern SFXSoundBuffer* DXwav;   // the 128 sound slots
extern TzNetwork* pTzNet;       // the network object

// Opens the window and creates the engine objects; returns 0. When the
// window cannot be made, returns before any engine object exists.
int __GlobalInit(void* instance, void* prevInstance, char* commandLine, int showCommand,
                 const char* title);
// The one way out: writes the error log, releases the engine objects in
// their fixed order and exits with code 0. (A fatal runtime error takes the
// same way through __FatalError, which also writes the error and its
// source line on stderr and exits with code 1.)
[[noreturn]] void __EndProgram();
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
