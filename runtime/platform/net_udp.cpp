// UDP endpoints on ENet: connections to peers with reliable and unreliable
// packets, plus raw datagrams (session discovery) on the same socket, picked
// out by ENet's intercept hook before the protocol sees them.
//
// Half-open connections (requests that never complete, as a forged flood
// makes them) are capped and reclaimed here, since ENet itself keeps them
// for as long as an honest peer that stopped answering.
#include "platform/platform.h"

#include <enet/enet.h>
#include <enet/time.h>

#include <algorithm>
#include <cerrno>
#include <deque>
#include <vector>

namespace platform {

struct NetEndpoint {
    ENetHost* host = nullptr;
    std::string rawPrefix;
    std::size_t maxRawQueued = 0;
    std::deque<NetEvent> raw;  // raw datagrams not yet read
    NetLimits limits;
    // Per peer slot: when it was first seen half-open (0: it is not), and
    // whether we started the connection (our own requests are never evicted).
    std::vector<enet_uint32> halfOpenSince;
    std::vector<bool> outgoing;
    // Receives broadcasts when the endpoint is bound to one address.
    ENetSocket broadcastSocket = ENET_SOCKET_NULL;
    // Receives discovery queries on a port other than the endpoint's own.
    ENetSocket discoverySocket = ENET_SOCKET_NULL;
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

// Never 0, so 0 can mean "not half-open".
enet_uint32 Now()
{
    const enet_uint32 now = enet_time_get();
    return now == 0 ? 1 : now;
}

bool IsHalfOpen(const ENetPeer& peer)
{
    switch (peer.state) {
    case ENET_PEER_STATE_CONNECTING:
    case ENET_PEER_STATE_ACKNOWLEDGING_CONNECT:
    case ENET_PEER_STATE_CONNECTION_PENDING:
    case ENET_PEER_STATE_CONNECTION_SUCCEEDED:
        return true;
    default:
        return false;
    }
}

// Notes when incoming half-open connections appeared, reclaims those older
// than the limit, and, when evictForNew is set and a new request would find
// no room (no free slot, or the half-open cap reached), evicts the oldest.
void ReclaimHalfOpen(NetEndpoint* endpoint, bool evictForNew)
{
    ENetHost* host = endpoint->host;
    const enet_uint32 now = Now();
    std::size_t halfOpen = 0, free = 0;
    int oldest = -1;
    for (std::size_t i = 0; i < host->peerCount; ++i) {
        ENetPeer& peer = host->peers[i];
        if (peer.state == ENET_PEER_STATE_DISCONNECTED) {
            endpoint->outgoing[i] = false;
            endpoint->halfOpenSince[i] = 0;
            ++free;
            continue;
        }
        if (!IsHalfOpen(peer) || endpoint->outgoing[i]) {
            endpoint->halfOpenSince[i] = 0;
            continue;
        }
        enet_uint32& since = endpoint->halfOpenSince[i];
        if (since == 0) since = now;
        if (ENET_TIME_DIFFERENCE(now, since) >= endpoint->limits.halfOpenMs) {
            enet_peer_reset(&peer);  // frees the slot without a word
            since = 0;
            ++free;
            continue;
        }
        ++halfOpen;
        if (oldest < 0 || ENET_TIME_LESS(since, endpoint->halfOpenSince[oldest]))
            oldest = static_cast<int>(i);
    }
    if (evictForNew && oldest >= 0 && (free == 0 || halfOpen >= endpoint->limits.maxHalfOpen)) {
        enet_peer_reset(&host->peers[oldest]);
        endpoint->halfOpenSince[oldest] = 0;
    }
}

// Whether a datagram is a connection request: the header names no peer
// (the largest peer id) and the first command is CONNECT.
bool IsConnectRequest(const enet_uint8* data, std::size_t length)
{
    if (length < 2) return false;
    const enet_uint16 header = static_cast<enet_uint16>((data[0] << 8) | data[1]);
    const std::size_t headerSize = (header & ENET_PROTOCOL_HEADER_FLAG_SENT_TIME) ? 4 : 2;
    if (length <= headerSize) return false;
    const enet_uint16 peerId = header & ~(ENET_PROTOCOL_HEADER_FLAG_MASK | ENET_PROTOCOL_HEADER_SESSION_MASK);
    return peerId == ENET_PROTOCOL_MAXIMUM_PEER_ID &&
           (data[headerSize] & ENET_PROTOCOL_COMMAND_MASK) == ENET_PROTOCOL_COMMAND_CONNECT;
}

void QueueRaw(NetEndpoint* endpoint, const ENetAddress& from, const enet_uint8* data,
              std::size_t length)
{
    if (endpoint->raw.size() >= endpoint->maxRawQueued) return;  // dropped
    NetEvent event;
    event.kind = NetEventKind::Raw;
    event.from = FromENet(from);
    event.data.assign(data, data + length);
    endpoint->raw.push_back(std::move(event));
}

bool HasRawPrefix(const NetEndpoint* endpoint, const enet_uint8* data, std::size_t length)
{
    const std::string& prefix = endpoint->rawPrefix;
    return !prefix.empty() && length >= prefix.size() && std::equal(prefix.begin(), prefix.end(), data);
}

// Called by ENet for every datagram it receives: ours (the raw prefix) are
// queued and hidden from the protocol; a connection request first makes
// room if half-open connections hold the slots; the rest go on to ENet.
int ENET_CALLBACK InterceptRaw(ENetHost* host, ENetEvent*)
{
    NetEndpoint* endpoint = t_servicing;
    if (endpoint == nullptr || endpoint->host != host) return 0;
    const std::size_t length = host->receivedDataLength;
    if (!HasRawPrefix(endpoint, host->receivedData, length)) {
        if (IsConnectRequest(host->receivedData, length)) ReclaimHalfOpen(endpoint, true);
        return 0;
    }
    QueueRaw(endpoint, host->receivedAddress, host->receivedData, length);
    return 1;  // consumed, also when the queue was full and it was dropped
}

// Reads what a raw-only socket (broadcasts, discovery) has received.
void ReadRawSocket(NetEndpoint* endpoint, ENetSocket socket)
{
    if (socket == ENET_SOCKET_NULL) return;
    enet_uint8 data[1500];
    for (int i = 0; i < 64; ++i) {
        ENetAddress from;
        ENetBuffer buffer;
        buffer.data = data;
        buffer.dataLength = sizeof data;
        const int length = enet_socket_receive(socket, &from, &buffer, 1);
        if (length <= 0) return;
        if (HasRawPrefix(endpoint, data, static_cast<std::size_t>(length)))
            QueueRaw(endpoint, from, data, static_cast<std::size_t>(length));
    }
}

void ReadBroadcasts(NetEndpoint* endpoint)
{
    ReadRawSocket(endpoint, endpoint->broadcastSocket);
    ReadRawSocket(endpoint, endpoint->discoverySocket);
}

// A non-blocking UDP socket bound to address; ENET_SOCKET_NULL when taken.
ENetSocket BindRawSocket(const ENetAddress& address)
{
    ENetSocket socket = enet_socket_create(ENET_SOCKET_TYPE_DATAGRAM);
    if (socket == ENET_SOCKET_NULL) return socket;
    if (enet_socket_bind(socket, &address) != 0 ||
        enet_socket_set_option(socket, ENET_SOCKOPT_NONBLOCK, 1) != 0) {
        enet_socket_destroy(socket);
        return ENET_SOCKET_NULL;
    }
    return socket;
}

void ApplyPeerTimeout(NetEndpoint* endpoint, ENetPeer* peer)
{
    const enet_uint32 limit = endpoint->limits.peerTimeoutMs;
    enet_peer_timeout(peer, ENET_PEER_TIMEOUT_LIMIT, limit / 2, limit);
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
    ReadBroadcasts(endpoint);
    int result = enet_host_service(endpoint->host, event, 0);
    ReclaimHalfOpen(endpoint, false);
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
    endpoint->halfOpenSince.assign(host->peerCount, 0);
    endpoint->outgoing.assign(host->peerCount, false);
    return endpoint;
}

void NetSetLimits(NetEndpoint* endpoint, const NetLimits& limits)
{
    if (endpoint == nullptr) return;
    endpoint->limits = limits;
    for (std::size_t i = 0; i < endpoint->host->peerCount; ++i)
        if (endpoint->host->peers[i].state == ENET_PEER_STATE_CONNECTED)
            ApplyPeerTimeout(endpoint, &endpoint->host->peers[i]);
}

bool NetIsLocalAddress(const NetAddress& address)
{
    // Binding succeeds only to an address of this machine (port 0: any free one).
    ENetSocket probe = enet_socket_create(ENET_SOCKET_TYPE_DATAGRAM);
    if (probe == ENET_SOCKET_NULL) return false;
    ENetAddress local;
    local.host = address.host;
    local.port = 0;
    const bool ours = enet_socket_bind(probe, &local) == 0;
    enet_socket_destroy(probe);
    return ours;
}

bool NetListenBroadcast(NetEndpoint* endpoint, std::uint16_t port)
{
    if (endpoint == nullptr) return false;
    if (endpoint->broadcastSocket != ENET_SOCKET_NULL) return true;
    // Bound to the broadcast address itself, it sees exactly the broadcasts
    // for this port and stays clear of the endpoint's own address.
    ENetAddress address;
    address.host = ENET_HOST_BROADCAST;
    address.port = port;
    endpoint->broadcastSocket = BindRawSocket(address);
    return endpoint->broadcastSocket != ENET_SOCKET_NULL;
}

bool NetListenRaw(NetEndpoint* endpoint, const NetAddress& address)
{
    if (endpoint == nullptr) return false;
    if (endpoint->discoverySocket != ENET_SOCKET_NULL) return true;
    endpoint->discoverySocket = BindRawSocket(ToENet(address));
    return endpoint->discoverySocket != ENET_SOCKET_NULL;
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
    if (endpoint->broadcastSocket != ENET_SOCKET_NULL) enet_socket_destroy(endpoint->broadcastSocket);
    if (endpoint->discoverySocket != ENET_SOCKET_NULL) enet_socket_destroy(endpoint->discoverySocket);
    delete endpoint;
}

int NetConnect(NetEndpoint* endpoint, const NetAddress& to, int channels)
{
    if (endpoint == nullptr || channels < 1) return -1;
    ENetAddress address = ToENet(to);
    ENetPeer* peer = enet_host_connect(endpoint->host, &address, static_cast<std::size_t>(channels), 0);
    if (peer == nullptr) return -1;
    const int index = PeerIndex(endpoint->host, peer);
    endpoint->outgoing[index] = true;
    ApplyPeerTimeout(endpoint, peer);
    return index;
}

void NetDisconnectLater(NetEndpoint* endpoint, int peer)
{
    ENetPeer* target = PeerAt(endpoint, peer);
    if (target != nullptr && target->state == ENET_PEER_STATE_CONNECTED)
        enet_peer_disconnect_later(target, 0);
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
                ApplyPeerTimeout(endpoint, happened.peer);
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

NetWaitHandles NetEndpointHandles(const NetEndpoint* endpoint)
{
    NetWaitHandles result;
    if (endpoint == nullptr) return result;
    result.handles[0] = endpoint->host->socket;
    result.handles[1] = endpoint->broadcastSocket;
    result.handles[2] = endpoint->discoverySocket;
    return result;
}

}  // namespace platform
