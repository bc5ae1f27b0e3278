// UDP networking in the browser: a web page has no UDP sockets, so the
// network library never starts and every session command fails as it does
// on a machine without a network.
#include "platform/platform.h"
#include "platform/web/unavailable.h"

namespace platform {

struct NetEndpoint {};
struct NetWaiter {};

bool NetStartup()
{
    web::SayUnavailable("network play (UDP)");
    return false;
}
void NetShutdown() {}
bool NetResolve(const char*, std::uint16_t, NetAddress*) { return false; }
NetAddress NetBroadcastAddress(std::uint16_t port) { return {0xFFFFFFFFu, port}; }
NetEndpoint* NetOpen(const NetAddress*, std::size_t, std::size_t, std::string_view, std::size_t)
{
    web::SayUnavailable("network play (UDP)");
    return nullptr;
}
void NetClose(NetEndpoint*, std::uint32_t) {}
int NetConnect(NetEndpoint*, const NetAddress&, int) { return -1; }
void NetDisconnect(NetEndpoint*, int) {}
bool NetSend(NetEndpoint*, int, int, const void*, std::size_t, bool) { return false; }
bool NetSendRaw(NetEndpoint*, const NetAddress&, const void*, std::size_t, bool) { return false; }
void NetDisconnectLater(NetEndpoint*, int) {}
void NetFlush(NetEndpoint*) {}
void NetSetLimits(NetEndpoint*, const NetLimits&) {}
bool NetIsLocalAddress(const NetAddress&) { return false; }
bool NetListenBroadcast(NetEndpoint*, std::uint16_t) { return false; }
bool NetListenRaw(NetEndpoint*, const NetAddress&) { return false; }
bool NetPoll(NetEndpoint*, NetEvent*, std::uint32_t) { return false; }
NetWaitHandles NetEndpointHandles(const NetEndpoint*) { return {}; }
NetWaiter* NetWaiterCreate() { return nullptr; }
void NetWaiterDestroy(NetWaiter*) {}
void NetWaiterWake(NetWaiter*) {}
void NetWaiterWait(NetWaiter*, const NetWaitHandles&, std::uint32_t) {}

}  // namespace platform
