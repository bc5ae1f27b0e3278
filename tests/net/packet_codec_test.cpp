// The wire format: what is encoded decodes to the same fields, and anything
// malformed (truncated, oversized, trailing bytes, wrong kind or prefix,
// over-long or zero-bearing names, id 0) is refused.
#include <gtest/gtest.h>

#include "net/net_packet.h"

using namespace tznet;

namespace {

const TzGuid kOther = {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}};

bool DecodeSession(const std::vector<std::uint8_t>& bytes, Packet* packet)
{
    return DecodeSessionPacket(bytes.data(), bytes.size(), packet);
}

bool DecodeRaw(const std::vector<std::uint8_t>& bytes, Packet* packet)
{
    return DecodeDatagram(bytes.data(), bytes.size(), packet);
}

}  // namespace

TEST(NetPacket, ApplicationIdentifierHasItsGuidLayout)
{
    // {126E6180-D307-11D0-9C4F-00A0C905425E}: first three fields little-endian.
    const std::uint8_t expected[16] = {0x80, 0x61, 0x6E, 0x12, 0x07, 0xD3, 0xD0, 0x11,
                                       0x9C, 0x4F, 0x00, 0xA0, 0xC9, 0x05, 0x42, 0x5E};
    EXPECT_EQ(0, std::memcmp(kTzApplicationId.bytes, expected, 16));
}

TEST(NetPacket, DiscoveryRoundTripsAndCarriesTheIdentifier)
{
    Packet packet;
    std::vector<std::uint8_t> query = EncodeQuery(kTzApplicationId);
    ASSERT_EQ(query.size(), 22u);
    EXPECT_EQ(std::string(query.begin(), query.begin() + 5), "TZNET");
    ASSERT_TRUE(DecodeRaw(query, &packet));
    EXPECT_EQ(packet.kind, PacketKind::SessionQuery);
    EXPECT_TRUE(packet.application == kTzApplicationId);

    ASSERT_TRUE(DecodeRaw(EncodeAnswer(kTzApplicationId, kOther, "Kater Game"), &packet));
    EXPECT_EQ(packet.kind, PacketKind::SessionAnswer);
    EXPECT_TRUE(packet.application == kTzApplicationId);
    EXPECT_TRUE(packet.instance == kOther);
    EXPECT_EQ(packet.name, "Kater Game");

    const std::string longest(kMaxSessionName, 'n');
    ASSERT_TRUE(DecodeRaw(EncodeAnswer(kTzApplicationId, kOther, longest), &packet));
    EXPECT_EQ(packet.name, longest);
}

TEST(NetPacket, SessionPacketsRoundTrip)
{
    Packet p;
    ASSERT_TRUE(DecodeSession(EncodeHello(kTzApplicationId, kOther), &p));
    EXPECT_EQ(p.kind, PacketKind::Hello);
    EXPECT_TRUE(p.application == kTzApplicationId && p.instance == kOther);

    ASSERT_TRUE(DecodeSession(EncodeCreatePlayer(0xA1B2C3D4, "Mia"), &p));
    EXPECT_EQ(p.kind, PacketKind::CreatePlayer);
    EXPECT_EQ(p.token, 0xA1B2C3D4u);
    EXPECT_EQ(p.name, "Mia");

    ASSERT_TRUE(DecodeSession(EncodePlayerAdded(77, 3, ""), &p));
    EXPECT_EQ(p.kind, PacketKind::PlayerAdded);
    EXPECT_EQ(p.player, 77u);
    EXPECT_EQ(p.number, 3u);
    EXPECT_EQ(p.name, "");

    ASSERT_TRUE(DecodeSession(EncodePlayerCreated(5, 0), &p));  // 0: refused
    EXPECT_EQ(p.kind, PacketKind::PlayerCreated);
    EXPECT_EQ(p.token, 5u);
    EXPECT_EQ(p.player, 0u);

    ASSERT_TRUE(DecodeSession(EncodeDestroyPlayer(0x7FFFFFFF), &p));
    EXPECT_EQ(p.player, 0x7FFFFFFFu);
    ASSERT_TRUE(DecodeSession(EncodePlayerRemoved(9), &p));
    EXPECT_EQ(p.kind, PacketKind::PlayerRemoved);
    ASSERT_TRUE(DecodeSession(EncodeWelcome(kOther, 4, 1), &p));
    EXPECT_TRUE(p.instance == kOther);
    EXPECT_EQ(p.number, 4u);
    EXPECT_EQ(p.hostNumber, 1u);

    ASSERT_TRUE(DecodeSession(EncodeHello(kTzApplicationId, kOther, 6), &p));
    EXPECT_EQ(p.number, 6u);  // a peer coming back to a new host
    EXPECT_EQ(p.version, kProtocolVersion);
    ASSERT_TRUE(DecodeSession(EncodePeerJoined(2, 0x0100007F, 40001), &p));
    EXPECT_EQ(p.kind, PacketKind::PeerJoined);
    EXPECT_EQ(p.number, 2u);
    EXPECT_EQ(p.address, 0x0100007Fu);
    EXPECT_EQ(p.port, 40001u);
    ASSERT_TRUE(DecodeSession(EncodePeerLeft(2), &p));
    EXPECT_EQ(p.kind, PacketKind::PeerLeft);
    ASSERT_TRUE(DecodeSession(EncodeRefused(), &p));
    EXPECT_EQ(p.kind, PacketKind::Refused);
    EXPECT_EQ(p.version, kProtocolVersion);
}

