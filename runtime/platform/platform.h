// The platform layer: the only part of the runtime that talks to SDL and
// POSIX. Everything above it speaks through these small interfaces.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include <string_view>
#include <vector>

namespace platform {

// ---- Clock -----------------------------------------------------------------
std::uint64_t PerformanceCounter();
std::uint64_t PerformanceFrequency();   // counts per second; 0 when unusable
std::uint32_t Milliseconds();           // millisecond tick count, wraps at 2^32
void SleepMilliseconds(double ms);      // sleeps at least about that long
// Sleeps until PerformanceCounter() reaches `count`: a deadline, not a
// length, so time lost before the call does not push the wake-up later.
void SleepUntilCount(std::uint64_t count);
// Whether a sleep ends within a fraction of a millisecond of its deadline.
// The browser's sleeps are whole milliseconds, and each hands control to
// the page.
bool SleepsPrecisely();

// ---- Folders and files -----------------------------------------------------
// The user's temporary folder with a trailing '/': $TMPDIR when it names a
// folder this user can write to, else /tmp/ when that is one; empty when
// neither is, which is said once on stderr.
std::string TempFolder();
// Full path of the running program.
std::string ModulePath();
// Changes the working directory (the first change keeps the start folder).
bool ChangeDirectory(const char* path);
// The working directory the program was started in, before start-up made
// the program's own folder the working directory; empty when unreadable.
const std::string& StartFolder();
// A path the user gave outside the program (an environment variable):
// relative ones count from the start folder, as the user meant them.
std::string FromStartFolder(const char* path);
bool RemoveFile(const char* path);
// Removes the file at path; true when nothing is left under the name (also
// when there was nothing). Otherwise *why says what is in the way (a file
// of another user in a shared folder cannot be removed).
bool RemoveFileIfPresent(const char* path, std::string* why);
// Appends bytes to the plain file at path, creating it if missing. A
// symbolic link is never followed and nothing but a plain file is written
// to (a planted link or pipe in a shared folder gets nothing). On failure
// *why (when given) says why.
bool AppendToPlainFile(const char* path, const std::string& bytes, std::string* why = nullptr);
// The numeric id of the user running the program.
unsigned long UserId();
// The longest name of one file inside a folder, in bytes.
constexpr std::size_t kMaxFileNameBytes = 255;

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

// Desktop full screen showing the drawing area scaled with aspect kept.
bool EnterFullscreen(Window* window);
// An ordinary captioned window with the given client size.
void EnterWindowed(Window* window, int width, int height);
void HideGameWindow(Window* window);
void SetCursorVisible(bool visible);

// Shows the drawing area: scales it into the window when needed and swaps.
// The drawing area is bound for drawing again afterwards. `blankColour`
// (r, g, b, a), when given, says the whole drawing area holds that colour:
// the window is cleared to it instead of copying the area. Returns whether
// the drawing area still holds the picture (false when the window's own
// back buffer is drawn into, which a swap leaves undefined).
bool PresentFrame(Window* window, const float* blankColour = nullptr);
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

// ---- Input devices -----------------------------------------------------------
// Keyboard, mouse and joysticks for the input layer. Reads go to the real
// devices, or to the scripted input source when KV_INPUT_SCRIPT names one.
bool KeyboardAvailable();
// Relative mouse mode when the program wants the mouse; false when refused.
bool OpenMouse(bool relative);
// Opens up to maxCount attached joysticks and pads; returns how many.
int OpenJoysticks(int maxCount);
void CloseInputDevices();
// Brings the key, mouse and joystick states up to date without taking
// window messages out of the queue (only joysticks arriving and leaving are
// taken out, and followed).
void RefreshInputState();
// SDL scancode of a DIK code, 0 when none.
int ScancodeFromDik(int dik);
// The character the key's current press typed: what the keyboard layout
// gave it with the modifiers and locks in force as it went down (Shift,
// Caps Lock, AltGr, Num Lock ...). A code below 0x80; 0 when it typed none.
unsigned char TypedCharacter(int dik);

struct MouseSample {
    int dx = 0, dy = 0;            // motion since the previous sample
    bool buttons[3] = {};          // left, right, middle
};
MouseSample ReadMouse();

struct JoystickSample {
    int x = 0, y = 0;              // -1, 0, +1 with a 50 % dead zone
    int z = 32767;                 // 0..65535, centred 32767
    unsigned int pov = 0xFFFFFFFFu;// hundredths of a degree from up, clockwise; centred = all ones
    unsigned char buttons[32] = {};// 128 = pressed
};
// False when the joystick is not open.
bool ReadJoystick(int index, JoystickSample* sample);
// "instance, product" of an open joystick, "" otherwise.
std::string JoystickName(int index);

// ---- Gamepads ----------------------------------------------------------------
// Joysticks and pads plugged in or out while the program runs appear and
// vanish. A device that arrives takes the lowest free number, the others
// keep theirs; the count is one more than the highest number in use, so a
// loop over 0 ... count - 1 reaches every device (a free number reads as a
// joystick at rest with an empty name).
int JoystickCount();
// Grows whenever a device arrives or leaves (0 for scripted input).
unsigned long JoystickChanges();
// Both motors at strength (0 ... 65535) for ms milliseconds; strength 0 or
// ms 0 stops them. Nothing where the device cannot rumble or none has
// the number.
void RumbleJoystick(int index, unsigned short strength, unsigned int ms);

// ---- Automated runs ----------------------------------------------------------
// KV_INPUT_SCRIPT=file: input comes from a script of frame-numbered states
// (format in README.md) instead of the devices. KV_SEED=n: a fixed random
// seed. KV_UNPACED=1: frames are presented as fast as they are drawn.
bool ScriptedInputActive();
// KV_SEED, else a seed entry of the input script.
bool FixedRandomSeed(unsigned long* seed);
// The seed the run uses, for a recording (KV_RECORD_INPUT=file: the input
// of the run is written in the script format as it happens).
void RecordRandomSeed(unsigned long seed);
// One pass of a runtime wait that presents no frame (KEYWAIT, MOUSEWAIT):
// scripted and recorded input move on by one frame, as after a presented
// frame.
void InputWaitPass();
bool UnpacedFrames();
// KV_NO_BATCH=1: every 2D drawing command is drawn on its own and all GL
// state is sent every time (for comparing pictures and for debugging).
bool BatchingDisabled();
// KV_VERBOSE=1: the runtime also reports on stdout what it sets up behind
// the program's back (the archive boxes). Otherwise stdout is the program's.
bool VerboseRuntime();
// Frames presented so far (the start-up frame is frame 0).
long PresentedFrames();

// ---- Process ---------------------------------------------------------------
// SIGINT and SIGTERM become a Close window message at the next pump.
void InstallTerminationHandlers();
// True once SIGINT or SIGTERM has arrived: waits check it to take the close
// path at once.
bool TerminationRequested();
[[noreturn]] void ExitProcess(int code);
// The size the main thread's stack may grow to, in bytes (the process's
// stack limit; 8 MiB when the limit is unknown, capped at 1 GiB).
std::size_t MainThreadStackSize();

// ---- Debug channel -------------------------------------------------------------
// The channel to a debugger: the open socket whose descriptor
// KV_DEBUG_CHANNEL names. False without that variable, and (said on
// stderr) when it names no usable descriptor or the platform has no
// debugger channel.
bool OpenDebugChannel();
enum class DebugChannelRead { Data, Nothing, Ended };
// Appends the bytes that have arrived to `into`. wait: blocks until some
// arrive; else Nothing when none has. Ended: the other end has closed.
DebugChannelRead ReadDebugChannel(std::string& into, bool wait);
// Writes all of `bytes`; false when the other end has closed.
bool WriteDebugChannel(const std::string& bytes);

// ---- Profiling ---------------------------------------------------------------
// Called from a signal handler on the main thread, so it may do only
// async-signal-safe work (plain loads and stores into memory that exists
// already). `intervals`: how many intervals of CPU time passed since the
// previous call (more than 1 when the system delivered the timer late).
using ProfileSampler = void (*)(long intervals);
// Calls `sampler` after every `intervalMicroseconds` of CPU time the main
// thread uses (its own time only: other threads, the audio's and the
// network's, do not count), interrupting whatever it runs. Called on the
// main thread. False, said on stderr, when no such timer can be had.
bool StartProfileTimer(ProfileSampler sampler, long intervalMicroseconds);
// No call of the sampler follows; nothing happens without a started timer.
void StopProfileTimer();


// ---- Picture files -----------------------------------------------------------
// A picture decoded from the bytes of a PNG, JPEG, GIF (its first frame) or
// TGA file.
struct DecodedPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;  // width x height pixels, top row first, bytes R, G, B, A
    // The file says which pixels are see-through: an alpha channel, or one
    // colour marked transparent (a PNG's tRNS, a GIF's transparent index),
    // whose pixels here have alpha 0. Without it every alpha is 255.
    bool transparent = false;
};

