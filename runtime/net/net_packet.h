// The wire format of sessions: discovery datagrams (a query and the answers
// of sessions) and the packets between joined peers and the host. Every
// packet from the network is untrusted; the decoders accept only packets of
// exactly the right size whose fields are within their limits.
//
// Integers are little-endian. Discovery datagrams start with "TZNET" and a
// kind byte; session packets start with the kind byte.
//   query          "TZNET" 01  application(16)
//   answer         "TZNET" 02  application(16) instance(16) nameLength(2) name
//   hello          0A  application(16) instance(16)       client -> host
//   create player  0B  token(4) nameLength(2) name         client -> host
//   destroy player 0C  id(4)                               client -> host
//   welcome        14  instance(16)                        host -> client
//   player added   15  id(4) nameLength(2) name            host -> client
//   player removed 16  id(4)                               host -> client
//   player created 17  token(4) id(4)  (id 0: refused)     host -> client
//   text           1E  from(4) to(4) length(2) bytes       both ways
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "net/connection_info.h"

namespace tznet {

inline constexpr std::string_view kDiscoveryPrefix = "TZNET";

inline constexpr std::size_t kMaxSessionName = 258;  // characters, as the connection record holds
inline constexpr std::size_t kMaxPlayerName = 1023;
inline constexpr std::size_t kMaxText = 1023;        // a message fits a 1024-byte buffer with its zero
// No packet of the format is larger than this.
inline constexpr std::size_t kMaxPacketSize = 1 + 4 + 4 + 2 + kMaxText;

enum class PacketKind : std::uint8_t {
    SessionQuery = 0x01,
    SessionAnswer = 0x02,
    Hello = 0x0A,
    CreatePlayer = 0x0B,
    DestroyPlayer = 0x0C,
    Welcome = 0x14,
    PlayerAdded = 0x15,
    PlayerRemoved = 0x16,
    PlayerCreated = 0x17,
    Text = 0x1E,
};

// One decoded packet; only the fields of its kind are meaningful.
struct Packet {
    PacketKind kind = PacketKind::Text;
    TzGuid application;
    TzGuid instance;
    std::uint32_t token = 0;
    std::uint32_t player = 0;  // added, removed, created, destroy
    std::uint32_t from = 0;    // text
    std::uint32_t to = 0;      // text
    std::string name;          // session or player name
    std::string text;          // text bytes, exactly as sent
};

// Discovery datagrams.
std::vector<std::uint8_t> EncodeQuery(const TzGuid& application);
std::vector<std::uint8_t> EncodeAnswer(const TzGuid& application, const TzGuid& instance,
                                       std::string_view sessionName);
bool DecodeDatagram(const std::uint8_t* data, std::size_t size, Packet* out);

// Session packets.
std::vector<std::uint8_t> EncodeHello(const TzGuid& application, const TzGuid& instance);
std::vector<std::uint8_t> EncodeCreatePlayer(std::uint32_t token, std::string_view name);
std::vector<std::uint8_t> EncodeDestroyPlayer(std::uint32_t id);
std::vector<std::uint8_t> EncodeWelcome(const TzGuid& instance);
std::vector<std::uint8_t> EncodePlayerAdded(std::uint32_t id, std::string_view name);
std::vector<std::uint8_t> EncodePlayerRemoved(std::uint32_t id);
std::vector<std::uint8_t> EncodePlayerCreated(std::uint32_t token, std::uint32_t id);
std::vector<std::uint8_t> EncodeText(std::uint32_t from, std::uint32_t to, std::string_view text);
bool DecodeSessionPacket(const std::uint8_t* data, std::size_t size, Packet* out);

}  // namespace tznet
