// Host migration, on a joined peer: when the host goes away or falls silent
// (its connection times out), the oldest remaining connection (the lowest
// join number) becomes the host on the socket it already has, and every
// other peer reconnects to it there and claims its number back. Every peer knows the same connections in the same order (the host
// announced each one), so they all pick the same new host without talking.
// If the chosen one does not answer in time, it is taken for gone and the
// next one is tried.
#include "net/net_session.h"

#include <algorithm>
#include <cstdio>
#include <random>

#include "core/error_log.h"

namespace tznet {

void NetSession::HostLost()
{
    // The old host's players leave the session with it.
    m_roster.RemoveOwnedByNumber(m_hostNumber);
    std::erase_if(m_members, [this](const Member& m) { return m.number == m_hostNumber; });
    // A player request in flight will not be answered.
    if (m_pendingToken != 0) m_pendingAnswered = true;
    m_migrating = true;
    m_hostPeer = -1;
    m_candidate = 0;
    m_migrateUntil = 0;
    m_connected = false;
    m_confirmed.clear();
    ContinueMigration();
}

void NetSession::ContinueMigration()
{
    const std::int64_t now = SteadyMilliseconds();
    if (m_hostPeer >= 0) {
        if (now < m_migrateUntil) return;  // still connecting to the candidate
        platform::NetDisconnect(m_endpoint, m_hostPeer);
        m_hostPeer = -1;
        m_migrateUntil = 0;
    }
    if (m_candidate != 0 && m_migrateUntil == 0) {
        // The candidate did not take us: it is gone too.
        m_roster.RemoveOwnedByNumber(m_candidate);
        std::erase_if(m_members, [this](const Member& m) { return m.number == m_candidate; });
        m_candidate = 0;
    }

    // The oldest remaining connection.
    const Member* next = nullptr;
    for (const Member& member : m_members)
        if (member.number < m_myNumber && (next == nullptr || member.number < next->number)) next = &member;
    if (next == nullptr) {
        BecomeHost();
        return;
    }
    m_candidate = next->number;
    m_candidateAddress = next->address;
    m_candidatePort = next->port != 0 ? next->port : m_port;
    platform::NetAddress where;
    where.host = next->address;
    where.port = m_candidatePort;
    m_connected = false;
    m_confirmed.clear();
    m_hostPeer = m_endpoint != nullptr ? platform::NetConnect(m_endpoint, where, kChannels) : -1;
    // The new host may not have noticed the loss yet: ENet repeats the
    // request until the time is up.
    m_migrateUntil = now + m_timeouts.migrateMs;
    if (m_hostPeer < 0) m_migrateUntil = 0;  // tried at the next pump
}

void NetSession::BecomeHost()
{
    const std::int64_t now = SteadyMilliseconds();
    if (m_endpoint == nullptr) {
        // Nothing to serve on: the session cannot go on here.
        char line[320];
        std::snprintf(line, sizeof line, "network session \"%s\" lost: its host went away", m_name.c_str());
        std::fprintf(stderr, "%s\n", line);
        AppendErrorLog(line);
        Close();
        return;
    }
    // The session goes on on this peer's own socket, where every other peer
    // knows to find it; connections that came early are kept.
    m_role = Role::Host;
    m_migrating = false;
    m_candidate = 0;
    m_hostPeer = -1;
    m_hostNumber = m_myNumber;
    if (m_connections.size() != kMaxPeers) m_connections.assign(kMaxPeers, Connection{});
    m_answerSecond = 0;
    m_answersThisSecond = 0;
    // The other peers have a while to come back; their players wait for them.
    std::uint32_t largestNumber = m_myNumber;
    for (Member& member : m_members) {
        member.peer = -1;
        member.awaitedUntil = now + m_timeouts.migrateMs;
        largestNumber = std::max(largestNumber, member.number);
    }
    m_nextNumber = largestNumber + 1;
    m_nextId = m_roster.LargestId() + 1;
    if (m_nextId == 1) {
        std::random_device device;
        m_nextId = 1 + device() % 0x00FFFFFF;
    }
    m_sessionPortPending = true;
    m_nextPortClaimAt = 0;
    ClaimSessionPort();
}

void NetSession::ClaimSessionPort()
{
    if (!m_sessionPortPending || m_endpoint == nullptr) return;
    const std::int64_t now = SteadyMilliseconds();
    if (now < m_nextPortClaimAt) return;
    m_nextPortClaimAt = now + kPortClaimRepeatMs;
    // Where the others knew us, if that is an address of this machine;
    // otherwise every address.
    platform::NetAddress here;
    here.host = m_myAddress;
    here.port = m_port;
    if (m_myAddress == 0 || !platform::NetIsLocalAddress(here)) here.host = 0;
    if (!platform::NetListenRaw(m_endpoint, here)) return;  // still held: again later
    m_sessionPortPending = false;
    if (here.host != 0) platform::NetListenBroadcast(m_endpoint, m_port);
}

void NetSession::OtherPeerEvent(const platform::NetEvent& event)
{
    if (event.peer < 0 || static_cast<std::size_t>(event.peer) >= m_connections.size()) return;
    switch (event.kind) {
    case platform::NetEventKind::Connected:
        HostConnected(event.peer, event.from);
        return;
    case platform::NetEventKind::Disconnected:
        m_connections[event.peer] = Connection{};
        return;
    case platform::NetEventKind::Raw:
        return;
    case platform::NetEventKind::Received:
        break;
    }
    Packet packet;
    const Connection& connection = m_connections[event.peer];
    if (!connection.connected || connection.welcomed ||
        !DecodeSessionPacket(event.data.data(), event.data.size(), &packet))
        return;
    // Only a peer of this session that joined after us and claims its
    // number from the address it had: it lost the host, and we are the
    // oldest connection it knows. The host is gone for us too, then.
    const Member* member = FindMember(packet.number);
    if (packet.kind != PacketKind::Hello || packet.version != kProtocolVersion || packet.number == 0 ||
        !(packet.application == m_application) || !(packet.instance == m_instance) || member == nullptr ||
        member->address != connection.address || packet.number <= m_myNumber || m_migrating)
        return;
    platform::NetDisconnect(m_endpoint, m_hostPeer);
    HostLost();
    if (IsHost()) HostReceived(event.peer, packet);
}

}  // namespace tznet
