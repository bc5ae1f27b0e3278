// A hostile peer: packets from the network are untrusted. Foreign queries,
// garbage, floods, forged player ids and talk before the introduction are
// dropped; the host keeps working. The fake peer speaks the wire format
// directly through the platform layer, on 127.0.0.1 only.
#include "net/net_test_support.h"

#include <cstdio>

#include "core/error_log.h"
#include "net/net_packet.h"
#include "platform/platform.h"

using namespace nettest;
using namespace tznet;

namespace {

class NetHostile : public NetCommandTest {
protected:
    void SetUp() override
    {
        NetCommandTest::SetUp();
        ASSERT_TRUE(platform::NetStartup());
        ASSERT_TRUE(HostOnFreshPort("Festung"));
        ASSERT_TRUE(platform::NetResolve(kLoopback, SessionPort(), &m_host));
        m_fake = platform::NetOpen(nullptr, 1, 4096, kDiscoveryPrefix, 1000);
        ASSERT_NE(m_fake, nullptr);
    }
    void TearDown() override
    {
        platform::NetClose(m_fake, 0);
        platform::NetShutdown();
        NetCommandTest::TearDown();
    }

    void SendRaw(const std::vector<std::uint8_t>& bytes)
    {
        platform::NetSendRaw(m_fake, m_host, bytes.data(), bytes.size(), false);
    }

    // Services the host (through a command) and the fake peer until an
    // event of this kind reaches the fake, or the time is up.
    bool Expect(platform::NetEventKind kind, platform::NetEvent* event, int timeoutMs = 1000)
    {
        return WaitUntil([&] {
            NETNUMPLAYERS();
            return platform::NetPoll(m_fake, event, 1) && event->kind == kind;
        }, timeoutMs);
    }

    // Counts the discovery answers that come back within the time.
    int CountAnswers(int timeoutMs)
    {
        int answers = 0;
        platform::NetEvent event;
        WaitUntil([&] {
            NETNUMPLAYERS();
            while (platform::NetPoll(m_fake, &event, 0)) {
                Packet packet;
                if (event.kind == platform::NetEventKind::Raw &&
                    DecodeDatagram(event.data.data(), event.data.size(), &packet) &&
                    packet.kind == PacketKind::SessionAnswer)
                    ++answers;
            }
            return false;
        }, timeoutMs);
        return answers;
    }

    // Connects and introduces the fake peer as a joined peer.
    void JoinAsFake()
    {
        SendRaw(EncodeQuery(kTzApplicationId));
        platform::NetEvent event;
        ASSERT_TRUE(Expect(platform::NetEventKind::Raw, &event));
        Packet answer;
        ASSERT_TRUE(DecodeDatagram(event.data.data(), event.data.size(), &answer));
        m_peer = platform::NetConnect(m_fake, m_host, 2);
        ASSERT_GE(m_peer, 0);
        ASSERT_TRUE(Expect(platform::NetEventKind::Connected, &event));
        SendSession(EncodeHello(kTzApplicationId, answer.instance));
        // The player list comes first, the welcome closes it.
        m_playersBeforeWelcome = 0;
        for (;;) {
            ASSERT_TRUE(Expect(platform::NetEventKind::Received, &event));
            Packet packet;
            ASSERT_TRUE(DecodeSessionPacket(event.data.data(), event.data.size(), &packet));
            if (packet.kind == PacketKind::Welcome) break;
            if (packet.kind == PacketKind::PeerJoined) continue;
            ASSERT_EQ(packet.kind, PacketKind::PlayerAdded);
            ++m_playersBeforeWelcome;
        }
    }

    void SendSession(const std::vector<std::uint8_t>& bytes, int channel = 0)
    {
        ASSERT_TRUE(platform::NetSend(m_fake, m_peer, channel, bytes.data(), bytes.size(), true));
        platform::NetFlush(m_fake);
    }

    platform::NetAddress m_host;
    platform::NetEndpoint* m_fake = nullptr;
    int m_peer = -1;
    int m_playersBeforeWelcome = 0;
};

}  // namespace

