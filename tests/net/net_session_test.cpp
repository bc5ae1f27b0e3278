// Two and three peers of one session in this process: the host or a joined
// peer runs on a thread of its own, the other side uses the commands.
#include "net/net_test_support.h"

using namespace nettest;

using NetSessions = NetCommandTest;

namespace {

// A host on its own thread: hosts `name` on the current port, creates one
// player, then keeps the session running until told to stop.
PeerThread::Script HostScript(std::string name, std::string playerName)
{
    return [name, playerName](TzNetwork& net, PeerThread& self) {
        if (net.Init(MakeInfo(name.c_str(), true)) != tznet::kOk) {
            self.failed = true;
            self.ready = true;
            return;
        }
        std::uint32_t id = 0;
        net.CreatePlayer(playerName.c_str(), &id);
        self.playerId = id;
        self.ready = true;
        self.ServiceUntilStopped(net);
    };
}

}  // namespace

TEST_F(NetSessions, JoiningFindsOnlyTheExactlyMatchingName)
{
    UseFreshPort();
    PeerThread host(HostScript("Zorvelin Runde", "Gastgeber"));
    ASSERT_TRUE(WaitUntil([&] { return host.ready.load(); }));
    ASSERT_FALSE(host.failed);

    EXPECT_EQ(NETJOINGAME(0, "zorvelin runde", kLoopback, 0), 0);
    EXPECT_EQ(NETJOINGAME(0, "Zorvelin Rund", kLoopback, 0), 0);
    EXPECT_FALSE(pTzNet->IsSetup());
    EXPECT_EQ(NETJOINGAME(0, "Zorvelin Runde", kLoopback, 0), 1);
    EXPECT_EQ(pTzNet->State(), TzNetwork::kJoined);
}

TEST_F(NetSessions, TextCrossesBothWaysUnchanged)
{
    UseFreshPort();
    std::atomic<bool> clientPlayerKnown{false};
    std::atomic<std::uint32_t> clientPlayer{0};
    std::string heardByHost;
    PeerThread host([&](TzNetwork& net, PeerThread& self) {
        if (net.Init(MakeInfo("Echo", true)) != tznet::kOk) {
            self.failed = true;
            self.ready = true;
            return;
        }
        std::uint32_t id = 0;
        net.CreatePlayer("Host", &id);
        self.playerId = id;
        self.ready = true;
        // Answers the first message with its own reply.
        char buffer[1024];
        WaitUntil([&] {
            net.ReceiveMsg(id, buffer, sizeof buffer);
            return buffer[0] != 0 || self.stop;
        }, 8000);
        heardByHost = buffer;
        WaitUntil([&] { net.Service(); return clientPlayerKnown.load() || self.stop; }, 8000);
        net.SendMsg(id, clientPlayer, "ABCDEFGHIJ", false);
        self.ServiceUntilStopped(net);
    });
    ASSERT_TRUE(WaitUntil([&] { return host.ready.load(); }));
    ASSERT_FALSE(host.failed);

    ASSERT_EQ(NETJOINGAME(0, "Echo", kLoopback, 0), 1);
    const KvStr me = NETCREATEPLAYER_Str("Gast");
    ASSERT_GT(std::atol(me.GetStrData()), 0);
    clientPlayer = static_cast<std::uint32_t>(std::atol(me.GetStrData()));
    clientPlayerKnown = true;
    const KvStr hostPlayer = KvStr(std::to_string(host.playerId.load()).c_str());

    EXPECT_EQ(NETSENDMSG(me, hostPlayer, "0123456789"), 1);
    std::string reply;
    ASSERT_TRUE(WaitUntil([&] {
        reply = NETGETMSG_Str(me).GetStrData();
        return !reply.empty();
    }, 5000));
    EXPECT_EQ(reply, "ABCDEFGHIJ");
    host.stop = true;
    WaitUntil([&] { return host.finished.load(); });
    EXPECT_EQ(heardByHost, "0123456789");
    EXPECT_EQ(heardByHost.size(), 10u);
}