enum class PictureDecoding {
    Decoded,
    Refused,        // a format this decoder knows, but the picture cannot be read
    UnknownFormat,  // none of PNG, JPEG, GIF or TGA
};

// Decodes a picture file held in memory. A width or height above
// largestSide is refused from the file's header, before the pixels are
// decoded or any room is made for them. A refusal puts the reason into
// *why when it is given ("it is a damaged PNG picture: ...").
PictureDecoding DecodePictureFile(const std::uint8_t* bytes, std::size_t size, int largestSide,
                                  DecodedPicture& picture, std::string* why = nullptr);

// ---- Audio mixer -------------------------------------------------------------
// One mixer device, shared by everything that makes sound (sound effects,
// music): 22050 Hz, signed 16-bit, stereo. Each user opens it and closes it
// again; the first open really opens the device and the last close really
// closes it. No audio device means silence: opening then reports false and
// every other call below does nothing.
bool OpenAudioMixer();
void CloseAudioMixer();
bool AudioMixerIsOpen();

// The format the device really runs at.
struct AudioMixerFormat {
    int samplesPerSecond = 0;
    int bitsPerSample = 0;
    int channels = 0;
};
bool QueryAudioMixer(AudioMixerFormat* out);

// A block of samples converted to the device's format. One block can sound
// on any number of mixer channels at once.
struct MixerSamples;
// Converts interleaved PCM (1 or 2 channels, 8-bit unsigned or 16-bit signed
// little-endian) to the device's format. Null when the mixer is closed, the
// format is not convertible or memory runs out.
MixerSamples* CreateMixerSamples(const void* pcm, std::size_t bytes, int channels,
                                 int samplesPerSecond, int bitsPerSample);