TEST_F(NetHostile, OnlyQueriesWithOurIdentifierAreAnswered)
{
    TzGuid foreign = kTzApplicationId;
    foreign.bytes[15] ^= 1;
    SendRaw(EncodeQuery(foreign));
    EXPECT_EQ(CountAnswers(300), 0);
    SendRaw(EncodeQuery(kTzApplicationId));
    EXPECT_EQ(CountAnswers(300), 1);
}

TEST_F(NetHostile, GarbageDatagramsAreDroppedAndTheHostCarriesOn)
{
    std::mt19937 random(1234);
    for (int i = 0; i < 300; ++i) {
        std::vector<std::uint8_t> junk(random() % 600);
        for (auto& byte : junk) byte = static_cast<std::uint8_t>(random());
        if (i % 2 == 0 && junk.size() >= 6) {
            std::copy(kDiscoveryPrefix.begin(), kDiscoveryPrefix.end(), junk.begin());
            junk[5] = static_cast<std::uint8_t>(1 + i % 2);
        }
        SendRaw(junk);
    }
    std::vector<std::uint8_t> truncated = EncodeQuery(kTzApplicationId);
    truncated.pop_back();
    SendRaw(truncated);
    EXPECT_EQ(CountAnswers(300), 0);
    SendRaw(EncodeQuery(kTzApplicationId));
    EXPECT_EQ(CountAnswers(300), 1);
    EXPECT_STRNE(NETCREATEPLAYER_Str("Noch da").GetStrData(), "0");
}

TEST_F(NetHostile, AFloodOfQueriesGetsABoundedNumberOfAnswers)
{
    for (int i = 0; i < 600; ++i) {
        SendRaw(EncodeQuery(kTzApplicationId));
        if (i % 50 == 0) NETNUMPLAYERS();
    }
    const int answers = CountAnswers(400);
    EXPECT_GE(answers, 1);
    // At most one second's allowance, or two when the flood straddled a
    // second boundary.
    EXPECT_LE(answers, static_cast<int>(2 * NetSession::kMaxAnswersPerSecond));
}

TEST_F(NetHostile, TalkBeforeTheIntroductionEndsTheConnection)
{
    m_peer = platform::NetConnect(m_fake, m_host, 2);
    platform::NetEvent event;
    ASSERT_TRUE(Expect(platform::NetEventKind::Connected, &event));
    const KvStr victim = NETCREATEPLAYER_Str("Opfer");
    SendSession(EncodeText(12345, static_cast<std::uint32_t>(std::atol(victim.GetStrData())), "boo"));
    EXPECT_TRUE(Expect(platform::NetEventKind::Disconnected, &event, 2000));
    EXPECT_STREQ(NETGETMSG_Str(victim).GetStrData(), "");
}

TEST_F(NetHostile, AWrongSessionInstanceIsTurnedAway)
{
    m_peer = platform::NetConnect(m_fake, m_host, 2);
    platform::NetEvent event;
    ASSERT_TRUE(Expect(platform::NetEventKind::Connected, &event));
    SendSession(EncodeHello(kTzApplicationId, TzGuid{}));
    EXPECT_TRUE(Expect(platform::NetEventKind::Disconnected, &event, 2000));
}

