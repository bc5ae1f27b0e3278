#include "net/net_packet.h"

#include <algorithm>

namespace tznet {

namespace {

// Appends fields to a packet being built.
class Writer {
public:
    explicit Writer(PacketKind kind, bool discovery = false)
    {
        if (discovery) m_bytes.assign(kDiscoveryPrefix.begin(), kDiscoveryPrefix.end());
        m_bytes.push_back(static_cast<std::uint8_t>(kind));
    }
    Writer& Guid(const TzGuid& guid)
    {
        m_bytes.insert(m_bytes.end(), guid.bytes, guid.bytes + sizeof guid.bytes);
        return *this;
    }
    Writer& U16(std::uint16_t value)
    {
        m_bytes.push_back(static_cast<std::uint8_t>(value));
        m_bytes.push_back(static_cast<std::uint8_t>(value >> 8));
        return *this;
    }
    Writer& U32(std::uint32_t value)
    {
        for (int shift = 0; shift < 32; shift += 8) m_bytes.push_back(static_cast<std::uint8_t>(value >> shift));
        return *this;
    }
    // A length-prefixed byte string; the caller keeps it within its limit.
    Writer& Bytes(std::string_view text)
    {
        auto length = static_cast<std::uint16_t>(text.size());
        m_bytes.push_back(static_cast<std::uint8_t>(length));
        m_bytes.push_back(static_cast<std::uint8_t>(length >> 8));
        m_bytes.insert(m_bytes.end(), text.begin(), text.end());
        return *this;
    }
    std::vector<std::uint8_t> Take() { return std::move(m_bytes); }

private:
    std::vector<std::uint8_t> m_bytes;
};

// Reads fields from an untrusted packet; every read checks what is left and
// a failed read makes the whole packet invalid.
class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(data ? size : 0) {}