TEST_F(NetSessions, EveryPeerEnumeratesThePlayersAlike)
{
    UseFreshPort();
    PeerThread host(HostScript("Reihenfolge", "Erster"));
    ASSERT_TRUE(WaitUntil([&] { return host.ready.load(); }));
    ASSERT_FALSE(host.failed);

    ASSERT_EQ(NETJOINGAME(0, "Reihenfolge", kLoopback, 0), 1);
    const KvStr second = NETCREATEPLAYER_Str("Zweiter");
    const KvStr third = NETCREATEPLAYER_Str("Dritter");
    EXPECT_EQ(NETNUMPLAYERS(), 3);
    EXPECT_EQ(std::atol(NETGETPLAYERID_Str(0).GetStrData()), static_cast<long>(host.playerId.load()));
    EXPECT_STREQ(NETGETPLAYERID_Str(1).GetStrData(), second.GetStrData());
    EXPECT_STREQ(NETGETPLAYERID_Str(2).GetStrData(), third.GetStrData());
    EXPECT_STREQ(NETGETPLAYERID_Str(5).GetStrData(), "0");
    EXPECT_STREQ(NETPLAYERNAME_Str(NETGETPLAYERID_Str(0)).GetStrData(), "Erster");

    // A second joined peer sees the same order, and the players of the
    // first peer leave with it.
    TzNetwork other;
    ASSERT_EQ(other.Init(MakeInfo("Reihenfolge", false)), tznet::kOk);
    ASSERT_EQ(other.NumPlayers(), 3);
    EXPECT_EQ(other.GetPlayerID(0), host.playerId.load());
    EXPECT_EQ(other.GetPlayerID(1), static_cast<std::uint32_t>(std::atol(second.GetStrData())));
    EXPECT_EQ(other.GetPlayerID(2), static_cast<std::uint32_t>(std::atol(third.GetStrData())));

    pTzNet->CleanUp();
    EXPECT_TRUE(WaitUntil([&] { return other.NumPlayers() == 1; }));
    EXPECT_EQ(other.GetPlayerID(0), host.playerId.load());
}

TEST_F(NetSessions, MessagesBetweenJoinedPeersGoThroughTheHost)
{
    UseFreshPort();
    PeerThread host(HostScript("Weiterleitung", "Host"));
    ASSERT_TRUE(WaitUntil([&] { return host.ready.load(); }));
    ASSERT_FALSE(host.failed);

    TzNetwork anna, bert;
    ASSERT_EQ(anna.Init(MakeInfo("Weiterleitung", false)), tznet::kOk);
    ASSERT_EQ(bert.Init(MakeInfo("Weiterleitung", false)), tznet::kOk);
    std::uint32_t a = 0, b = 0;
    ASSERT_EQ(anna.CreatePlayer("Anna", &a), tznet::kOk);
    ASSERT_EQ(bert.CreatePlayer("Bert", &b), tznet::kOk);
    // Anna learns of Bert's player through the host.
    ASSERT_TRUE(WaitUntil([&] { return anna.NumPlayers() == 3; }));
    char name[64];
    anna.GetPlayerName(b, name, sizeof name);
    EXPECT_STREQ(name, "Bert");

    EXPECT_TRUE(anna.SendMsg(a, b, "Hallo Bert", false));
    char buffer[1024] = {};
    ASSERT_TRUE(WaitUntil([&] {
        anna.Service();
        bert.ReceiveMsg(b, buffer, sizeof buffer);
        return buffer[0] != 0;
    }));
    EXPECT_STREQ(buffer, "Hallo Bert");

    // Anna cannot speak for Bert's player: the send is refused locally.
    EXPECT_FALSE(anna.SendMsg(b, b, "gefaelscht", false));
    // Bert cannot destroy Anna's player either.
    bert.DestroyPlayer(a);
    EXPECT_EQ(bert.NumPlayers(), 3);
}

