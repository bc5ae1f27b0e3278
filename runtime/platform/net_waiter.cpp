// Waiting for network traffic from another thread than the one that
// services the endpoint (platform.h, NetWaiter): poll on the endpoint's
// sockets and an eventfd that a wake-up writes to.
#include "platform/platform.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

namespace platform {

// An eventfd: writing to it makes the waiting poll return.
struct NetWaiter {
    int wake = -1;
};

NetWaiter* NetWaiterCreate()
{
    const int wake = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wake < 0) return nullptr;
    auto* waiter = new NetWaiter;
    waiter->wake = wake;
    return waiter;
}

void NetWaiterDestroy(NetWaiter* waiter)
{
    if (waiter == nullptr) return;
    close(waiter->wake);
    delete waiter;
}

void NetWaiterWake(NetWaiter* waiter)
{
    if (waiter == nullptr) return;
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(waiter->wake, &one, sizeof one);
}

void NetWaiterWait(NetWaiter* waiter, const NetWaitHandles& handles, std::uint32_t timeoutMs)
{
    pollfd watched[4];
    nfds_t count = 0;
    if (waiter != nullptr) watched[count++] = {waiter->wake, POLLIN, 0};
    for (int handle : handles.handles)
        if (handle >= 0) watched[count++] = {handle, POLLIN, 0};
    if (poll(watched, count, static_cast<int>(timeoutMs)) <= 0 || waiter == nullptr) return;
    if (watched[0].revents & POLLIN) {
        std::uint64_t woken = 0;
        [[maybe_unused]] const ssize_t read = ::read(waiter->wake, &woken, sizeof woken);
    }
}

}  // namespace platform