TEST_F(NetHostile, ForgedSendersAndUnknownPlayersAreDropped)
{
    const KvStr hostText = NETCREATEPLAYER_Str("Host");
    const KvStr otherText = NETCREATEPLAYER_Str("Anderer");
    const auto hostId = static_cast<std::uint32_t>(std::atol(hostText.GetStrData()));
    const auto otherId = static_cast<std::uint32_t>(std::atol(otherText.GetStrData()));
    JoinAsFake();
    EXPECT_EQ(m_playersBeforeWelcome, 2);

    // The fake peer creates its own player.
    SendSession(EncodeCreatePlayer(77, "Faker"));
    platform::NetEvent event;
    Packet created;
    ASSERT_TRUE(WaitUntil([&] {
        NETNUMPLAYERS();
        while (platform::NetPoll(m_fake, &event, 1))
            if (event.kind == platform::NetEventKind::Received &&
                DecodeSessionPacket(event.data.data(), event.data.size(), &created) &&
                created.kind == PacketKind::PlayerCreated)
                return true;
        return false;
    }));
    EXPECT_EQ(created.token, 77u);
    ASSERT_NE(created.player, 0u);
    EXPECT_STREQ(NETPLAYERNAME_Str(KvStr(std::to_string(created.player).c_str())).GetStrData(), "Faker");

    // Speaking as the host's other player, as nobody, and to nobody.
    SendSession(EncodeText(otherId, hostId, "gefaelscht"), 1);
    SendSession(EncodeText(999999999, hostId, "niemand"), 1);
    SendSession(EncodeText(created.player, 999999999, "ins Leere"), 1);
    // Malformed packets of every kind.
    std::vector<std::uint8_t> cut = EncodeText(created.player, hostId, "abgeschnitten");
    cut.resize(cut.size() - 3);
    SendSession(cut, 1);
    SendSession({0x0B, 1, 2}, 0);
    SendSession({0xEE}, 0);
    // Destroying a player that is not ours.
    SendSession(EncodeDestroyPlayer(otherId));
    // Then one honest message, which must be the only one to arrive.
    SendSession(EncodeText(created.player, hostId, "ehrlich"), 1);

    std::string heard;
    ASSERT_TRUE(WaitUntil([&] {
        heard = NETGETMSG_Str(hostText).GetStrData();
        return !heard.empty();
    }));
    EXPECT_EQ(heard, "ehrlich");
    EXPECT_STREQ(NETGETMSG_Str(hostText).GetStrData(), "");
    EXPECT_STREQ(NETGETMSG_Str(otherText).GetStrData(), "");
    EXPECT_EQ(NETNUMPLAYERS(), 3);
    EXPECT_STREQ(NETPLAYERNAME_Str(otherText).GetStrData(), "Anderer");

    // When the fake peer leaves, its player goes with it.
    platform::NetDisconnect(m_fake, m_peer);
    EXPECT_TRUE(WaitUntil([&] { return NETNUMPLAYERS() == 2; }));
}

// An honest joiner on a thread of its own: joins the session on this port
// and creates a player. Reports how long the join took.
class HonestJoiner {
public:
    explicit HonestJoiner(const char* session)
        : m_peer([this, session](TzNetwork& net, PeerThread& self) {
              const std::int64_t start = SteadyMilliseconds();
              std::uint32_t id = 0;
              const bool ok = net.Init(MakeInfo(session, false)) == kOk &&
                              net.CreatePlayer("Ehrlich", &id) == kOk;
              joinMs = SteadyMilliseconds() - start;
              self.failed = !ok;
              self.playerId = id;
              self.ready = true;
              self.ServiceUntilStopped(net, 20000);
          })
    {
    }
    bool Wait(int timeoutMs) { return WaitUntil([&] { return m_peer.ready.load(); }, timeoutMs); }
    bool Failed() const { return m_peer.failed; }
    std::atomic<std::int64_t> joinMs{0};

private:
    PeerThread m_peer;
};

TEST_F(NetHostile, OnePeerGetsAtMostItsShareOfPlayersAndOthersStillJoin)
{
    JoinAsFake();
    const std::size_t asked = NetSession::kMaxPlayersPerPeer + 4;
    for (std::uint32_t token = 1; token <= asked; ++token) SendSession(EncodeCreatePlayer(token, "viele"));
    std::size_t granted = 0, refused = 0;
    platform::NetEvent event;
    WaitUntil([&] {
        while (platform::NetPoll(m_fake, &event, 1)) {
            Packet p;
            if (event.kind == platform::NetEventKind::Received &&
                DecodeSessionPacket(event.data.data(), event.data.size(), &p) &&
                p.kind == PacketKind::PlayerCreated)
                ++(p.player != 0 ? granted : refused);
        }
        return granted + refused == asked;
    }, 5000);
    EXPECT_EQ(granted, NetSession::kMaxPlayersPerPeer);
    EXPECT_EQ(refused, 4u);

    HonestJoiner honest("Festung");
    ASSERT_TRUE(honest.Wait(8000));
    EXPECT_FALSE(honest.Failed());
    EXPECT_STRNE(NETCREATEPLAYER_Str("Host").GetStrData(), "0");
    EXPECT_EQ(NETNUMPLAYERS(), static_cast<double>(NetSession::kMaxPlayersPerPeer + 2));
}