    bool Guid(TzGuid* out)
    {
        if (!Have(sizeof out->bytes)) return false;
        std::copy(m_data + m_at, m_data + m_at + sizeof out->bytes, out->bytes);
        m_at += sizeof out->bytes;
        return true;
    }
    bool U16(std::uint16_t* out)
    {
        if (!Have(2)) return false;
        *out = static_cast<std::uint16_t>(m_data[m_at] | (m_data[m_at + 1] << 8));
        m_at += 2;
        return true;
    }
    bool U32(std::uint32_t* out)
    {
        if (!Have(4)) return false;
        *out = 0;
        for (int i = 0; i < 4; ++i) *out |= static_cast<std::uint32_t>(m_data[m_at + i]) << (8 * i);
        m_at += 4;
        return true;
    }
    bool Bytes(std::size_t maxLength, std::string* out)
    {
        if (!Have(2)) return false;
        std::size_t length = m_data[m_at] | (static_cast<std::size_t>(m_data[m_at + 1]) << 8);
        m_at += 2;
        if (length > maxLength || !Have(length)) return false;
        out->assign(reinterpret_cast<const char*>(m_data + m_at), length);
        m_at += length;
        return true;
    }
    bool Byte(std::uint8_t* out)
    {
        if (!Have(1)) return false;
        *out = m_data[m_at++];
        return true;
    }
    bool Skip(std::size_t count)
    {
        if (!Have(count)) return false;
        m_at += count;
        return true;
    }
    // Trailing bytes make a packet invalid: it must be exactly its size.
    bool AtEnd() const { return m_at == m_size; }

private:
    bool Have(std::size_t count) const { return count <= m_size - m_at; }

    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

// Names are text: an embedded zero would make two different names look alike.
bool IsCleanName(const std::string& name)
{
    return name.find('\0') == std::string::npos;
}

}  // namespace

std::vector<std::uint8_t> EncodeQuery(const TzGuid& application)
{
    return Writer(PacketKind::SessionQuery, true).Guid(application).Take();
}

std::vector<std::uint8_t> EncodeAnswer(const TzGuid& application, const TzGuid& instance,
                                       std::string_view sessionName, std::uint16_t version)
{
    return Writer(PacketKind::SessionAnswer, true)
        .U16(version).Guid(application).Guid(instance)
        .Bytes(sessionName.substr(0, kMaxSessionName)).Take();
}

bool DecodeDatagram(const std::uint8_t* data, std::size_t size, Packet* out)
{
    Reader reader(data, size);
    if (data == nullptr || size < kDiscoveryPrefix.size() ||
        !std::equal(kDiscoveryPrefix.begin(), kDiscoveryPrefix.end(), data))
        return false;
    reader.Skip(kDiscoveryPrefix.size());
    std::uint8_t kind = 0;
    if (!reader.Byte(&kind)) return false;
    Packet packet;
    packet.kind = static_cast<PacketKind>(kind);
    switch (packet.kind) {
    case PacketKind::SessionQuery:
        if (!reader.Guid(&packet.application)) return false;
        break;
    case PacketKind::SessionAnswerV1:
        // The first format: only its version matters to us.
        packet.kind = PacketKind::SessionAnswer;
        packet.version = 1;
        if (!reader.Guid(&packet.application)) return false;
        *out = std::move(packet);
        return true;
    case PacketKind::SessionAnswer:
        if (!reader.U16(&packet.version) || !reader.Guid(&packet.application)) return false;
        // Of another version, only the version and application are read:
        // the rest may be laid out differently.
        if (packet.version != kProtocolVersion) {
            *out = std::move(packet);
            return true;
        }
        if (!reader.Guid(&packet.instance) || !reader.Bytes(kMaxSessionName, &packet.name) ||
            !IsCleanName(packet.name))
            return false;
        break;
    default:
        return false;
    }
    if (!reader.AtEnd()) return false;
    *out = std::move(packet);
    return true;
}

std::vector<std::uint8_t> EncodeHello(const TzGuid& application, const TzGuid& instance,
                                      std::uint32_t rejoin, std::uint16_t version)
{
    return Writer(PacketKind::Hello).U16(version).Guid(application).Guid(instance).U32(rejoin).Take();
}

std::vector<std::uint8_t> EncodeCreatePlayer(std::uint32_t token, std::string_view name)
{
    return Writer(PacketKind::CreatePlayer).U32(token).Bytes(name.substr(0, kMaxPlayerName)).Take();
}

std::vector<std::uint8_t> EncodeDestroyPlayer(std::uint32_t id)
{
    return Writer(PacketKind::DestroyPlayer).U32(id).Take();
}

std::vector<std::uint8_t> EncodeWelcome(const TzGuid& instance, std::uint32_t yourNumber,
                                        std::uint32_t hostNumber)
{
    return Writer(PacketKind::Welcome).Guid(instance).U32(yourNumber).U32(hostNumber).Take();
}

std::vector<std::uint8_t> EncodePlayerAdded(std::uint32_t id, std::uint32_t ownerNumber,
                                            std::string_view name)
{
    return Writer(PacketKind::PlayerAdded).U32(id).U32(ownerNumber)
        .Bytes(name.substr(0, kMaxPlayerName)).Take();
}

std::vector<std::uint8_t> EncodeRefused(std::uint16_t version)
{
    return Writer(PacketKind::Refused).U16(version).Take();
}

std::vector<std::uint8_t> EncodePeerJoined(std::uint32_t number, std::uint32_t address, std::uint16_t port)
{
    return Writer(PacketKind::PeerJoined).U32(number).U32(address).U16(port).Take();
}

std::vector<std::uint8_t> EncodePeerLeft(std::uint32_t number)
{
    return Writer(PacketKind::PeerLeft).U32(number).Take();
}

std::vector<std::uint8_t> EncodePlayerRemoved(std::uint32_t id)
{
    return Writer(PacketKind::PlayerRemoved).U32(id).Take();
}

std::vector<std::uint8_t> EncodePlayerCreated(std::uint32_t token, std::uint32_t id)
{
    return Writer(PacketKind::PlayerCreated).U32(token).U32(id).Take();
}

std::vector<std::uint8_t> EncodeText(std::uint32_t from, std::uint32_t to, std::string_view text)
{
    return Writer(PacketKind::Text).U32(from).U32(to).Bytes(text.substr(0, kMaxText)).Take();
}

bool DecodeSessionPacket(const std::uint8_t* data, std::size_t size, Packet* out)
{
    Reader reader(data, size);
    std::uint8_t kind = 0;
    if (!reader.Byte(&kind)) return false;
    Packet packet;
    packet.kind = static_cast<PacketKind>(kind);
    bool ok = false;
    switch (packet.kind) {
    case PacketKind::HelloV1:
        // The first format's hello: its sender speaks version 1.
        packet.kind = PacketKind::Hello;
        packet.version = 1;
        ok = reader.Guid(&packet.application) && reader.Guid(&packet.instance);
        break;
    case PacketKind::Hello:
        ok = reader.U16(&packet.version);
        if (ok && packet.version != kProtocolVersion) {
            // Another version: nothing after the version is read.
            *out = std::move(packet);
            return true;
        }
        ok = ok && reader.Guid(&packet.application) && reader.Guid(&packet.instance) &&
             reader.U32(&packet.number);
        break;
    case PacketKind::Refused:
        ok = reader.U16(&packet.version);
        break;
    case PacketKind::PeerJoined:
        ok = reader.U32(&packet.number) && reader.U32(&packet.address) && reader.U16(&packet.port);
        break;
    case PacketKind::PeerLeft:
        ok = reader.U32(&packet.number);
        break;
    case PacketKind::CreatePlayer:
        ok = reader.U32(&packet.token) && reader.Bytes(kMaxPlayerName, &packet.name) &&
             IsCleanName(packet.name);
        break;
    case PacketKind::DestroyPlayer:
    case PacketKind::PlayerRemoved:
        ok = reader.U32(&packet.player) && packet.player != 0;
        break;
    case PacketKind::Welcome:
        ok = reader.Guid(&packet.instance) && reader.U32(&packet.number) &&
             reader.U32(&packet.hostNumber);
        break;
    case PacketKind::PlayerAdded:
        ok = reader.U32(&packet.player) && packet.player != 0 && reader.U32(&packet.number) &&
             reader.Bytes(kMaxPlayerName, &packet.name) && IsCleanName(packet.name);
        break;
    case PacketKind::PlayerCreated:
        ok = reader.U32(&packet.token) && reader.U32(&packet.player);
        break;
    case PacketKind::Text:
        ok = reader.U32(&packet.from) && reader.U32(&packet.to) && packet.from != 0 &&
             packet.to != 0 && reader.Bytes(kMaxText, &packet.text);
        break;
    default:
        return false;
    }
    if (!ok || !reader.AtEnd()) return false;
    *out = std::move(packet);
    return true;
}

}  // namespace tznet
