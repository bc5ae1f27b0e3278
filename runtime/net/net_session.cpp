#include "net/net_session.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "core/error_log.h"

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

void ReportOtherVersion(std::uint16_t theirs)
{
    char line[96];
    std::snprintf(line, sizeof line, "network protocol version %u, this program speaks %u",
                  static_cast<unsigned>(theirs), static_cast<unsigned>(kProtocolVersion));
    std::fprintf(stderr, "%s\n", line);
    AppendErrorLog(line);
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
    if (m_endpoint == nullptr) return kCannotOpen;
    platform::NetLimits limits;
    limits.peerTimeoutMs = m_timeouts.peerTimeoutMs;
    platform::NetSetLimits(m_endpoint, limits);
    return kOk;
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
        // Room for the whole session: this socket serves it if this peer
        // ever takes over as host.
        Status status = OpenEndpoint(nullptr, kMaxPeers);
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
    std::uint16_t otherVersion = 0;
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
        if (packet.version != kProtocolVersion) {
            // A session of another version cannot be joined (said below,
            // when nothing else answered).
            otherVersion = packet.version;
            if (!broadcast) break;
            continue;
        }
        answered = true;
        auto known = std::find_if(m_found.begin(), m_found.end(), [&](const FoundSession& s) {
            return s.instance == packet.instance;
        });
        if (known != m_found.end()) {
            known->where = event.from;
            known->name = packet.name;
        } else if (m_found.size() < kMaxSessionsFound) {
            m_found.push_back({packet.instance, event.from, packet.name});
        }
        else
            continue;
        each(packet.instance, packet.name);
        // One address holds one session: once it has answered, there is
        // nothing more to wait for.
        if (!broadcast) break;
    }
    if (answered) return kOk;
    if (otherVersion == 0) return kNoSessions;
    ReportOtherVersion(otherVersion);
    return kOtherVersion;
}

Status NetSession::Create(const TzGuid& application, std::string_view name)
{
    if (!m_startedLibrary) return kInvalidObject;
    Close();
    if (name.size() > kMaxSessionName) return kTooLong;
    Status status = kOk;
    if (m_haveAddress) {
        // Listening on the given address keeps the session where it was
        // asked to be (127.0.0.1: this machine only). An address that is
        // not this machine's is a mistake: listening everywhere instead
        // would open the session where it was not meant to be.
        platform::NetAddress given = m_address;
        given.port = m_port;
        if (!platform::NetIsLocalAddress(given)) {
            char line[96];
            std::snprintf(line, sizeof line, "NETHOSTGAME: %u.%u.%u.%u is not an address of this machine",
                          given.host & 0xFF, (given.host >> 8) & 0xFF, (given.host >> 16) & 0xFF,
                          given.host >> 24);
            std::fprintf(stderr, "%s\n", line);
            AppendErrorLog(line);
            return kNotThisMachine;
        }
        status = OpenHostEndpoint(&given);
    } else {
        status = OpenHostEndpoint(nullptr);
    }
    if (status != kOk) return status;

    m_role = Role::Host;
    m_application = application;
    m_instance = RandomGuid();
    m_name = std::string(name);
    m_roster.Clear();
    m_myNumber = 0;
    m_nextNumber = 1;
    m_members.clear();
    // Ids start somewhere unpredictable, so an id kept from an earlier
    // session is unlikely to name a player of this one.
    std::random_device device;
    m_nextId = 1 + device() % 0x00FFFFFF;
    m_lastServiceAt = SteadyMilliseconds();
    return kOk;
}

