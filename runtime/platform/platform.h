// The platform layer: the only part of the runtime that talks to SDL and
// POSIX. Everything above it speaks through these small interfaces.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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

// ---- Files, folders and processes (line files and file commands) -----------
// True when path names a regular file (or a link to one) that opens for reading.
bool IsReadableFile(const char* path);
// Replaces the whole file with bytes: written to a temporary file in the same
// folder and renamed over the original, so that a crashing program never
// leaves a half-written file. A symbolic link is followed, the link stays.
// When the folder admits no new file the original is overwritten in place.
// On failure returns false and puts the reason into *why.
bool ReplaceFileContents(const char* path, const std::string& bytes, std::string* why);
// The working directory; empty when it cannot be read.
std::string CurrentDirectory();

struct DirectoryEntry {
    std::string name;
    bool isDirectory;  // symbolic links count as what they point to
};
// Every entry of the folder, "." and ".." included, in the system's order.
bool ListDirectory(const char* path, std::vector<DirectoryEntry>& entries);

// Starts the program argv[0], searched in PATH like a shell does, with
// argv as its arguments, no shell, the runtime's environment and working
// directory, and no open files but standard input, output and error.
// Returns false when it cannot be started. With wait, blocks until it ends
// and stores its exit code (128 + signal number when a signal ended it).
// Children not waited for are reaped at the next start.
bool StartProgram(const std::vector<std::string>& argv, bool wait, int* exitCode);
// As StartProgram with wait, and collects what the program writes to its
// standard output.
bool RunProgramForOutput(const std::vector<std::string>& argv, std::string* output,
                         int* exitCode);

}  // namespace platform
