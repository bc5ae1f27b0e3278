// The wire format of sessions: discovery datagrams (a query and the answers
// of sessions) and the packets between joined peers and the host. Every
// packet from the network is untrusted; the decoders accept only packets of
// exactly the right size whose fields are within their limits.
//
// The format carries a version (kProtocolVersion): in the discovery answer
// and in the hello that opens every connection, right after the kind byte,
// so that a program of another version can read at least that much. The
// first format had no version; its answer (kind 02) is read as version 1.
//
// Integers are little-endian. Discovery datagrams start with "TZNET" and a
// kind byte; session packets start with the kind byte.
//   query          "TZNET" 01  application(16)
//   answer (v1)    "TZNET" 02  application(16) instance(16) nameLength(2) name
//   answer         "TZNET" 03  version(2) application(16) instance(16) nameLength(2) name
//   hello (v1)     0A  application(16) instance(16)                    client -> host
//   hello          0D  version(2) application(16) instance(16) rejoin(4)  client -> host
//   create player  0B  token(4) nameLength(2) name                     client -> host
//   destroy player 0C  id(4)                                           client -> host
//   welcome        14  instance(16) yourNumber(4) hostNumber(4)        host -> client
//   player added   15  id(4) ownerNumber(4) nameLength(2) name         host -> client
//   player removed 16  id(4)                                           host -> client
//   player created 17  token(4) id(4)  (id 0: refused)                 host -> client
//   refused        18  version(2)  (the host's; the connection ends)   host -> client
//   peer joined    19  number(4) address(4) port(2)                    host -> client
//   peer left      1A  number(4)                                       host -> client
//   text           1E  from(4) to(4) length(2) bytes                   both ways
//
// Every connection of a session has a number, given in the order they
// joined (the first host has 0). "rejoin" is 0 for a new peer, or its
// number when it reconnects to a new host after the old one went away.
// "address" and "port" are where the host sees that connection: a peer that
// takes over as host goes on serving on that same socket, so the others
// can reach it there even while the old host still holds the session port.
// Version 3 added the port.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "net/connection_info.h"

namespace tznet {

inline constexpr std::string_view kDiscoveryPrefix = "TZNET";
// The version of the format this program speaks.
inline constexpr std::uint16_t kProtocolVersion = 3;

inline constexpr std::size_t kMaxSessionName = 258;  // characters, as the connection record holds
inline constexpr std::size_t kMaxPlayerName = 1023;
inline constexpr std::size_t kMaxText = 1023;        // a message fits a 1024-byte buffer with its zero
// No packet of the format is larger than this.
inline constexpr std::size_t kMaxPacketSize = 1 + 4 + 4 + 2 + kMaxText;

enum class PacketKind : std::uint8_t {
    SessionQuery = 0x01,
    SessionAnswerV1 = 0x02,
    SessionAnswer = 0x03,
    HelloV1 = 0x0A,
    Hello = 0x0D,
    CreatePlayer = 0x0B,
    DestroyPlayer = 0x0C,
    Welcome = 0x14,
    PlayerAdded = 0x15,
    PlayerRemoved = 0x16,
    PlayerCreated = 0x17,
    Refused = 0x18,
    PeerJoined = 0x19,
    PeerLeft = 0x1A,
    Text = 0x1E,
};

// One decoded packet; only the fields of its kind are meaningful.
struct Packet {
    PacketKind kind = PacketKind::Text;
    std::uint16_t version = kProtocolVersion;  // answer, hello, refused
    TzGuid application;
    TzGuid instance;
    std::uint32_t token = 0;
    std::uint32_t player = 0;  // added, removed, created, destroy
    std::uint32_t from = 0;    // text
    std::uint32_t to = 0;      // text
    std::uint32_t number = 0;  // hello (rejoin), welcome, player added (owner), peer joined/left
    std::uint32_t hostNumber = 0;  // welcome
    std::uint32_t address = 0;     // peer joined: IPv4, network byte order
    std::uint16_t port = 0;        // peer joined
    std::string name;          // session or player name
    std::string text;          // text bytes, exactly as sent
};

// Discovery datagrams.
std::vector<std::uint8_t> EncodeQuery(const TzGuid& application);
std::vector<std::uint8_t> EncodeAnswer(const TzGuid& application, const TzGuid& instance,
                                       std::string_view sessionName,
                                       std::uint16_t version = kProtocolVersion);
bool DecodeDatagram(const std::uint8_t* data, std::size_t size, Packet* out);

// Session packets.
std::vector<std::uint8_t> EncodeHello(const TzGuid& application, const TzGuid& instance,
                                      std::uint32_t rejoin = 0,
                                      std::uint16_t version = kProtocolVersion);
std::vector<std::uint8_t> EncodeCreatePlayer(std::uint32_t token, std::string_view name);
std::vector<std::uint8_t> EncodeDestroyPlayer(std::uint32_t id);
std::vector<std::uint8_t> EncodeWelcome(const TzGuid& instance, std::uint32_t yourNumber,
                                        std::uint32_t hostNumber);
std::vector<std::uint8_t> EncodePlayerAdded(std::uint32_t id, std::uint32_t ownerNumber,
                                            std::string_view name);
std::vector<std::uint8_t> EncodePlayerRemoved(std::uint32_t id);
std::vector<std::uint8_t> EncodePlayerCreated(std::uint32_t token, std::uint32_t id);
std::vector<std::uint8_t> EncodeRefused(std::uint16_t version = kProtocolVersion);
std::vector<std::uint8_t> EncodePeerJoined(std::uint32_t number, std::uint32_t address, std::uint16_t port);
std::vector<std::uint8_t> EncodePeerLeft(std::uint32_t number);
std::vector<std::uint8_t> EncodeText(std::uint32_t from, std::uint32_t to, std::string_view text);
bool DecodeSessionPacket(const std::uint8_t* data, std::size_t size, Packet* out);

}  // namespace tznet