// A connection request as the network library sends it (52 bytes): no
// reply is needed to send one, so its sender may well be forged.
std::vector<std::uint8_t> ForgedConnectRequest(std::uint32_t connectId)
{
    std::vector<std::uint8_t> bytes = {
        0x8F, 0xFF,            // no peer yet (0xFFF), with a sent time
        0x00, 0x01,            // sent time
        0x82, 0xFF, 0x00, 0x01,  // CONNECT, acknowledge wanted; channel 0xFF; sequence 1
        0x00, 0x00, 0x00, 0x00,  // outgoing peer id, session ids
        0x00, 0x00, 0x05, 0x78,  // MTU 1400
        0x00, 0x01, 0x00, 0x00,  // window size
        0x00, 0x00, 0x00, 0x02,  // two channels
        0, 0, 0, 0, 0, 0, 0, 0,  // bandwidths
        0x00, 0x00, 0x13, 0x88,  // throttle interval
        0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x02,
    };
    for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<std::uint8_t>(connectId >> shift));
    bytes.insert(bytes.end(), {0, 0, 0, 0});  // data
    return bytes;
}

TEST_F(NetHostile, AFloodOfForgedConnectionRequestsDoesNotKeepAnHonestPeerOut)
{
    ASSERT_EQ(ForgedConnectRequest(1).size(), 52u);
    for (std::uint32_t i = 0; i < 500; ++i) SendRaw(ForgedConnectRequest(0x1000 + i));
    // The host runs on its own: nobody calls a NET command here.
    HonestJoiner honest("Festung");
    ASSERT_TRUE(honest.Wait(8000));
    EXPECT_FALSE(honest.Failed());
    EXPECT_LT(honest.joinMs.load(), 5000);
    EXPECT_EQ(NETNUMPLAYERS(), 1);
}

TEST_F(NetHostile, APeerThatFallsSilentLeavesEveryRosterWithinTheTimeOut)
{
    HonestJoiner witness("Festung");
    ASSERT_TRUE(witness.Wait(8000));
    ASSERT_FALSE(witness.Failed());
    JoinAsFake();
    SendSession(EncodeCreatePlayer(1, "Stumm"));
    ASSERT_TRUE(WaitUntil([&] {
        platform::NetEvent event;
        while (platform::NetPoll(m_fake, &event, 1)) {}
        return NETNUMPLAYERS() == 2;
    }));
    // From now on the fake peer neither answers nor acknowledges anything.
    const std::int64_t silentSince = SteadyMilliseconds();
    ASSERT_TRUE(WaitUntil([&] { return NETNUMPLAYERS() == 1; }, 9000));
    const std::int64_t removedAfter = SteadyMilliseconds() - silentSince;
    EXPECT_LE(removedAfter, SessionTimeouts{}.peerTimeoutMs + 1000);
    EXPECT_STREQ(NETPLAYERNAME_Str(NETGETPLAYERID_Str(0)).GetStrData(), "Ehrlich");
}

TEST_F(NetHostile, OneAddressHoldsAtMostItsShareOfConnections)
{
    const std::size_t cap = NetSession::kMaxConnectionsPerAddress;
    platform::NetEndpoint* many = platform::NetOpen(nullptr, cap + 2, 4096, kDiscoveryPrefix, 8);
    ASSERT_NE(many, nullptr);
    SendRaw(EncodeQuery(kTzApplicationId));
    platform::NetEvent event;
    ASSERT_TRUE(Expect(platform::NetEventKind::Raw, &event));
    Packet answer;
    ASSERT_TRUE(DecodeDatagram(event.data.data(), event.data.size(), &answer));
    const std::vector<std::uint8_t> hello = EncodeHello(kTzApplicationId, answer.instance);

    std::size_t connected = 0, dropped = 0;
    auto handle = [&] {
        while (platform::NetPoll(many, &event, 1)) {
            if (event.kind == platform::NetEventKind::Connected) {
                ++connected;  // introduce it, so only the cap can end it
                platform::NetSend(many, event.peer, 0, hello.data(), hello.size(), true);
                platform::NetFlush(many);
            }
            if (event.kind == platform::NetEventKind::Disconnected) ++dropped;
        }
    };
    // One after the other, as honest connections come: a burst would meet
    // the half-open limit instead, which is another test's matter.
    for (std::size_t i = 0; i < cap + 1; ++i) {
        ASSERT_GE(platform::NetConnect(many, m_host, 2), 0);
        WaitUntil([&] {
            handle();
            return connected > i;
        }, 2000);
    }
    WaitUntil([&] {
        handle();
        return false;
    }, 1000);
    EXPECT_EQ(connected, cap + 1);
    EXPECT_EQ(dropped, 1u);  // the one beyond the cap
    platform::NetClose(many, 0);
}

