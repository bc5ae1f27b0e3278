// Players and text messages of a session, as every peer offers them, and
// what a joined peer makes of the host's packets.
#include "net/net_session.h"

#include <algorithm>

namespace tznet {

Status NetSession::CreatePlayer(std::string_view name, std::uint32_t* id)
{
    *id = 0;
    Pump();
    if (!IsOpen()) return kCannotAddPlayer;
    if (name.size() > kMaxPlayerName) return kTooLong;

    if (IsHost()) {
        const std::uint32_t newId = m_roster.IsFull() ? 0 : NextPlayerId();
        if (newId == 0 || !m_roster.Add(newId, std::string(name), kOwnerLocal, m_myNumber))
            return kCannotAddPlayer;
        SendToPeers(EncodePlayerAdded(newId, m_myNumber, m_roster.Find(newId)->name), -1);
        platform::NetFlush(m_endpoint);
        *id = newId;
        return kOk;
    }

    // A joined peer asks the host, which numbers every player, and waits a
    // bounded time for the answer. Between two hosts there is nobody to ask.
    if (m_migrating) return kCannotAddPlayer;
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
    else if (!m_migrating)
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
    case PacketKind::Refused:
        m_refusedVersion = packet.version != 0 ? packet.version : 1;
        break;
    case PacketKind::Welcome:
        if (!(packet.instance == m_instance)) break;
        m_myNumber = packet.number;
        m_hostNumber = packet.hostNumber;
        // Our own entry in the host's list only tells us our address.
        for (const Member& member : m_members)
            if (member.number == m_myNumber) m_myAddress = member.address;
        std::erase_if(m_members, [this](const Member& m) {
            return m.number == m_myNumber || m.number == m_hostNumber;
        });
        if (m_migrating) {
            // Welcomed back by the new host: what it did not confirm is gone.
            std::vector<std::uint32_t> stale;
            for (std::size_t i = 0; i < m_roster.Count(); ++i)
                if (std::find(m_confirmed.begin(), m_confirmed.end(), m_roster.At(i).id) == m_confirmed.end())
                    stale.push_back(m_roster.At(i).id);
            for (std::uint32_t id : stale) m_roster.Remove(id);
            m_confirmed.clear();
            Member host;
            host.number = m_hostNumber;
            host.address = m_candidateAddress;
            host.port = m_candidatePort;
            m_members.push_back(host);
            m_migrating = false;
        }
        m_gotWelcome = true;
        break;
    case PacketKind::PeerJoined:
        if (packet.number != m_myNumber || !m_gotWelcome) {
            if (FindMember(packet.number) == nullptr && m_members.size() < kMaxPeers * 2) {
                Member member;
                member.number = packet.number;
                member.address = packet.address;
                member.port = packet.port;
                m_members.push_back(member);
            }
        }
        break;
    case PacketKind::PeerLeft:
        std::erase_if(m_members, [&](const Member& m) { return m.number == packet.number; });
        break;
    case PacketKind::PlayerAdded:
        if (m_migrating) m_confirmed.push_back(packet.player);
        m_roster.Add(packet.player, packet.name, kOwnerElsewhere, packet.number);
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
        if (packet.player != 0 && m_roster.Add(packet.player, m_pendingName, kOwnerLocal, m_myNumber))
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