TEST_F(NetSessions, ASecondHostGameClosesTheFirstSession)
{
    ASSERT_TRUE(HostOnFreshPort("Erste Runde"));
    const KvStr first = NETCREATEPLAYER_Str("Alt");
    std::atomic<bool> sessionEnded{false};
    PeerThread guest([&](TzNetwork& net, PeerThread& self) {
        if (net.Init(MakeInfo("Erste Runde", false)) != tznet::kOk) {
            self.failed = true;
            self.ready = true;
            return;
        }
        self.ready = true;
        // The first host's player leaves this peer's roster with its host.
        // (Names, not NumPlayers: the player-lookup globals belong to the
        // main thread's network object.)
        const auto firstId = static_cast<std::uint32_t>(std::atol(first.GetStrData()));
        char name[64];
        WaitUntil([&] {
            net.GetPlayerName(firstId, name, sizeof name);
            return name[0] == 0 || self.stop;
        }, 8000);
        sessionEnded = name[0] == 0;
        // Leave before taking over: the port is the main thread's again.
        net.CleanUp();
    });
    // Keep the first session serviced while the guest joins.
    ASSERT_TRUE(WaitUntil([&] {
        NETNUMPLAYERS();
        return guest.ready.load();
    }, 6000));
    ASSERT_FALSE(guest.failed);

    // Same port again: only possible once the first session has let it go.
    // Left alone, the guest takes the session over and holds the port
    // until it notices and leaves; then the port is free for this host.
    double hosted = NETHOSTGAME(0, "Zweite Runde", kLoopback, 0);
    if (hosted != 1) {
        ASSERT_TRUE(WaitUntil([&] { return guest.finished.load(); }, 6000));
        hosted = NETHOSTGAME(0, "Zweite Runde", kLoopback, 0);
    }
    ASSERT_EQ(hosted, 1);
    EXPECT_EQ(NETNUMPLAYERS(), 0);
    EXPECT_STREQ(NETPLAYERNAME_Str(first).GetStrData(), "NO_DATA");
    EXPECT_TRUE(WaitUntil([&] { return sessionEnded.load(); }, 3000));
    EXPECT_TRUE(WaitUntil([&] { return guest.finished.load(); }, 3000));
    EXPECT_FALSE(guest.failed);

    // And the new session is the one that is found.
    EXPECT_EQ(pTzNet->State(), TzNetwork::kHosting);
}

TEST_F(NetSessions, WhenTheHostLeavesTheOnlyPeerTakesOverTheSession)
{
    UseFreshPort();
    PeerThread host(HostScript("Kurz", "Host"));
    ASSERT_TRUE(WaitUntil([&] { return host.ready.load(); }));
    ASSERT_FALSE(host.failed);
    ASSERT_EQ(NETJOINGAME(0, "Kurz", kLoopback, 0), 1);
    const KvStr me = NETCREATEPLAYER_Str("Gast");
    const KvStr hostPlayer = KvStr(std::to_string(host.playerId.load()).c_str());
    EXPECT_EQ(NETSENDMSG(me, hostPlayer, "noch da"), 1);

    host.stop = true;
    ASSERT_TRUE(WaitUntil([&] { return host.finished.load(); }));
    // The session goes on here, hosted by us, without the old host's player.
    ASSERT_TRUE(WaitUntil([&] { return pTzNet->State() == TzNetwork::kHosting; }, 5000));
    EXPECT_TRUE(pTzNet->IsSetup());
    EXPECT_EQ(NETNUMPLAYERS(), 1);
    EXPECT_STREQ(NETGETPLAYERID_Str(0).GetStrData(), me.GetStrData());
    EXPECT_STREQ(NETPLAYERNAME_Str(me).GetStrData(), "Gast");
    EXPECT_STREQ(NETPLAYERNAME_Str(hostPlayer).GetStrData(), "NO_DATA");
    EXPECT_EQ(NETSENDMSG(me, hostPlayer, "weg?"), 0);

    // Newcomers find it under its name and can talk to our player.
    PeerThread late([&](TzNetwork& net, PeerThread& self) {
        std::uint32_t id = 0;
        if (net.Init(MakeInfo("Kurz", false)) != tznet::kOk || net.CreatePlayer("Spaet", &id) != tznet::kOk ||
            !net.SendMsg(id, static_cast<std::uint32_t>(std::atol(me.GetStrData())), "hallo", false))
            self.failed = true;
        self.ready = true;
        self.ServiceUntilStopped(net);
    });
    ASSERT_TRUE(WaitUntil([&] { return late.ready.load(); }, 8000));
    EXPECT_FALSE(late.failed);
    std::string heard;
    EXPECT_TRUE(WaitUntil([&] {
        heard = NETGETMSG_Str(me).GetStrData();
        return !heard.empty();
    }));
    EXPECT_EQ(heard, "hallo");
    EXPECT_EQ(NETNUMPLAYERS(), 2);
}
