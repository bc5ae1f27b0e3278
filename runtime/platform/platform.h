// The platform layer: the only part of the runtime that talks to SDL and
// POSIX. Everything above it speaks through these small interfaces.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
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

// ---- Network: UDP sessions (ENet) ------------------------------------------
// An IPv4 address: host in network byte order (as the socket layer keeps
// it), port in host order.
struct NetAddress {
    std::uint32_t host = 0;
    std::uint16_t port = 0;
};

// One UDP socket that carries connections to peers (reliable and unreliable
// packets on numbered channels) and, beside them, raw datagrams: every
// datagram that starts with the endpoint's raw prefix is handed over as it
// is, outside any connection.
struct NetEndpoint;

enum class NetEventKind { Connected, Disconnected, Received, Raw };

struct NetEvent {
    NetEventKind kind = NetEventKind::Received;
    int peer = -1;              // Connected, Disconnected, Received
    NetAddress from;            // Raw: the sender; otherwise the peer's address
    std::vector<std::uint8_t> data;  // Received, Raw
};

// Starts and stops the network library (counted: every successful start
// needs one stop).
bool NetStartup();
void NetShutdown();
// Resolves a host name or dotted IPv4 address. False when it does not resolve.
bool NetResolve(const char* hostName, std::uint16_t port, NetAddress* out);
// The local network's broadcast address.
NetAddress NetBroadcastAddress(std::uint16_t port);

// Opens an endpoint bound to bindTo (null: any address, a port the system
// picks) that accepts up to maxPeers connections with packets of at most
// maxPacketSize bytes. Raw datagrams waiting to be read are capped at
// maxRawQueued; more are dropped. Null on failure.
NetEndpoint* NetOpen(const NetAddress* bindTo, std::size_t maxPeers, std::size_t maxPacketSize,
                     std::string_view rawPrefix, std::size_t maxRawQueued);
// Says goodbye to every connected peer (waiting at most lingerMs for their
// answers) and closes the socket.
void NetClose(NetEndpoint* endpoint, std::uint32_t lingerMs);
// Starts a connection; the Connected event follows. -1 when no slot is free.
int NetConnect(NetEndpoint* endpoint, const NetAddress& to, int channels);
// Ends one connection at once (the peer is told, no Disconnected event here).
void NetDisconnect(NetEndpoint* endpoint, int peer);
bool NetSend(NetEndpoint* endpoint, int peer, int channel, const void* data, std::size_t size,
             bool reliable);
// A raw datagram outside any connection; broadcast allows broadcast addresses.
bool NetSendRaw(NetEndpoint* endpoint, const NetAddress& to, const void* data, std::size_t size,
                bool broadcast);
// Sends what is queued now instead of at the next poll.
void NetFlush(NetEndpoint* endpoint);
// The next event, waiting up to timeoutMs for one (0: only what has already
// arrived). False when nothing came in time.
bool NetPoll(NetEndpoint* endpoint, NetEvent* event, std::uint32_t timeoutMs);

// Reads standard input without waiting (the chat example types into the
// terminal while its window runs). Bytes read so far collect in pending.
// 1: a whole line is in line (without its newline); 0: not yet; -1: the
// input has ended and nothing is left.
int ReadConsoleLine(std::string* pending, std::string* line);

}  // namespace platform
