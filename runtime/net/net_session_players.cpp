// Players and text messages of a session, as every peer offers them, and
// what a joined peer makes of the host's packets.
#include "net/net_session.h"

namespace tznet {

Status NetSession::CreatePlayer(std::string_view name, std::uint32_t* id)
{
    *id = 0;
    Pump();
    if (!IsOpen()) return kCannotAddPlayer;
    if (name.size() > kMaxPlayerName) return kTooLong;

    if (IsHost()) {
        const std::uint32_t newId = m_roster.IsFull() ? 0 : NextPlayerId();
        if (newId == 0 || !m_roster.Add(newId, std::string(name), kOwnerLocal)) return kCannotAddPlayer;
        SendToPeers(EncodePlayerAdded(newId, m_roster.Find(newId)->name), -1);
        platform::NetFlush(m_endpoint);
        *id = newId;
        return kOk;
    }

    // A joined peer asks the host, which numbers every player, and waits a
    // bounded time for the answer.
    if (++m_nextToken == 0) ++m_nextToken;  // 0 means no request
    m_pendingToken = m_nextToken;
    m_pendingName = std::string(name);
    m_pendingAnswered = false;
    m_pendingId = 0;
    if (!SendControl(m_hostPeer, EncodeCreatePlayer(m_pendingToken, name))) return kCannotAddPlayer;
    platform::NetFlush(m_endpoint);
    WaitFor(m_timeouts.answerMs, [this] { return !IsOpen() || m_pendingAnswered; });
    m_pendingToken = 0;
    if (!IsOpen() || m_pendingId == 0) return kCannotAddPlayer;
    *id = m_pendingId;
    return kOk;
}

Status NetSession::DestroyPlayer(std::uint32_t id)
{
    Pump();
    if (!IsOpen()) return kInvalidObject;
    // Only the peer that created a player may destroy it.
    if (!m_roster.IsLocal(id)) return kNoSuchPlayer;
    m_roster.Remove(id);
    if (IsHost())
        SendToPeers(EncodePlayerRemoved(id), -1);
    else
        SendControl(m_hostPeer, EncodeDestroyPlayer(id));
    platform::NetFlush(m_endpoint);
    return kOk;
}

Status NetSession::GetPlayerName(std::uint32_t id, std::string* name) const
{
    const Player* player = IsOpen() ? m_roster.Find(id) : nullptr;
    if (player == nullptr) return kNoSuchPlayer;
    *name = player->name;
    return kOk;
}

void NetSession::EnumPlayers(const std::function<bool(std::uint32_t id)>& each) const
{
    if (!IsOpen()) return;
    for (std::size_t i = 0; i < m_roster.Count(); ++i)
        if (!each(m_roster.At(i).id)) return;
}

Status NetSession::Send(std::uint32_t from, std::uint32_t to, std::string_view text, bool guaranteed)
{
    Pump();
    if (!IsOpen()) return kSessionLost;
    if (text.size() > kMaxText) return kTooLong;
    const Player* receiver = m_roster.Find(to);
    if (!m_roster.IsLocal(from) || receiver == nullptr) return kNoSuchPlayer;

    if (receiver->owner == kOwnerLocal) {
        m_roster.Deliver(to, std::string(text));
        return kOk;
    }
    // The host sends straight to the receiver's peer; a joined peer sends
    // everything through the host.
    const int peer = IsHost() ? receiver->owner : m_hostPeer;
    const std::vector<std::uint8_t> packet = EncodeText(from, to, text);
    const int channel = guaranteed ? kControlChannel : kTextChannel;
    if (!platform::NetSend(m_endpoint, peer, channel, packet.data(), packet.size(), guaranteed))
        return kSessionLost;
    platform::NetFlush(m_endpoint);
    return kOk;
}

Status NetSession::Receive(std::uint32_t to, std::string* text)
{
    Pump();
    if (!IsOpen()) return kSessionLost;
    return m_roster.TakeMessage(to, text) ? kOk : kNoMessages;
}

void NetSession::JoinedReceived(const Packet& packet)
{
    switch (packet.kind) {
    case PacketKind::Welcome:
        if (packet.instance == m_instance) m_gotWelcome = true;
        break;
    case PacketKind::PlayerAdded:
        m_roster.Add(packet.player, packet.name, kOwnerElsewhere);
        break;
    case PacketKind::PlayerRemoved:
        m_roster.Remove(packet.player);
        break;
    case PacketKind::PlayerCreated:
        // Only the answer to the request in flight counts; a player granted
        // after we stopped waiting is handed back.
        if (m_pendingToken == 0 || packet.token != m_pendingToken || m_pendingAnswered) {
            if (packet.player != 0 && m_roster.Find(packet.player) == nullptr)
                SendControl(m_hostPeer, EncodeDestroyPlayer(packet.player));
            break;
        }
        m_pendingAnswered = true;
        if (packet.player != 0 && m_roster.Add(packet.player, m_pendingName, kOwnerLocal))
            m_pendingId = packet.player;
        break;
    case PacketKind::Text:
        // Only for our own players, from players the session knows.
        if (m_roster.Find(packet.from) != nullptr) m_roster.Deliver(packet.to, packet.text);
        break;
    default:
        break;
    }
}

}  // namespace tznet