// Another version is recognised from the version field alone, whatever
// follows it; the first, unversioned format reads as version 1.
TEST(NetPacket, OtherVersionsAreRecognisedByTheirVersionField)
{
    Packet p;
    std::vector<std::uint8_t> answer = EncodeAnswer(kTzApplicationId, kOther, "x", 7);
    answer.resize(answer.size() - 3);  // laid out differently: never read
    ASSERT_TRUE(DecodeRaw(answer, &p));
    EXPECT_EQ(p.kind, PacketKind::SessionAnswer);
    EXPECT_EQ(p.version, 7);
    EXPECT_TRUE(p.application == kTzApplicationId);

    std::vector<std::uint8_t> first = {'T', 'Z', 'N', 'E', 'T', 0x02};
    first.insert(first.end(), kTzApplicationId.bytes, kTzApplicationId.bytes + 16);
    first.resize(first.size() + 16 + 2, 0);
    ASSERT_TRUE(DecodeRaw(first, &p));
    EXPECT_EQ(p.kind, PacketKind::SessionAnswer);
    EXPECT_EQ(p.version, 1);

    ASSERT_TRUE(DecodeSession({0x0D, 9, 0}, &p));
    EXPECT_EQ(p.kind, PacketKind::Hello);
    EXPECT_EQ(p.version, 9);
    std::vector<std::uint8_t> oldHello = {0x0A};
    oldHello.resize(33, 1);
    ASSERT_TRUE(DecodeSession(oldHello, &p));
    EXPECT_EQ(p.kind, PacketKind::Hello);
    EXPECT_EQ(p.version, 1);
}

