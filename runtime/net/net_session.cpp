#include "net/net_session.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <random>

namespace tznet {

namespace {

constexpr std::uint16_t kDefaultPort = 28760;

TzGuid RandomGuid()
{
    std::random_device device;
    TzGuid guid;
    for (std::uint8_t& byte : guid.bytes) byte = static_cast<std::uint8_t>(device());
    return guid;
}

}  // namespace

std::int64_t SteadyMilliseconds()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::uint16_t SessionPort()
{
    const char* text = std::getenv("KV_NET_PORT");
    if (text == nullptr || text[0] == 0) return kDefaultPort;
    char* end = nullptr;
    long port = std::strtol(text, &end, 10);
    if (*end != 0 || port < 1 || port > 65535) return kDefaultPort;
    return static_cast<std::uint16_t>(port);
}

NetSession::NetSession(SessionTimeouts timeouts) : m_timeouts(timeouts)
{
    m_startedLibrary = platform::NetStartup();
}

NetSession::~NetSession()
{
    Close();
    if (m_startedLibrary) platform::NetShutdown();
}

Status NetSession::InitializeConnection(std::string_view address, std::uint16_t port)
{
    if (!m_startedLibrary) return kInvalidObject;
    m_port = port;
    m_haveAddress = false;
    if (!address.empty()) {
        std::string name(address);
        if (!platform::NetResolve(name.c_str(), port, &m_address)) return kBadAddress;
        m_haveAddress = true;
    }
    return kOk;
}

Status NetSession::OpenEndpoint(const platform::NetAddress* bindTo, std::size_t maxPeers)
{
    CloseEndpoint();
    m_endpoint = platform::NetOpen(bindTo, maxPeers, kMaxPacketSize, kDiscoveryPrefix, kMaxRawQueued);
    return m_endpoint != nullptr ? kOk : kCannotOpen;
}

void NetSession::CloseEndpoint()
{
    if (m_endpoint == nullptr) return;
    platform::NetClose(m_endpoint, m_timeouts.lingerMs);
    m_endpoint = nullptr;
}

Status NetSession::EnumSessions(const TzGuid& application, const SessionCallback& each)
{
    if (!m_startedLibrary) return kInvalidObject;
    if (IsOpen()) return kInvalidObject;
    if (m_endpoint == nullptr) {
        Status status = OpenEndpoint(nullptr, 1);
        if (status != kOk) return status;
    }
    m_found.clear();
    const bool broadcast = !m_haveAddress;
    const platform::NetAddress target =
        broadcast ? platform::NetBroadcastAddress(m_port) : m_address;
    const std::vector<std::uint8_t> query = EncodeQuery(application);

    const std::int64_t deadline = SteadyMilliseconds() + m_timeouts.enumerateMs;
    std::int64_t nextQuery = 0;
    bool answered = false;
    for (std::int64_t now = SteadyMilliseconds(); now < deadline; now = SteadyMilliseconds()) {
        if (now >= nextQuery) {
            platform::NetSendRaw(m_endpoint, target, query.data(), query.size(), broadcast);
            nextQuery = now + m_timeouts.queryRepeatMs;
        }
        platform::NetEvent event;
        const auto wait = static_cast<std::uint32_t>(std::min(deadline, nextQuery) - now);
        if (!platform::NetPoll(m_endpoint, &event, wait)) continue;
        Packet packet;
        if (event.kind != platform::NetEventKind::Raw ||
            !DecodeDatagram(event.data.data(), event.data.size(), &packet) ||
            packet.kind != PacketKind::SessionAnswer || !(packet.application == application))
            continue;
        answered = true;
        auto known = std::find_if(m_found.begin(), m_found.end(), [&](const FoundSession& s) {
            return s.instance == packet.instance;
        });
        if (known != m_found.end())
            known->where = event.from;
        else if (m_found.size() < kMaxSessionsFound)
            m_found.push_back({packet.instance, event.from});
        else
            continue;
        each(packet.instance, packet.name);
        // One address holds one session: once it has answered, there is
        // nothing more to wait for.
        if (!broadcast) break;
    }
    return answered ? kOk : kNoSessions;
}

Status NetSession::Create(const TzGuid& application, std::string_view name)
{
    if (!m_startedLibrary) return kInvalidObject;
    Close();
    if (name.size() > kMaxSessionName) return kTooLong;
    platform::NetAddress listen;
    listen.port = m_port;
    Status status = kCannotOpen;
    if (m_haveAddress) {
        // Listening on the given address keeps the session where it was
        // asked to be (127.0.0.1: this machine only); when that address is
        // not one of ours, every local address serves.
        platform::NetAddress given = m_address;
        given.port = m_port;
        status = OpenEndpoint(&given, kMaxPeers);
    }
    if (status != kOk) status = OpenEndpoint(&listen, kMaxPeers);
    if (status != kOk) return status;

    m_role = Role::Host;
    m_application = application;
    m_instance = RandomGuid();
    m_name = std::string(name);
    m_roster.Clear();
    m_welcomed.assign(kMaxPeers, false);
    m_connectedAt.assign(kMaxPeers, 0);
    // Ids start somewhere unpredictable, so an id kept from an earlier
    // session is unlikely to name a player of this one.
    std::random_device device;
    m_nextId = 1 + device() % 0x00FFFFFF;
    m_answerSecond = 0;
    m_answersThisSecond = 0;
    return kOk;
}

Status NetSession::Join(const TzGuid& application, const TzGuid& instance)
{
    if (!m_startedLibrary || m_endpoint == nullptr) return kInvalidObject;
    if (IsOpen()) return kInvalidObject;
    auto found = std::find_if(m_found.begin(), m_found.end(),
                              [&](const FoundSession& s) { return s.instance == instance; });
    if (instance.IsZero() || found == m_found.end()) return kNoSessions;

    m_application = application;
    m_instance = instance;
    m_roster.Clear();
    m_connected = m_gotWelcome = false;
    m_hostPeer = platform::NetConnect(m_endpoint, found->where, kChannels);
    if (m_hostPeer < 0) return kConnectionFailed;
    m_role = Role::Joined;

    // Connect, introduce ourselves, and wait for the welcome (the player
    // list arrives before it, in order, on the same channel).
    bool helloSent = false;
    bool welcomed = WaitFor(m_timeouts.connectMs, [&] {
        if (!IsOpen()) return true;
        if (m_connected && !helloSent) {
            helloSent = SendControl(m_hostPeer, EncodeHello(application, instance));
            platform::NetFlush(m_endpoint);
        }
        return m_gotWelcome;
    });
    if (!welcomed || !IsOpen() || !m_gotWelcome) {
        Close();
        return kConnectionFailed;
    }
    return kOk;
}

void NetSession::Close()
{
    CloseEndpoint();
    m_role = Role::None;
    m_roster.Clear();
    m_welcomed.clear();
    m_connectedAt.clear();
    m_hostPeer = -1;
    m_connected = m_gotWelcome = false;
    m_pendingToken = 0;
}

void NetSession::Pump()
{
    if (m_endpoint == nullptr) return;
    platform::NetEvent event;
    for (std::size_t handled = 0; handled < kMaxEventsPerPump && m_endpoint != nullptr; ++handled) {
        if (!platform::NetPoll(m_endpoint, &event, 0)) break;
        HandleEvent(event);
    }
    if (IsHost()) DropSilentPeers();
}

bool NetSession::WaitFor(std::uint32_t timeoutMs, const std::function<bool()>& done)
{
    const std::int64_t deadline = SteadyMilliseconds() + timeoutMs;
    for (;;) {
        if (done()) return true;
        const std::int64_t now = SteadyMilliseconds();
        if (now >= deadline || m_endpoint == nullptr) return false;
        platform::NetEvent event;
        const auto slice = static_cast<std::uint32_t>(std::min<std::int64_t>(deadline - now, 10));
        if (platform::NetPoll(m_endpoint, &event, slice)) HandleEvent(event);
    }
}

bool NetSession::SendControl(int peer, const std::vector<std::uint8_t>& packet)
{
    return platform::NetSend(m_endpoint, peer, kControlChannel, packet.data(), packet.size(), true);
}

void NetSession::HandleEvent(const platform::NetEvent& event)
{
    Packet packet;
    if (m_role == Role::Host) {
        switch (event.kind) {
        case platform::NetEventKind::Raw:
            AnswerQuery(event);
            break;
        case platform::NetEventKind::Connected:
            if (event.peer >= 0 && static_cast<std::size_t>(event.peer) < m_welcomed.size()) {
                m_welcomed[event.peer] = false;
                m_connectedAt[event.peer] = SteadyMilliseconds();
            }
            break;
        case platform::NetEventKind::Disconnected:
            HostPeerGone(event.peer);
            break;
        case platform::NetEventKind::Received:
            if (DecodeSessionPacket(event.data.data(), event.data.size(), &packet))
                HostReceived(event.peer, packet);
            break;
        }
        return;
    }
    if (m_role == Role::Joined) {
        if (event.peer != m_hostPeer) return;  // only the host talks to us
        switch (event.kind) {
        case platform::NetEventKind::Raw:
            break;
        case platform::NetEventKind::Connected:
            m_connected = true;
            break;
        case platform::NetEventKind::Disconnected:
            // The host went away (or refused us): the session is over.
            Close();
            break;
        case platform::NetEventKind::Received:
            if (DecodeSessionPacket(event.data.data(), event.data.size(), &packet))
                JoinedReceived(packet);
            break;
        }
    }
}

}  // namespace tznet
