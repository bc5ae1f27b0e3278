// Waiting for network traffic from another thread than the one that
// services the endpoint, on Windows (platform.h, NetWaiter): select on the
// endpoint's sockets and on a UDP socket of the waiter's own on 127.0.0.1,
// to which a wake-up sends one datagram (the counterpart of an eventfd).
#include "platform/platform.h"

#include <winsock2.h>

#include <cstdint>

namespace platform {

struct NetWaiter {
    SOCKET wake = INVALID_SOCKET;
    sockaddr_in address{};  // where the wake socket listens
};

NetWaiter* NetWaiterCreate()
{
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return nullptr;
    auto* waiter = new NetWaiter;
    waiter->wake = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    waiter->address.sin_family = AF_INET;
    waiter->address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    waiter->address.sin_port = 0;
    int length = sizeof waiter->address;
    u_long nonBlocking = 1;
    if (waiter->wake == INVALID_SOCKET ||
        bind(waiter->wake, reinterpret_cast<const sockaddr*>(&waiter->address), sizeof waiter->address) != 0 ||
        getsockname(waiter->wake, reinterpret_cast<sockaddr*>(&waiter->address), &length) != 0 ||
        ioctlsocket(waiter->wake, FIONBIO, &nonBlocking) != 0) {
        NetWaiterDestroy(waiter);
        return nullptr;
    }
    return waiter;
}

void NetWaiterDestroy(NetWaiter* waiter)
{
    if (waiter == nullptr) return;
    if (waiter->wake != INVALID_SOCKET) closesocket(waiter->wake);
    delete waiter;
    WSACleanup();
}

void NetWaiterWake(NetWaiter* waiter)
{
    if (waiter == nullptr) return;
    const char one = 1;
    sendto(waiter->wake, &one, 1, 0, reinterpret_cast<const sockaddr*>(&waiter->address),
           sizeof waiter->address);
}

void NetWaiterWait(NetWaiter* waiter, const NetWaitHandles& handles, std::uint32_t timeoutMs)
{
    fd_set readable;
    FD_ZERO(&readable);
    if (waiter != nullptr) FD_SET(waiter->wake, &readable);
    for (int handle : handles.handles)
        if (handle >= 0) FD_SET(static_cast<SOCKET>(handle), &readable);
    if (readable.fd_count == 0) {
        Sleep(timeoutMs);
        return;
    }
    timeval timeout{static_cast<long>(timeoutMs / 1000), static_cast<long>(timeoutMs % 1000) * 1000};
    if (select(0, &readable, nullptr, nullptr, &timeout) <= 0 || waiter == nullptr) return;
    if (FD_ISSET(waiter->wake, &readable)) {
        // Every wake-up sent so far is seen by this wait.
        char bytes[16];
        while (recv(waiter->wake, bytes, sizeof bytes, 0) > 0) {
        }
    }
}

}  // namespace platform
