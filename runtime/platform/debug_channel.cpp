// The channel to a debugger: one end of a Unix stream socket pair that the
// debugger opened before it started the program, its descriptor number in
// KV_DEBUG_CHANNEL. Reads never block unless asked to (the program polls
// the channel while it runs); writes never raise SIGPIPE (a debugger that
// has gone is told by the result).
#include "platform/platform.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {
int g_channel = -1;
}  // namespace

bool OpenDebugChannel()
{
    const char* named = std::getenv("KV_DEBUG_CHANNEL");
    if (named == nullptr || *named == 0) return false;
    char* end = nullptr;
    const long number = std::strtol(named, &end, 10);
    int type = 0;
    socklen_t size = sizeof type;
    if (*end != 0 || number < 0 || number > 1 << 20 ||
        getsockopt(static_cast<int>(number), SOL_SOCKET, SO_TYPE, &type, &size) != 0 || type != SOCK_STREAM) {
        std::fprintf(stderr, "Zorvelin runtime: KV_DEBUG_CHANNEL=%s names no open stream socket; running without the debugger\n",
                     named);
        return false;
    }
    g_channel = static_cast<int>(number);
    return true;
}

DebugChannelRead ReadDebugChannel(std::string& into, bool wait)
{
    if (g_channel < 0) return DebugChannelRead::Ended;
    for (;;) {
        pollfd entry{g_channel, POLLIN, 0};
        const int ready = poll(&entry, 1, wait ? -1 : 0);
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0) return DebugChannelRead::Ended;
        if (ready == 0) return DebugChannelRead::Nothing;
        char buffer[4096];
        const ssize_t count = recv(g_channel, buffer, sizeof buffer, MSG_DONTWAIT);
        if (count < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!wait) return DebugChannelRead::Nothing;
            continue;
        }
        if (count <= 0) return DebugChannelRead::Ended;
        into.append(buffer, static_cast<std::size_t>(count));
        return DebugChannelRead::Data;
    }
}

bool WriteDebugChannel(const std::string& bytes)
{
    if (g_channel < 0) return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t count = send(g_channel, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            // A non-blocking socket whose buffer is full: wait for room.
            pollfd entry{g_channel, POLLOUT, 0};
            poll(&entry, 1, -1);
            continue;
        }
        if (count <= 0) return false;
        done += static_cast<std::size_t>(count);
    }
    return true;
}

}  // namespace platform
