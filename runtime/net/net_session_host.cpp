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
    for (std::size_t peer = 0; peer < m_welcomed.size(); ++peer)
        if (m_welcomed[peer] && static_cast<int>(peer) != exceptPeer)
            SendControl(static_cast<int>(peer), packet);
}

void NetSession::HostReceived(int peer, const Packet& packet)
{
    if (peer < 0 || static_cast<std::size_t>(peer) >= m_welcomed.size()) return;

    if (!m_welcomed[peer]) {
        // A new connection must first name this application and session.
        if (packet.kind != PacketKind::Hello || !(packet.application == m_application) ||
            !(packet.instance == m_instance)) {
            platform::NetDisconnect(m_endpoint, peer);
            return;
        }
        m_welcomed[peer] = true;
        m_connectedAt[peer] = 0;
        // The player list first, the welcome last: on the ordered channel
        // the new peer knows every player once it is welcomed.
        for (std::size_t i = 0; i < m_roster.Count(); ++i)
            SendControl(peer, EncodePlayerAdded(m_roster.At(i).id, m_roster.At(i).name));
        SendControl(peer, EncodeWelcome(m_instance));
        platform::NetFlush(m_endpoint);
        return;
    }

    switch (packet.kind) {
    case PacketKind::CreatePlayer: {
        std::uint32_t id = m_roster.IsFull() ? 0 : NextPlayerId();
        if (id != 0 && !m_roster.Add(id, packet.name, peer)) id = 0;
        // The creator hears of its player first, so it knows the player as
        // its own before anything can be addressed to it.
        SendControl(peer, EncodePlayerCreated(packet.token, id));
        if (id != 0) SendToPeers(EncodePlayerAdded(id, packet.name), peer);
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
    for (std::size_t peer = 0; peer < m_connectedAt.size(); ++peer) {
        if (m_connectedAt[peer] != 0 && now - m_connectedAt[peer] > m_timeouts.connectMs) {
            m_connectedAt[peer] = 0;
            platform::NetDisconnect(m_endpoint, static_cast<int>(peer));
        }
    }
}

void NetSession::HostPeerGone(int peer)
{
    if (peer < 0 || static_cast<std::size_t>(peer) >= m_welcomed.size()) return;
    m_welcomed[peer] = false;
    m_connectedAt[peer] = 0;
    // The peer's players leave with it.
    for (std::uint32_t id : m_roster.RemoveOwnedBy(peer)) SendToPeers(EncodePlayerRemoved(id), peer);
    platform::NetFlush(m_endpoint);
}

}  // namespace tznet