// Stops every channel playing the block, then frees it.
void FreeMixerSamples(MixerSamples* samples);

// Mixer channels: each plays one block at a time. A reserved channel stays
// the caller's until released. -1 when no channel could be had.
int ReserveMixerChannel();
void ReleaseMixerChannel(int channel);
// Plays the block from its start, once or looping until stopped. Gains are
// linear amplitude factors in 0 ... 1: left and right for the pan, volume
// for the whole channel.
bool PlayOnMixerChannel(int channel, MixerSamples* samples, double leftGain,
                        double rightGain, double volume, bool looping);
// Stops the channel; the next play starts from the beginning.
void StopMixerChannel(int channel);
bool MixerChannelIsPlaying(int channel);

// Compressed sound files, decoded whole into a block of samples in the
// device's format; the block then plays, pans, stops and frees exactly as
// one made by CreateMixerSamples.
enum class CompressedSoundFormat { OggVorbis, Mp3, Flac };
// Sounds decoding to more than this are refused: the whole sound is held in
// memory (10 minutes at the device's 22050 Hz stereo 16-bit, about 53 MB).
constexpr double kMaxDecodedSoundSeconds = 600;
// Decodes the file's bytes as the given format. Null, with the reason in
// *why when it is given, when the mixer is closed, the bytes do not decode,
// decode to nothing or say or turn out to be longer than the limit above.
MixerSamples* DecodeSoundFile(const void* bytes, std::size_t size, CompressedSoundFormat format,
                              std::string* why = nullptr);

// ---- Media archive: private temporary files --------------------------------
// True when path names a regular file (directly or through a link) that can
// be opened for reading. Folders and pipes open on POSIX too, but can never
// be loaded as a file; a pipe is not even opened in a blocking way.
bool IsReadableFile(const char* path);
// Makes a new folder, readable and writable by this user only, under
// TempFolder() with mkdtemp, named prefix and six random characters.
// Returns its path with a trailing '/', or an empty string when it cannot
// be made (errno says why).
std::string MakePrivateTempFolder(const char* prefix = "kvshoebox-");
// Creates path as a new file (O_CREAT | O_EXCL | O_NOFOLLOW, mode 0600) and
// writes size bytes into it. Fails, leaving nothing behind, when the name is
// taken (by a file or a link), the folder is missing or a write fails.
bool WriteNewFile(const char* path, const void* data, std::size_t size);
// Removes a folder made by MakePrivateTempFolder together with the plain
// files in it; links are removed, never followed.
bool RemovePrivateTempFolder(const char* path);