Status NetSession::OpenHostEndpoint(const platform::NetAddress* bindTo)
{
    platform::NetAddress listen;
    if (bindTo != nullptr) listen = *bindTo;
    listen.port = m_port;
    Status status = OpenEndpoint(&listen, kMaxPeers);
    if (status != kOk) return status;
    // Bound to one address, the socket does not see broadcast queries; a
    // second socket hears them, so joiners searching the local network
    // find the session whatever address it was given.
    if (listen.host != 0) platform::NetListenBroadcast(m_endpoint, m_port);
    m_connections.assign(kMaxPeers, Connection{});
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
    m_name = found->name;
    m_roster.Clear();
    m_members.clear();
    // Peers that lose the host may connect to us before we notice it too.
    m_connections.assign(kMaxPeers, Connection{});
    m_connected = m_gotWelcome = m_migrating = false;
    m_refusedVersion = 0;
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
        const std::uint16_t refused = m_refusedVersion;
        Close();
        if (refused != 0) {
            ReportOtherVersion(refused);
            return kOtherVersion;
        }
        return kConnectionFailed;
    }
    // The host is a member like any other: it is where we connected.
    Member host;
    host.number = m_hostNumber;
    host.address = found->where.host;
    host.port = found->where.port;
    m_members.push_back(host);
    m_lastServiceAt = SteadyMilliseconds();
    return kOk;
}

void NetSession::Close()
{
    CloseEndpoint();
    m_role = Role::None;
    m_roster.Clear();
    m_connections.clear();
    m_members.clear();
    m_confirmed.clear();
    m_hostPeer = -1;
    m_connected = m_gotWelcome = m_migrating = false;
    m_myNumber = m_hostNumber = m_myAddress = 0;
    m_candidate = 0;
    m_pendingToken = 0;
    m_sessionPortPending = false;
}

void NetSession::CheckForPause()
{
    const std::int64_t now = SteadyMilliseconds();
    const std::int64_t silent = now - m_lastServiceAt;
    m_lastServiceAt = now;
    if (!IsOpen() || silent < m_timeouts.peerTimeoutMs) return;
    // A host alone has nobody who could have dropped it.
    bool others = !IsHost();
    for (const Connection& connection : m_connections) others = others || connection.welcomed;
    for (const Member& member : m_members) others = others || member.peer < 0;
    if (!others) return;
    char line[400];
    std::snprintf(line, sizeof line,
                  "network session \"%s\" lost: this program did not answer for %lld s, the others "
                  "dropped it and went on without it",
                  m_name.c_str(), static_cast<long long>((silent + 500) / 1000));
    std::fprintf(stderr, "%s\n", line);
    AppendErrorLog(line);
    Close();
}

void NetSession::Pump()
{
    if (m_endpoint == nullptr) return;
    CheckForPause();
    if (m_endpoint == nullptr) return;
    platform::NetEvent event;
    for (std::size_t handled = 0; handled < kMaxEventsPerPump && m_endpoint != nullptr; ++handled) {
        if (!platform::NetPoll(m_endpoint, &event, 0)) break;
        HandleEvent(event);
    }
    if (IsHost()) {
        DropSilentPeers();
        ForgetAwaitedMembers();
        ClaimSessionPort();
    } else if (IsMigrating()) {
        ContinueMigration();
    }
}

bool NetSession::WaitFor(std::uint32_t timeoutMs, const std::function<bool()>& done)
{
    const std::int64_t deadline = SteadyMilliseconds() + timeoutMs;
    for (;;) {
        if (done()) return true;
        const std::int64_t now = SteadyMilliseconds();
        m_lastServiceAt = now;
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
            HostConnected(event.peer, event.from);
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
        if (event.peer != m_hostPeer) {
            OtherPeerEvent(event);
            return;
        }
        switch (event.kind) {
        case platform::NetEventKind::Raw:
            break;
        case platform::NetEventKind::Connected:
            m_connected = true;
            if (m_migrating) {
                // The new host: claim our number back.
                SendControl(m_hostPeer, EncodeHello(m_application, m_instance, m_myNumber));
                platform::NetFlush(m_endpoint);
            }
            break;
        case platform::NetEventKind::Disconnected:
            if (m_migrating) {
                // The candidate did not take us: try the next one.
                m_hostPeer = -1;
                m_migrateUntil = 0;
                ContinueMigration();
            } else if (m_gotWelcome) {
                HostLost();
            } else {
                // Refused or timed out while joining.
                Close();
            }
            break;
        case platform::NetEventKind::Received:
            if (DecodeSessionPacket(event.data.data(), event.data.size(), &packet))
                JoinedReceived(packet);
            break;
        }
    }
}

}  // namespace tznet
