// The host's side of a session: answering discovery queries, admitting
// peers, numbering their players and routing text between peers. Every
// packet from a peer is checked against what that peer may do.
#include "net/net_session.h"

namespace tznet {

void NetSession::AnswerQuery(const platform::NetEvent& event)
{
    Packet packet;
    if (!DecodeDatagram(event.data.data(), event.data.size(), &packet) ||
        packet.kind != PacketKind::SessionQuery || !(packet.application == m_application))
        return;
    // A flood of queries gets a bounded number of answers, so the host
    // cannot be used to multiply someone else's traffic.
    const std::int64_t second = SteadyMilliseconds() / 1000;
    if (second != m_answerSecond) {
        m_answerSecond = second;
        m_answersThisSecond = 0;
    }
    if (m_answersThisSecond >= kMaxAnswersPerSecond) return;
    ++m_answersThisSecond;
    const std::vector<std::uint8_t> answer = EncodeAnswer(m_application, m_instance, m_name);
    platform::NetSendRaw(m_endpoint, event.from, answer.data(), answer.size(), false);
}

std::uint32_t NetSession::NextPlayerId()
{
    // Ids stay positive 32-bit values, so "%d" and atol carry them unchanged.
    if (m_nextId == 0 || m_nextId > 0x7FFFFFFF) return 0;
    return m_nextId++;
}

void NetSession::SendToPeers(const std::vector<std::uint8_t>& packet, int exceptPeer)
{
    for (std::size_t peer = 0; peer < m_connections.size(); ++peer)
        if (m_connections[peer].welcomed && static_cast<int>(peer) != exceptPeer)
            SendControl(static_cast<int>(peer), packet);
}

void NetSession::HostConnected(int peer, const platform::NetAddress& from)
{
    if (peer < 0 || static_cast<std::size_t>(peer) >= m_connections.size()) return;
    // One machine may hold only so many of the session's connections.
    std::size_t fromThere = 0;
    for (const Connection& c : m_connections)
        if (c.connected && c.address == from.host) ++fromThere;
    if (fromThere >= kMaxConnectionsPerAddress) {
        platform::NetDisconnect(m_endpoint, peer);
        return;
    }
    Connection& connection = m_connections[peer];
    connection = Connection{};
    connection.connected = true;
    connection.address = from.host;
    connection.port = from.port;
    connection.connectedAt = SteadyMilliseconds();
}

void NetSession::HostHello(int peer, const Packet& packet)
{
    Connection& connection = m_connections[peer];
    if (packet.kind == PacketKind::Hello && packet.version != kProtocolVersion) {
        // Tell the peer why, so it can say so instead of timing out.
        SendControl(peer, EncodeRefused());
        platform::NetDisconnectLater(m_endpoint, peer);
        platform::NetFlush(m_endpoint);
        connection.connectedAt = 0;
        return;
    }
    // A new connection must first name this application and session.
    if (packet.kind != PacketKind::Hello || !(packet.application == m_application) ||
        !(packet.instance == m_instance)) {
        platform::NetDisconnect(m_endpoint, peer);
        connection = Connection{};
        return;
    }
    std::uint32_t number = 0;
    if (packet.number != 0) {
        // A peer of the old host coming back: only one we are waiting for,
        // from the address it had.
        Member* member = FindMember(packet.number);
        if (member == nullptr || member->peer >= 0 || member->address != connection.address) {
            platform::NetDisconnect(m_endpoint, peer);
            connection = Connection{};
            return;
        }
        number = packet.number;
        member->peer = peer;
        member->awaitedUntil = 0;
        m_roster.SetOwnerByNumber(number, peer);
    } else {
        number = m_nextNumber++;
        Member member;
        member.number = number;
        member.address = connection.address;
        member.port = connection.port;
        member.peer = peer;
        m_members.push_back(member);
        SendToPeers(EncodePeerJoined(number, connection.address, connection.port), peer);
    }
    connection.welcomed = true;
    connection.connectedAt = 0;
    connection.number = number;
    // The connections and the player list first, the welcome last: on the
    // ordered channel the new peer knows everything once it is welcomed.
    for (const Member& member : m_members)
        SendControl(peer, EncodePeerJoined(member.number, member.address, member.port));
    for (std::size_t i = 0; i < m_roster.Count(); ++i) {
        const Player& player = m_roster.At(i);
        SendControl(peer, EncodePlayerAdded(player.id, player.ownerNumber, player.name));
    }
    SendControl(peer, EncodeWelcome(m_instance, number, m_myNumber));
    platform::NetFlush(m_endpoint);
}

void NetSession::HostReceived(int peer, const Packet& packet)
{
    if (peer < 0 || static_cast<std::size_t>(peer) >= m_connections.size()) return;
    Connection& connection = m_connections[peer];
    if (!connection.connected) return;
    if (!connection.welcomed) {
        if (connection.connectedAt != 0) HostHello(peer, packet);
        return;
    }

    switch (packet.kind) {
    case PacketKind::CreatePlayer: {
        // One connection may not take every player slot of the session.
        std::uint32_t id = 0;
        if (!m_roster.IsFull() && m_roster.CountOwnedBy(peer) < kMaxPlayersPerPeer) id = NextPlayerId();
        if (id != 0 && !m_roster.Add(id, packet.name, peer, connection.number)) id = 0;
        // The creator hears of its player first, so it knows the player as
        // its own before anything can be addressed to it.
        SendControl(peer, EncodePlayerCreated(packet.token, id));
        if (id != 0) SendToPeers(EncodePlayerAdded(id, connection.number, packet.name), peer);
        platform::NetFlush(m_endpoint);
        break;
    }
    case PacketKind::DestroyPlayer: {
        const Player* player = m_roster.Find(packet.player);
        if (player == nullptr || player->owner != peer) return;  // not theirs to destroy
        m_roster.Remove(packet.player);
        SendToPeers(EncodePlayerRemoved(packet.player), peer);
        platform::NetFlush(m_endpoint);
        break;
    }
    case PacketKind::Text: {
        const Player* from = m_roster.Find(packet.from);
        const Player* to = m_roster.Find(packet.to);
        if (from == nullptr || from->owner != peer || to == nullptr) return;  // forged or stale
        if (to->owner == kOwnerLocal) {
            m_roster.Deliver(packet.to, packet.text);
        } else if (to->owner >= 0) {
            const std::vector<std::uint8_t> forward = EncodeText(packet.from, packet.to, packet.text);
            platform::NetSend(m_endpoint, to->owner, kTextChannel, forward.data(), forward.size(), false);
            platform::NetFlush(m_endpoint);
        }
        break;
    }
    default:
        break;  // host-to-peer kinds have no business arriving here
    }
}

void NetSession::DropSilentPeers()
{
    // A connection that does not introduce itself in time would only hold
    // one of the host's few connection slots.
    const std::int64_t now = SteadyMilliseconds();
    for (std::size_t peer = 0; peer < m_connections.size(); ++peer) {
        Connection& connection = m_connections[peer];
        if (connection.connectedAt != 0 && now - connection.connectedAt > m_timeouts.connectMs) {
            platform::NetDisconnect(m_endpoint, static_cast<int>(peer));
            connection = Connection{};
        }
    }
}

void NetSession::ForgetAwaitedMembers()
{
    // After a migration, peers of the old host that have not come back in
    // time are gone, and their players with them.
    const std::int64_t now = SteadyMilliseconds();
    std::vector<std::uint32_t> gone;
    for (const Member& member : m_members)
        if (member.peer < 0 && member.awaitedUntil != 0 && now >= member.awaitedUntil)
            gone.push_back(member.number);
    for (std::uint32_t number : gone) RemoveMember(number);
}

void NetSession::RemoveMember(std::uint32_t number)
{
    std::erase_if(m_members, [number](const Member& m) { return m.number == number; });
    for (std::uint32_t id : m_roster.RemoveOwnedByNumber(number)) SendToPeers(EncodePlayerRemoved(id), -1);
    SendToPeers(EncodePeerLeft(number), -1);
    platform::NetFlush(m_endpoint);
}

void NetSession::HostPeerGone(int peer)
{
    if (peer < 0 || static_cast<std::size_t>(peer) >= m_connections.size()) return;
    const Connection connection = m_connections[peer];
    m_connections[peer] = Connection{};
    // The peer's players leave with it, everywhere.
    if (connection.welcomed) RemoveMember(connection.number);
}

NetSession::Member* NetSession::FindMember(std::uint32_t number)
{
    for (Member& member : m_members)
        if (member.number == number) return &member;
    return nullptr;
}

}  // namespace tznet