// ---- Files, folders and processes (line files and file commands) -----------
// (IsReadableFile, above, also serves the line files.)
// What a file was when it was read: a rewrite that copies bytes from the
// original checks that they are still the ones that were read.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0;
    bool valid = false;
    bool operator==(const FileStamp&) const = default;
};
FileStamp StampOf(std::FILE* file);
FileStamp StampOf(const char* path);   // invalid when the path names nothing

// One piece of a rewritten file: the bytes given, or, when originalLength is
// not 0, that many bytes of the original file from originalOffset.
struct FilePiece {
    std::string bytes;
    std::uint64_t originalOffset = 0;
    std::uint64_t originalLength = 0;
};
// Rewrites the file path names (a symbolic link is followed, the link stays)
// with pieces, in order. The file itself must be open for writing: a file
// that is not keeps its content. Ordinarily the new content goes to a
// temporary file ".~<name>.XXXXXX" beside it that is renamed over the
// original, so a crash never leaves half a file; leftovers of that name from
// an earlier, killed run are removed first. A file with more than one hard
// link, or whose owner or group the new file could not take, is rewritten in
// place instead, so links and ownership stay; its new size is reserved
// before any old byte is overwritten, so a full disk leaves it as it was.
// Until it is whole again a whole copy of the new content is kept on disk
// ("<name>.unsaved" beside it, or a file in the temporary folder when its
// folder takes no new file) with a note for FindInterruptedRewrites; a
// write that fails part-way leaves that copy in place (said in *why). Pieces of the original are
// only copied while it is still as `original` describes. On failure returns
// false and puts the reason into *why.
bool RewriteFile(const char* path, const std::vector<FilePiece>& pieces,
                 const FileStamp& original, std::string* why);
// Makes path a new, empty plain file when nothing has that name. True when
// a plain file of that name is there afterwards, made now or already there
// (and then left as it was); false with the reason in *why when the name
// belongs to something else (a folder, a link to nothing) or the folder
// takes no new file.
bool CreateEmptyFile(const char* path, std::string* why);
// An in-place rewrite that a run did not finish (it was killed during the
// copy): the file, which may hold new bytes up to some point and old ones
// after it, and the whole new content that was kept for it.
struct InterruptedRewrite {
    std::string target;
    std::string copy;
};
// Finds this user's notes of such rewrites in the temporary folder and
// removes them. A copy whose target holds exactly its content (the run
// ended after the file was whole) goes too and is not listed; notes of
// rewrites still running in another program are left alone.
std::vector<InterruptedRewrite> FindInterruptedRewrites();
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

// ---- Pathfinding -------------------------------------------------------------
// True while the key with DIK code dik is held down right now. Pending input
// is fetched from the window system first (and stays queued for the next
// message pump), so a long computation between two frames sees the key.
bool KeyDownNow(int dik);

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
// Ends one connection once the packets queued for it have gone out (the
// Disconnected event follows).
void NetDisconnectLater(NetEndpoint* endpoint, int peer);
// Sends what is queued now instead of at the next poll.
void NetFlush(NetEndpoint* endpoint);

// What an endpoint holds against peers that do not play along. A connection
// request that has not completed is "half-open"; a forged request (its
// sender may be spoofed) never completes and would hold a connection slot
// until the library gives up on it, tens of seconds later.
struct NetLimits {
    std::size_t maxHalfOpen = 8;          // more: the oldest is evicted for a new request
    std::uint32_t halfOpenMs = 1500;      // a request not completed by then is reclaimed
    std::uint32_t peerTimeoutMs = 5000;   // a connection silent this long is dropped
};
void NetSetLimits(NetEndpoint* endpoint, const NetLimits& limits);
// True when address (its host part) is one of this machine's addresses.
bool NetIsLocalAddress(const NetAddress& address);
// Also receives raw datagrams sent to the broadcast address on this port
// (an endpoint bound to one unicast address does not see them). Answers
// still leave from the endpoint's own socket. False when that port's
// broadcasts are already taken.
bool NetListenBroadcast(NetEndpoint* endpoint, std::uint16_t port);
// Also receives raw datagrams sent to this address and port (a second
// socket beside the endpoint's own, for discovery queries on a well-known
// port while the connections stay on the endpoint's port). Answers still
// leave from the endpoint's own socket. False when the port is taken.
bool NetListenRaw(NetEndpoint* endpoint, const NetAddress& address);
// The next event, waiting up to timeoutMs for one (0: only what has already
// arrived). False when nothing came in time.
bool NetPoll(NetEndpoint* endpoint, NetEvent* event, std::uint32_t timeoutMs);

