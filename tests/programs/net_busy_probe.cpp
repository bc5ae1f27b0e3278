// A program in generated form for the network tests: a player of a session
// that gets busy for longer than the peers' time-out, the way a BASIC
// program does, without a single NET call meanwhile. Command line:
//   <host|join> <way> [video file]
// way: shellcmd (waits for /bin/sleep), keywait (a key the input script
// presses 450 passes later), movie (PLAYMOVIE of the given video), findpath
// (long searches on a large map), loop (computes without SHOWSCREEN).
//
// It meets the test's player ("Wach") in the session "Beschaeftigt" on
// 127.0.0.1, says "schlafe", is busy, and then answers with
// "wach:<messages that came meanwhile, each followed by ','><NETNUMPLAYERS>
// <the players' names in enumeration order, between ','> <ms it was busy>".
// It ends at "Ende", or with "fehler:<why>" sent where it can be.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "commands.h"
#include "platform/platform.h"

namespace {

constexpr const char* kSession = "Beschaeftigt";
// Longer than the peers' 5 s time-out: without the session being serviced
// meanwhile, the others would drop this program.
constexpr int kBusyMs = 7000;
// KEYWAIT starts on this frame; the test's input script presses a key 450
// passes (at least 7.5 s) later.
constexpr long kKeyWaitFrame = 360;

KvIntArray g_map;
KvIntArray g_path;

long long NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void Fail(const KvStr& me, const KvStr& other, const std::string& why)
{
    std::fprintf(stderr, "net_busy_probe: %s\n", why.c_str());
    NETSENDMSG(me, other, ("fehler:" + why).c_str());
    for (int frame = 0; frame < 30; ++frame) SHOWSCREEN();
    END();
}

// Searches across a large open map (every cell costs 1) until kBusyMs have
// passed: each search alone takes a good while.
void SearchPaths()
{
    const int size = 700;
    DIM(g_map, size, size);
    for (int x = 0; x < size; ++x)
        for (int y = 0; y < size; ++y) g_map(x, y) = 1;
    // A wall across most of the map, so the search has to go round it.
    for (int y = 0; y < size - 2; ++y) g_map(size / 2, y) = 0;
    const long long start = NowMs();
    while (NowMs() - start < kBusyMs) FINDPATH(g_map, g_path, 1, 0, 0, size - 1, 0);
}

// Arithmetic only: no SHOWSCREEN, no NET call, until kBusyMs have passed.
void ComputeWithoutFrames()
{
    const long long start = NowMs();
    volatile double sum = 0;
    while (NowMs() - start < kBusyMs)
        for (int i = 0; i < 100000; ++i) sum = sum + SQR(i);
}

// Blocks the way named; false when the way is unknown or cannot block.
bool BeBusy(const std::string& way, const std::string& video)
{
    if (way == "shellcmd") {
        double code = -1;
        return SHELLCMD("/bin/sleep 7", 1, 0, code) == 1 && code == 0;
    }
    if (way == "keywait") {
        KEYWAIT();
        return true;
    }
    if (way == "movie") {
        PLAYMOVIE(video.c_str());
        return true;
    }
    if (way == "findpath") {
        SearchPaths();
        return true;
    }
    if (way == "loop") {
        ComputeWithoutFrames();
        return true;
    }
    return false;
}

void __MainGameSub_()
{
    char role[16] = "", way[16] = "", video[512] = "";
    std::sscanf(g_cmdline.GetStrData(), "%15s %15s %511s", role, way, video);

    bool inSession = false;
    if (std::strcmp(role, "host") == 0) {
        inSession = NETHOSTGAME(0, kSession, "127.0.0.1", 0) == 1;
    } else {
        for (int attempt = 0; attempt < 10 && !inSession; ++attempt)
            inSession = NETJOINGAME(0, kSession, "127.0.0.1", 0) == 1;
    }
    if (!inSession) {
        std::fprintf(stderr, "net_busy_probe: no session\n");
        END();
    }
    const KvStr me = NETCREATEPLAYER_Str("Beschaeftigt");

    // Wait (showing frames) for the test's player.
    KvStr other = "0";
    for (int frame = 0; frame < 1200 && std::strcmp(other.GetStrData(), "0") == 0; ++frame) {
        SHOWSCREEN();
        for (int i = 0; i < NETNUMPLAYERS(); ++i) {
            const KvStr id = NETGETPLAYERID_Str(i);
            if (std::strcmp(NETPLAYERNAME_Str(id).GetStrData(), "Wach") == 0) other = id;
        }
    }
    if (std::strcmp(other.GetStrData(), "0") == 0) {
        std::fprintf(stderr, "net_busy_probe: the test's player never came\n");
        END();
    }
    if (std::strcmp(way, "keywait") == 0) {
        // The script's key press is counted from a known frame.
        if (platform::PresentedFrames() > kKeyWaitFrame) Fail(me, other, "joined too late for the key script");
        while (platform::PresentedFrames() < kKeyWaitFrame) SHOWSCREEN();
    }

    NETSENDMSG(me, other, "schlafe");
    const long long start = NowMs();
    if (!BeBusy(way, video)) Fail(me, other, std::string("cannot be busy by ") + way);
    const long long busyMs = NowMs() - start;

    std::string heard;
    for (std::string text; !(text = NETGETMSG_Str(me).GetStrData()).empty();) heard += text + ",";
    const int count = static_cast<int>(NETNUMPLAYERS());
    std::string names;
    for (int i = 0; i < count; ++i)
        names += std::string(i > 0 ? "," : "") + NETPLAYERNAME_Str(NETGETPLAYERID_Str(i)).GetStrData();
    const std::string report =
        "wach:" + heard + std::to_string(count) + " " + names + " " + std::to_string(busyMs);
    NETSENDMSG(me, other, report.c_str());

    for (int frame = 0; frame < 1200; ++frame) {
        SHOWSCREEN();
        if (std::strcmp(NETGETMSG_Str(me).GetStrData(), "Ende") == 0) break;
    }
    END();
}

}  // namespace

int WinMain(void* hInstance, void* hPrevInstance, char* lpCmdLine, int nCmdShow)
{
    g_cmdline = lpCmdLine;
    KV_RESX = 320;
    KV_RESY = 240;
    KV_FULLSCREEN = 0;
    KV_FRAMERATE = 60;
    KV_DEBUG = 1;
    KV_WANTMOUSE = 0;
    __GlobalInit(hInstance, hPrevInstance, g_cmdline.GetStrData(), nCmdShow, "net_busy_probe");
    g_errorline = 0;
    g_error = 0;
    g_debugline = 0;
    __MainGameSub_();
    return 0;
}