TEST_F(NetHostile, AHelloOfAnotherVersionIsAnsweredWithOursAndTheConnectionEnds)
{
    m_peer = platform::NetConnect(m_fake, m_host, 2);
    platform::NetEvent event;
    ASSERT_TRUE(Expect(platform::NetEventKind::Connected, &event));
    Packet answer;
    SendRaw(EncodeQuery(kTzApplicationId));
    ASSERT_TRUE(Expect(platform::NetEventKind::Raw, &event));
    ASSERT_TRUE(DecodeDatagram(event.data.data(), event.data.size(), &answer));
    EXPECT_EQ(answer.version, kProtocolVersion);
    SendSession(EncodeHello(kTzApplicationId, answer.instance, 0, kProtocolVersion + 1));
    ASSERT_TRUE(Expect(platform::NetEventKind::Received, &event));
    Packet refused;
    ASSERT_TRUE(DecodeSessionPacket(event.data.data(), event.data.size(), &refused));
    EXPECT_EQ(refused.kind, PacketKind::Refused);
    EXPECT_EQ(refused.version, kProtocolVersion);
    EXPECT_TRUE(Expect(platform::NetEventKind::Disconnected, &event, 2000));
}

TEST(NetSilentPeer, AConnectionThatNeverIntroducesItselfIsDropped)
{
    UseFreshPort();
    SessionTimeouts quick;
    quick.connectMs = 200;
    NetSession host(quick);
    ASSERT_EQ(host.InitializeConnection(kLoopback, SessionPort()), kOk);
    ASSERT_EQ(host.Create(kTzApplicationId, "Stille"), kOk);

    ASSERT_TRUE(platform::NetStartup());
    platform::NetAddress where;
    ASSERT_TRUE(platform::NetResolve(kLoopback, SessionPort(), &where));
    platform::NetEndpoint* silent = platform::NetOpen(nullptr, 1, 4096, kDiscoveryPrefix, 8);
    ASSERT_NE(silent, nullptr);
    ASSERT_GE(platform::NetConnect(silent, where, 2), 0);
    platform::NetEvent event;
    bool connected = false, dropped = false;
    const std::int64_t start = SteadyMilliseconds();
    std::int64_t droppedAfter = 0;
    WaitUntil([&] {
        host.Pump();
        while (platform::NetPoll(silent, &event, 1)) {
            if (event.kind == platform::NetEventKind::Connected) connected = true;
            if (event.kind == platform::NetEventKind::Disconnected) dropped = true;
        }
        if (dropped && droppedAfter == 0) droppedAfter = SteadyMilliseconds() - start;
        return dropped;
    }, 3000);
    EXPECT_TRUE(connected);
    EXPECT_TRUE(dropped);
    EXPECT_GE(droppedAfter, 200);
    platform::NetClose(silent, 0);
    platform::NetShutdown();
}

namespace {

std::string ReadWholeFile(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return "";
    std::string text;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, got);
    std::fclose(file);
    return text;
}

}  // namespace