// Waiting for traffic from another thread than the one that services the
// endpoint: the sockets an endpoint reads, taken while the endpoint is known
// to be alive, and a waiter that sleeps until one of them has a datagram,
// until it is woken, or until the time is up. Waking is safe from any thread.
struct NetWaitHandles {
    int handles[3] = {-1, -1, -1};
};
NetWaitHandles NetEndpointHandles(const NetEndpoint* endpoint);
struct NetWaiter;
NetWaiter* NetWaiterCreate();  // null when the system refuses
void NetWaiterDestroy(NetWaiter* waiter);
void NetWaiterWake(NetWaiter* waiter);
// Waits as said above; a wake-up stays pending until the next wait sees it.
void NetWaiterWait(NetWaiter* waiter, const NetWaitHandles& handles, std::uint32_t timeoutMs);

// Reads standard input without waiting (the chat example types into the
// terminal while its window runs). Bytes read so far collect in pending.
// 1: a whole line is in line (without its newline); 0: not yet; -1: the
// input has ended and nothing is left.
int ReadConsoleLine(std::string* pending, std::string* line);


// ---- Music and video ---------------------------------------------------------
// Music: one piece at a time on the shared mixer (any format SDL_mixer
// decodes). A player exists from opening until it is closed; a file that
// cannot be decoded still gives a player, which stays silent (the reason
// goes to stderr). Opening and closing a player opens and closes the mixer.
struct MusicPlayer;
MusicPlayer* OpenMusic(const char* path);
void CloseMusic(MusicPlayer* music);  // stops it first
// Plays from where the piece stands (from its start after RewindMusic).
bool PlayMusic(MusicPlayer* music);
void StopMusic(MusicPlayer* music);
void RewindMusic(MusicPlayer* music);
// True once a started piece has played to its end; it then waits there
// until it is rewound and played again.
bool MusicAtEnd(MusicPlayer* music);
bool MusicIsPlaying(MusicPlayer* music);

// Video: a file's pictures, scaled to a size the caller chooses, in step with
// a clock that starts at StartVideo, and its sound on a mixer channel beside
// music and effects. Reasons for failures go to stderr.
struct VideoPlayer;
// Null when the file cannot be opened or holds neither pictures nor sound.
VideoPlayer* OpenVideo(const char* path);
void CloseVideo(VideoPlayer* video);  // stops its sound first
// The picture size stored in the file; false when it has no pictures.
bool VideoPictureSize(const VideoPlayer* video, int* width, int* height);
// Pictures are handed out as RGBA at width x height (at most the limits
// OpenVideo accepts). False for a size out of range.
bool SetVideoOutputSize(VideoPlayer* video, int width, int height);
// Starts (or, after the end, restarts from the beginning) the clock, the
// pictures and the sound.
bool StartVideo(VideoPlayer* video);
enum class VideoStep { NothingNew, NewPicture, Ended };
// Brings the video up to its clock. NewPicture: *rgba points to the picture
// now due (output size, top row first) until the next call.
VideoStep AdvanceVideo(VideoPlayer* video, const unsigned char** rgba);

// ---- TrueType fonts ----------------------------------------------------------
// A TrueType or OpenType font opened from a file's bytes at a pixel size,
// its glyphs rendered one at a time as coverage (0 = none, 255 = full).
// The font keeps its own copy of the bytes while it is open.
struct TrueTypeFont;
// Null when the bytes are no font that can be rendered; *why then says why.
TrueTypeFont* OpenTrueTypeFont(const unsigned char* bytes, std::size_t size, int pixelSize, std::string* why);
void CloseTrueTypeFont(TrueTypeFont* font);
// Renders the font at another pixel size from now on; false when it cannot.
bool SetTrueTypeFontSize(TrueTypeFont* font, int pixelSize);
// The height of a line: from the highest ascent to the lowest descent.
int TrueTypeFontHeight(const TrueTypeFont* font);
// One glyph as the line shows it: `height` rows from the line's top (the
// baseline ascent rows below it, the same for every glyph), `width`
// columns covering its advance and its ink.
struct TrueTypeGlyph {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> coverage;  // width x height, top row first
};
// The glyph of a Unicode code point. False, with an empty glyph, when the
// font has none for it or it cannot be rendered.
bool RenderTrueTypeGlyph(TrueTypeFont* font, std::uint32_t codePoint, TrueTypeGlyph* glyph);

}  // namespace platform
