// libFuzzer harness over the network packet decoders: any bytes must be
// either refused or decoded into fields within their limits, and what is
// decoded must encode back to exactly the same bytes. Packets of another
// protocol version are read only up to their version field, which must be
// the one in the bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "net/net_packet.h"

using namespace tznet;

namespace {

std::vector<std::uint8_t> Reencode(const Packet& p)
{
    switch (p.kind) {
    case PacketKind::SessionQuery: return EncodeQuery(p.application);
    case PacketKind::SessionAnswer: return EncodeAnswer(p.application, p.instance, p.name);
    case PacketKind::Hello: return EncodeHello(p.application, p.instance, p.number);
    case PacketKind::CreatePlayer: return EncodeCreatePlayer(p.token, p.name);
    case PacketKind::DestroyPlayer: return EncodeDestroyPlayer(p.player);
    case PacketKind::Welcome: return EncodeWelcome(p.instance, p.number, p.hostNumber);
    case PacketKind::PlayerAdded: return EncodePlayerAdded(p.player, p.number, p.name);
    case PacketKind::Refused: return EncodeRefused(p.version);
    case PacketKind::PeerJoined: return EncodePeerJoined(p.number, p.address, p.port);
    case PacketKind::PeerLeft: return EncodePeerLeft(p.number);
    case PacketKind::SessionAnswerV1:
    case PacketKind::HelloV1:
        break;  // decoded as SessionAnswer or Hello of version 1
    case PacketKind::PlayerRemoved: return EncodePlayerRemoved(p.player);
    case PacketKind::PlayerCreated: return EncodePlayerCreated(p.token, p.player);
    case PacketKind::Text: return EncodeText(p.from, p.to, p.text);
    }
    std::abort();  // a decoder accepted a kind it does not know
}

void Check(bool ok)
{
    if (!ok) std::abort();
}

// A packet of another version: its version must be what the bytes say.
bool IsOtherVersion(const Packet& p, const std::uint8_t* versionField, std::uint8_t kind)
{
    if (p.kind == PacketKind::Refused || p.version == kProtocolVersion) return false;
    if (kind == static_cast<std::uint8_t>(PacketKind::SessionAnswerV1) ||
        kind == static_cast<std::uint8_t>(PacketKind::HelloV1)) {
        Check(p.version == 1);
    } else {
        Check(p.version == (versionField[0] | (versionField[1] << 8)));
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::uint8_t> input(data, data + size);
    Packet packet;
    if (DecodeDatagram(data, size, &packet)) {
        Check(packet.name.size() <= kMaxSessionName);
        if (!IsOtherVersion(packet, data + 6, data[5])) Check(Reencode(packet) == input);
    }
    if (DecodeSessionPacket(data, size, &packet)) {
        Check(size <= kMaxPacketSize);
        Check(packet.name.size() <= kMaxPlayerName && packet.text.size() <= kMaxText);
        if (!IsOtherVersion(packet, data + 1, data[0])) Check(Reencode(packet) == input);
    }
    return 0;
}
