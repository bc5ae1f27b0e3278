// UDP endpoints on ENet: connections to peers with reliable and unreliable
// packets, plus raw datagrams (session discovery) on the same socket, picked
// out by ENet's intercept hook before the protocol sees them.
#include "platform/platform.h"

#include <enet/enet.h>

#include <algorithm>
#include <deque>

namespace platform {

struct NetEndpoint {
    ENetHost* host = nullptr;
    std::string rawPrefix;
    std::size_t maxRawQueued = 0;
    std::deque<NetEvent> raw;  // raw datagrams not yet read
};

namespace {

constexpr std::size_t kChannelLimit = 8;
// How much a peer may have waiting in reassembly at once.
constexpr std::size_t kMaxWaitingData = 256 * 1024;

// ENet hosts carry no user pointer, so the intercept hook learns which
// endpoint it is reading for from the one call that is servicing it.
thread_local NetEndpoint* t_servicing = nullptr;

NetAddress FromENet(const ENetAddress& address)
{
    NetAddress result;
    result.host = address.host;
    result.port = address.port;
    return result;
}

ENetAddress ToENet(const NetAddress& address)
{
    ENetAddress result;
    result.host = address.host;
    result.port = address.port;
    return result;
}

// Called by ENet for every datagram it receives: ours (the raw prefix) are
// queued and hidden from the protocol; the rest go on to ENet.
int ENET_CALLBACK InterceptRaw(ENetHost* host, ENetEvent*)
{
    NetEndpoint* endpoint = t_servicing;
    if (endpoint == nullptr || endpoint->host != host) return 0;
    const std::size_t length = host->receivedDataLength;
    const std::string& prefix = endpoint->rawPrefix;
    if (prefix.empty() || length < prefix.size() ||
        !std::equal(prefix.begin(), prefix.end(), host->receivedData))
        return 0;
    if (endpoint->raw.size() < endpoint->maxRawQueued) {
        NetEvent event;
        event.kind = NetEventKind::Raw;
        event.from = FromENet(host->receivedAddress);
        event.data.assign(host->receivedData, host->receivedData + length);
        endpoint->raw.push_back(std::move(event));
    }
    return 1;  // consumed, also when the queue was full and it was dropped
}

// Text messages are small and few: they should be lost only when the network
// loses them, not dropped on purpose by ENet's throttle when the round trip
// grows (which it does when a busy program services the socket late).
void KeepThrottleOpen(ENetPeer* peer)
{
    enet_peer_throttle_configure(peer, ENET_PEER_PACKET_THROTTLE_INTERVAL,
                                 ENET_PEER_PACKET_THROTTLE_ACCELERATION, 0);
}

int PeerIndex(ENetHost* host, ENetPeer* peer)
{
    return static_cast<int>(peer - host->peers);
}

ENetPeer* PeerAt(NetEndpoint* endpoint, int peer)
{
    if (endpoint == nullptr || peer < 0 || static_cast<std::size_t>(peer) >= endpoint->host->peerCount)
        return nullptr;
    return &endpoint->host->peers[peer];
}

// One round of ENet servicing with the intercept hook pointed at endpoint.
int ServiceOnce(NetEndpoint* endpoint, ENetEvent* event)
{
    NetEndpoint* outer = t_servicing;
    t_servicing = endpoint;
    int result = enet_host_service(endpoint->host, event, 0);
    t_servicing = outer;
    return result;
}

bool TakeRaw(NetEndpoint* endpoint, NetEvent* event)
{
    if (endpoint->raw.empty()) return false;
    *event = std::move(endpoint->raw.front());
    endpoint->raw.pop_front();
    return true;
}

}  // namespace

bool NetStartup() { return enet_initialize() == 0; }
void NetShutdown() { enet_deinitialize(); }

bool NetResolve(const char* hostName, std::uint16_t port, NetAddress* out)
{
    if (hostName == nullptr || hostName[0] == 0) return false;
    ENetAddress address;
    address.port = port;
    if (enet_address_set_host(&address, hostName) != 0) return false;
    *out = FromENet(address);
    return true;
}

NetAddress NetBroadcastAddress(std::uint16_t port)
{
    NetAddress address;
    address.host = ENET_HOST_BROADCAST;
    address.port = port;
    return address;
}

NetEndpoint* NetOpen(const NetAddress* bindTo, std::size_t maxPeers, std::size_t maxPacketSize,
                     std::string_view rawPrefix, std::size_t maxRawQueued)
{
    ENetAddress address;
    if (bindTo != nullptr) address = ToENet(*bindTo);
    ENetHost* host = enet_host_create(bindTo != nullptr ? &address : nullptr, maxPeers,
                                      kChannelLimit, 0, 0);
    if (host == nullptr) return nullptr;
    host->maximumPacketSize = maxPacketSize;
    host->maximumWaitingData = kMaxWaitingData;
    host->intercept = InterceptRaw;

    auto* endpoint = new NetEndpoint;
    endpoint->host = host;
    endpoint->rawPrefix = rawPrefix;
    endpoint->maxRawQueued = maxRawQueued;
    return endpoint;
}

void NetClose(NetEndpoint* endpoint, std::uint32_t lingerMs)
{
    if (endpoint == nullptr) return;
    ENetHost* host = endpoint->host;
    auto connectedPeers = [host] {
        std::size_t count = 0;
        for (std::size_t i = 0; i < host->peerCount; ++i)
            if (host->peers[i].state != ENET_PEER_STATE_DISCONNECTED) ++count;
        return count;
    };
    for (std::size_t i = 0; i < host->peerCount; ++i)
        if (host->peers[i].state == ENET_PEER_STATE_CONNECTED)
            enet_peer_disconnect(&host->peers[i], 0);

    // Give the peers a moment to confirm, so they learn at once that the
    // session is gone instead of timing out later.
    const enet_uint32 start = enet_time_get();
    while (connectedPeers() > 0 && enet_time_get() - start < lingerMs) {
        ENetEvent event;
        int result = ServiceOnce(endpoint, &event);
        if (result < 0) break;
        if (result > 0 && event.type == ENET_EVENT_TYPE_RECEIVE) enet_packet_destroy(event.packet);
        if (result == 0) {
            enet_uint32 wait = ENET_SOCKET_WAIT_RECEIVE;
            enet_socket_wait(host->socket, &wait, 5);
        }
    }
    for (std::size_t i = 0; i < host->peerCount; ++i)
        if (host->peers[i].state != ENET_PEER_STATE_DISCONNECTED)
            enet_peer_disconnect_now(&host->peers[i], 0);
    enet_host_destroy(host);
    delete endpoint;
}

int NetConnect(NetEndpoint* endpoint, const NetAddress& to, int channels)
{
    if (endpoint == nullptr || channels < 1) return -1;
    ENetAddress address = ToENet(to);
    ENetPeer* peer = enet_host_connect(endpoint->host, &address, static_cast<std::size_t>(channels), 0);
    return peer == nullptr ? -1 : PeerIndex(endpoint->host, peer);
}

void NetDisconnect(NetEndpoint* endpoint, int peer)
{
    ENetPeer* target = PeerAt(endpoint, peer);
    if (target != nullptr && target->state != ENET_PEER_STATE_DISCONNECTED)
        enet_peer_disconnect_now(target, 0);
}

bool NetSend(NetEndpoint* endpoint, int peer, int channel, const void* data, std::size_t size,
             bool reliable)
{
    ENetPeer* target = PeerAt(endpoint, peer);
    if (target == nullptr || target->state != ENET_PEER_STATE_CONNECTED || channel < 0) return false;
    ENetPacket* packet = enet_packet_create(data, size, reliable ? ENET_PACKET_FLAG_RELIABLE : 0);
    if (packet == nullptr) return false;
    if (enet_peer_send(target, static_cast<enet_uint8>(channel), packet) < 0) {
        // A refused packet stays ours to free.
        if (packet->referenceCount == 0) enet_packet_destroy(packet);
        return false;
    }
    return true;
}

bool NetSendRaw(NetEndpoint* endpoint, const NetAddress& to, const void* data, std::size_t size,
                bool broadcast)
{
    if (endpoint == nullptr) return false;
    if (broadcast) enet_socket_set_option(endpoint->host->socket, ENET_SOCKOPT_BROADCAST, 1);
    ENetAddress address = ToENet(to);
    ENetBuffer buffer;
    buffer.data = const_cast<void*>(data);
    buffer.dataLength = size;
    return enet_socket_send(endpoint->host->socket, &address, &buffer, 1) == static_cast<int>(size);
}

void NetFlush(NetEndpoint* endpoint)
{
    if (endpoint != nullptr) enet_host_flush(endpoint->host);
}

bool NetPoll(NetEndpoint* endpoint, NetEvent* event, std::uint32_t timeoutMs)
{
    if (endpoint == nullptr) return false;
    const enet_uint32 start = enet_time_get();
    for (;;) {
        if (TakeRaw(endpoint, event)) return true;
        ENetEvent happened;
        int result = ServiceOnce(endpoint, &happened);
        if (result > 0) {
            event->peer = PeerIndex(endpoint->host, happened.peer);
            event->from = FromENet(happened.peer->address);
            event->data.clear();
            switch (happened.type) {
            case ENET_EVENT_TYPE_CONNECT:
                KeepThrottleOpen(happened.peer);
                event->kind = NetEventKind::Connected;
                return true;
            case ENET_EVENT_TYPE_DISCONNECT:
                event->kind = NetEventKind::Disconnected;
                return true;
            case ENET_EVENT_TYPE_RECEIVE:
                event->kind = NetEventKind::Received;
                event->data.assign(happened.packet->data,
                                   happened.packet->data + happened.packet->dataLength);
                enet_packet_destroy(happened.packet);
                return true;
            case ENET_EVENT_TYPE_NONE:
                break;
            }
        }
        if (TakeRaw(endpoint, event)) return true;
        if (result < 0) return false;
        const enet_uint32 elapsed = enet_time_get() - start;
        if (elapsed >= timeoutMs) return false;
        // Wait for the socket in short slices so ENet's resend timers run.
        enet_uint32 wait = ENET_SOCKET_WAIT_RECEIVE;
        enet_socket_wait(endpoint->host->socket, &wait, std::min<enet_uint32>(timeoutMs - elapsed, 10));
    }
}

}  // namespace platform