TEST(NetPacket, TextTravelsAsExactlyItsBytes)
{
    Packet p;
    const std::string ten = "0123456789";
    std::vector<std::uint8_t> bytes = EncodeText(3, 4, ten);
    EXPECT_EQ(bytes.size(), 1u + 4 + 4 + 2 + 10);
    ASSERT_TRUE(DecodeSession(bytes, &p));
    EXPECT_EQ(p.from, 3u);
    EXPECT_EQ(p.to, 4u);
    EXPECT_EQ(p.text, ten);

    // Any byte value, up to the 1023-byte limit.
    std::string binary(kMaxText, '\0');
    for (std::size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<char>(i * 7);
    ASSERT_TRUE(DecodeSession(EncodeText(1, 2, binary), &p));
    EXPECT_EQ(p.text, binary);
    EXPECT_LE(EncodeText(1, 2, binary).size(), kMaxPacketSize);
}

TEST(NetPacket, TruncatedAndOversizedPacketsAreRefused)
{
    Packet p;
    const std::vector<std::vector<std::uint8_t>> good = {
        EncodeHello(kTzApplicationId, kOther), EncodeCreatePlayer(1, "ab"),
        EncodeDestroyPlayer(2), EncodeWelcome(kOther, 1, 0), EncodePlayerAdded(3, 1, "cd"),
        EncodePlayerRemoved(4), EncodePlayerCreated(5, 6), EncodeText(7, 8, "hello"),
        EncodeRefused(), EncodePeerJoined(1, 2, 3), EncodePeerLeft(3)};
    for (const auto& packet : good) {
        ASSERT_TRUE(DecodeSession(packet, &p));
        for (std::size_t cut = 0; cut < packet.size(); ++cut) {
            std::vector<std::uint8_t> shorter(packet.begin(), packet.begin() + cut);
            EXPECT_FALSE(DecodeSession(shorter, &p)) << "kind " << int(packet[0]) << " cut " << cut;
        }
        std::vector<std::uint8_t> longer = packet;
        longer.push_back(0);
        EXPECT_FALSE(DecodeSession(longer, &p)) << "kind " << int(packet[0]);
    }
    std::vector<std::uint8_t> answer = EncodeAnswer(kTzApplicationId, kOther, "abc");
    for (std::size_t cut = 0; cut < answer.size(); ++cut)
        EXPECT_FALSE(DecodeRaw(std::vector<std::uint8_t>(answer.begin(), answer.begin() + cut), &p));
    answer.push_back('x');
    EXPECT_FALSE(DecodeRaw(answer, &p));
    EXPECT_FALSE(DecodeSessionPacket(nullptr, 0, &p));
    EXPECT_FALSE(DecodeDatagram(nullptr, 10, &p));
}

TEST(NetPacket, LengthsBeyondTheLimitsAreRefused)
{
    Packet p;
    // A text length field of 1024 with 1024 bytes behind it.
    std::vector<std::uint8_t> text = {0x1E, 1, 0, 0, 0, 2, 0, 0, 0, 0x00, 0x04};
    text.resize(text.size() + 1024, 'x');
    EXPECT_FALSE(DecodeSession(text, &p));

    // A session name of 259 characters.
    std::vector<std::uint8_t> answer = EncodeAnswer(kTzApplicationId, kOther, "");
    answer[answer.size() - 2] = 3;  // 259 = 0x0103
    answer[answer.size() - 1] = 1;
    answer.resize(answer.size() + 259, 'n');
    EXPECT_FALSE(DecodeRaw(answer, &p));

    // A length field claiming more than is there.
    std::vector<std::uint8_t> claim = EncodePlayerAdded(3, 1, "abc");
    claim[9] = 200;
    EXPECT_FALSE(DecodeSession(claim, &p));
}

TEST(NetPacket, ForeignOrMalformedContentIsRefused)
{
    Packet p;
    // Unknown kinds, and discovery kinds inside a session and back.
    EXPECT_FALSE(DecodeSession({0x00}, &p));
    EXPECT_FALSE(DecodeSession({0xFF, 1, 2, 3, 4}, &p));
    std::vector<std::uint8_t> query = EncodeQuery(kTzApplicationId);
    EXPECT_FALSE(DecodeSession(query, &p));
    std::vector<std::uint8_t> hello = EncodeHello(kTzApplicationId, kOther);
    EXPECT_FALSE(DecodeRaw(hello, &p));

    // A wrong prefix.
    query[0] = 'X';
    EXPECT_FALSE(DecodeRaw(query, &p));

    // Id 0 names nobody.
    EXPECT_FALSE(DecodeSession(EncodeText(0, 4, "x"), &p));
    EXPECT_FALSE(DecodeSession(EncodeText(4, 0, "x"), &p));
    EXPECT_FALSE(DecodeSession(EncodePlayerAdded(0, 1, "x"), &p));
    EXPECT_FALSE(DecodeSession(EncodeDestroyPlayer(0), &p));

    // Names with a zero byte inside.
    EXPECT_FALSE(DecodeSession(EncodePlayerAdded(1, 1, std::string("a\0b", 3)), &p));
    EXPECT_FALSE(DecodeRaw(EncodeAnswer(kTzApplicationId, kOther, std::string("a\0", 2)), &p));
}
