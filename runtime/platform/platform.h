// The platform layer: the only part of the runtime that talks to SDL and
// POSIX. Everything above it speaks through these small interfaces.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// ---- Clock -----------------------------------------------------------------
std::uint64_t PerformanceCounter();
std::uint64_t PerformanceFrequency();   // counts per second; 0 when unusable
std::uint32_t Milliseconds();           // millisecond tick count, wraps at 2^32
void SleepMilliseconds(double ms);      // sleeps at least about that long

// ---- Folders and files -----------------------------------------------------
// The user's temporary folder with a trailing '/': $TMPDIR, else /tmp/.
std::string TempFolder();
// Full path of the running program.
std::string ModulePath();
bool ChangeDirectory(const char* path);
bool RemoveFile(const char* path);

// ---- Message box -----------------------------------------------------------
// A warning box with no owner window. Automated runs suppress it by setting
// KV_NO_MESSAGEBOX (any value): the text then goes to stderr instead.
void ShowWarningBox(const char* caption, const char* text);
void Beep();

// ---- Window and OpenGL context ---------------------------------------------
struct Window;

// Window messages, the equivalents of the ones the window procedure handles.
enum class WindowMessage { Close, Moved, Resized, Activated, ScreenSave };
using MessageHandler = void (*)(WindowMessage message);

// Creates the video system and a hidden-until-shown window whose client area
// is width x height. Returns null on failure; LastError() says why.
Window* CreateGameWindow(const char* caption, int x, int y, int width, int height);
void DestroyGameWindow(Window* window);
const char* LastError();
void ShowGameWindow(Window* window);
// Size of the window's client area in pixels.
void GetWindowSize(Window* window, int* width, int* height);
void SetWindowTitle(Window* window, const char* title);

// True when KV_WINDOWED is set to something other than "0": the user (or a
// test) asks for a window whatever the program's configuration says.
bool WindowedForced();

// Creates the OpenGL compatibility context (double buffer, RGB 8/8/8, the
// given depth bits) and a drawing area of exactly logicalWidth x
// logicalHeight pixels, which every drawing, grabbing and reading sees.
bool CreateGLContext(Window* window, int logicalWidth, int logicalHeight, int depthBits);
void DestroyGLContext(Window* window);
bool GLContextIsSoftware();  // llvmpipe, softpipe, swrast
void* GetGLProcAddress(const char* name);
int DesktopColorBits();

// Desktop full screen showing the drawing area scaled with aspect kept.
bool EnterFullscreen(Window* window);
// An ordinary captioned window with the given client size.
void EnterWindowed(Window* window, int width, int height);
void HideGameWindow(Window* window);
void SetCursorVisible(bool visible);

// Shows the drawing area: scales it into the window when needed and swaps.
// The drawing area is bound for drawing again afterwards.
void PresentFrame(Window* window);
// Resizes the drawing area (the logical size the program draws in).
void ResizeDrawingArea(Window* window, int logicalWidth, int logicalHeight);

// Removes every pending event and hands the window messages to handler.
// SIGINT and SIGTERM arrive here as a Close message.
void PumpMessages(MessageHandler handler);

// ---- Keyboard ----------------------------------------------------------------
// The state of every key as a DirectInput-style snapshot: index = DIK scan
// code, 0x80 = down. Physical keys, through the fixed scan-code table.
void KeyboardSnapshot(unsigned char keys[256]);
// DIK code of an SDL scancode, 0 when the key has none (tests and input use it).
int DikFromScancode(int sdlScancode);

// ---- Process ---------------------------------------------------------------
// SIGINT and SIGTERM become a Close window message at the next pump.
void InstallTerminationHandlers();
[[noreturn]] void ExitProcess(int code);

// ---- Pathfinding -------------------------------------------------------------
// True while the key with DIK code dik is held down right now. Pending input
// is fetched from the window system first (and stays queued for the next
// message pump), so a long computation between two frames sees the key.
bool KeyDownNow(int dik);

}  // namespace platform
