// libFuzzer harness over the network packet decoders: any bytes must be
// either refused or decoded into fields within their limits, and what is
// decoded must encode back to exactly the same bytes.
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
    case PacketKind::Hello: return EncodeHello(p.application, p.instance);
    case PacketKind::CreatePlayer: return EncodeCreatePlayer(p.token, p.name);
    case PacketKind::DestroyPlayer: return EncodeDestroyPlayer(p.player);
    case PacketKind::Welcome: return EncodeWelcome(p.instance);
    case PacketKind::PlayerAdded: return EncodePlayerAdded(p.player, p.name);
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::uint8_t> input(data, data + size);
    Packet packet;
    if (DecodeDatagram(data, size, &packet)) {
        Check(packet.name.size() <= kMaxSessionName);
        Check(Reencode(packet) == input);
    }
    if (DecodeSessionPacket(data, size, &packet)) {
        Check(size <= kMaxPacketSize);
        Check(packet.name.size() <= kMaxPlayerName && packet.text.size() <= kMaxText);
        Check(Reencode(packet) == input);
    }
    return 0;
}