TEST_F(NetCommandTest, ASessionOfAnotherVersionIsRefusedAtOnceWithTheReason)
{
    UseFreshPort();
    ASSERT_TRUE(platform::NetStartup());
    platform::NetAddress where;
    ASSERT_TRUE(platform::NetResolve(kLoopback, SessionPort(), &where));
    platform::NetEndpoint* otherHost = platform::NetOpen(&where, 4, 4096, kDiscoveryPrefix, 64);
    ASSERT_NE(otherHost, nullptr);
    std::atomic<bool> stop{false};
    // A host of a later version answers every query.
    std::thread answering([&] {
        while (!stop) {
            platform::NetEvent event;
            if (platform::NetPoll(otherHost, &event, 5) && event.kind == platform::NetEventKind::Raw) {
                const auto answer = EncodeAnswer(kTzApplicationId, TzGuid{{1}}, "Neuer", kProtocolVersion + 7);
                platform::NetSendRaw(otherHost, event.from, answer.data(), answer.size(), false);
            }
        }
    });

    const std::string expected = "network protocol version " + std::to_string(kProtocolVersion + 7) +
                                 ", this program speaks " + std::to_string(kProtocolVersion);
    testing::internal::CaptureStderr();
    const std::int64_t start = SteadyMilliseconds();
    const double joined = NETJOINGAME(0, "Neuer", kLoopback, 0);
    const std::int64_t took = SteadyMilliseconds() - start;
    const std::string said = testing::internal::GetCapturedStderr();
    stop = true;
    answering.join();
    platform::NetClose(otherHost, 0);
    platform::NetShutdown();

    EXPECT_EQ(joined, 0);
    EXPECT_LT(took, 1000);  // not after the enumeration's time-out
    EXPECT_NE(said.find(expected), std::string::npos) << said;
    EXPECT_NE(ReadWholeFile(ErrorLogPath()).find(expected), std::string::npos);
}

TEST_F(NetCommandTest, HostingOnAnAddressThatIsNotThisMachinesIsRefused)
{
    UseFreshPort();
    testing::internal::CaptureStderr();
    // 192.0.2.1 is reserved for documentation: never an address of ours.
    EXPECT_EQ(NETHOSTGAME(0, "Fremd", "192.0.2.1", 0), 0);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("192.0.2.1 is not an address of this machine"), std::string::npos) << said;
    EXPECT_FALSE(pTzNet->IsSetup());
}

// The same when discovery looks alike but the host refuses our hello: the
// host's version arrives in its refusal.
TEST_F(NetCommandTest, AHostThatRefusesOurVersionEndsTheJoinAtOnceWithTheReason)
{
    UseFreshPort();
    ASSERT_TRUE(platform::NetStartup());
    platform::NetAddress where;
    ASSERT_TRUE(platform::NetResolve(kLoopback, SessionPort(), &where));
    platform::NetEndpoint* otherHost = platform::NetOpen(&where, 4, 4096, kDiscoveryPrefix, 64);
    ASSERT_NE(otherHost, nullptr);
    const TzGuid instance = {{7, 7, 7}};
    std::atomic<bool> stop{false};
    std::thread hosting([&] {
        while (!stop) {
            platform::NetEvent event;
            if (!platform::NetPoll(otherHost, &event, 5)) continue;
            if (event.kind == platform::NetEventKind::Raw) {
                const auto answer = EncodeAnswer(kTzApplicationId, instance, "Streng");
                platform::NetSendRaw(otherHost, event.from, answer.data(), answer.size(), false);
            } else if (event.kind == platform::NetEventKind::Received) {
                const auto refused = EncodeRefused(5);
                platform::NetSend(otherHost, event.peer, 0, refused.data(), refused.size(), true);
                platform::NetDisconnectLater(otherHost, event.peer);
                platform::NetFlush(otherHost);
            }
        }
    });

    testing::internal::CaptureStderr();
    const std::int64_t start = SteadyMilliseconds();
    const double joined = NETJOINGAME(0, "Streng", kLoopback, 0);
    const std::int64_t took = SteadyMilliseconds() - start;
    const std::string said = testing::internal::GetCapturedStderr();
    stop = true;
    hosting.join();
    platform::NetClose(otherHost, 0);
    platform::NetShutdown();

    EXPECT_EQ(joined, 0);
    EXPECT_LT(took, 1500);  // well before the 3 s connection time-out
    const std::string expected =
        "network protocol version 5, this program speaks " + std::to_string(kProtocolVersion);
    EXPECT_NE(said.find(expected), std::string::npos) << said;
}
