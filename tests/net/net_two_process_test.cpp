// Peers as separate processes on 127.0.0.1: a session survives a program
// that makes no NET call for a long while (host or joined peer), and it
// survives its host being killed. The peers' scripts are the disabled tests
// here; the enabled tests start them as child processes.
#include "net/net_test_support.h"

#include <cstdlib>
#include <fstream>

#include "files/process_commands.h"
#include "net/net_child_process.h"
#include "platform/platform.h"

using namespace nettest;

namespace {

// Four times a peer's time-out (5 s): without something servicing the
// session meanwhile, the connection would be dropped. The program blocks
// the way a BASIC program does, waiting for another program to end.
constexpr int kBusyMs = 20000;
constexpr const char* kBusyCommand = "sleep 20";

void BlockWithoutNetCalls()
{
    double exitCode = -1;
    ASSERT_EQ(SHELLCMD(kBusyCommand, 1, 0, exitCode), 1);
    ASSERT_EQ(exitCode, 0);
}

void Sleep(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace

// ---- A busy host --------------------------------------------------------------

// Hosts, tells the guest it is going to sleep, sleeps without a single NET
// call (as a program waiting for a key would), then reports what arrived.
TEST_F(NetCommandTest, DISABLED_BusyHost)
{
    ASSERT_EQ(NETHOSTGAME(0, "Schlafmuetze", kLoopback, 0), 1);
    const KvStr me = NETCREATEPLAYER_Str("Gastgeber");
    ASSERT_TRUE(WaitUntil([] { return NETNUMPLAYERS() == 2; }, 20000));
    const KvStr guest = FindPlayer("Gast");
    ASSERT_EQ(NETSENDMSG(me, guest, "schlafe"), 1);
    BlockWithoutNetCalls();
    std::string heard;
    for (std::string text; !(text = NETGETMSG_Str(me).GetStrData()).empty();) heard += text + ",";
    const std::string report = "wach:" + heard + std::to_string(static_cast<int>(NETNUMPLAYERS()));
    ASSERT_EQ(NETSENDMSG(me, guest, report.c_str()), 1);
    EXPECT_EQ(NextMessage(me, 15000), "Ende");
}

TEST_F(NetCommandTest, ASessionSurvivesAHostThatMakesNoNetCallForLong)
{
    UseFreshPort();
    ChildProcess host("NetCommandTest.DISABLED_BusyHost");
    ASSERT_TRUE(JoinWithRetries("Schlafmuetze"));
    const KvStr me = NETCREATEPLAYER_Str("Gast");
    ASSERT_NE(ToId(me), 0u);
    const KvStr hostPlayer = FindPlayer("Gastgeber");
    EXPECT_EQ(NextMessage(me, 10000), "schlafe");
    // Sent while the host sleeps; they wait for it in order.
    for (const char* text : {"eins", "zwei", "drei", "vier", "fuenf"}) {
        EXPECT_EQ(NETSENDMSG(me, hostPlayer, text), 1);
        EXPECT_EQ(NETNUMPLAYERS(), 2);
        Sleep(kBusyMs / 6);
    }
    // The busy host got all five and still counts both players.
    EXPECT_EQ(NextMessage(me, kBusyMs + 10000), "wach:eins,zwei,drei,vier,fuenf,2");
    EXPECT_EQ(NETNUMPLAYERS(), 2);
    NETSENDMSG(me, hostPlayer, "Ende");
    WaitUntil([&] {
        NETNUMPLAYERS();
        return host.Done();
    }, 20000);
    EXPECT_EQ(host.Result(), 0);
}

// ---- A busy joined peer -----------------------------------------------------

// Hosts and, once the guest has gone quiet, sends it three messages over a
// few seconds; then waits for its answer.
TEST_F(NetCommandTest, DISABLED_HostOfABusyPeer)
{
    ASSERT_EQ(NETHOSTGAME(0, "Stille Post", kLoopback, 0), 1);
    const KvStr me = NETCREATEPLAYER_Str("Gastgeber");
    ASSERT_EQ(NextMessage(me, 20000), "schlafe jetzt");
    const KvStr guest = FindPlayer("Gast");
    for (const char* text : {"a", "b", "c", "d", "e"}) {
        EXPECT_EQ(NETSENDMSG(me, guest, text), 1);
        EXPECT_EQ(NETNUMPLAYERS(), 2);
        Sleep(kBusyMs / 6);
    }
    EXPECT_EQ(NextMessage(me, kBusyMs + 15000), "Ende 2");
    EXPECT_EQ(NETNUMPLAYERS(), 2);
}

TEST_F(NetCommandTest, ASessionSurvivesAJoinedPeerThatMakesNoNetCallForLong)
{
    UseFreshPort();
    ChildProcess host("NetCommandTest.DISABLED_HostOfABusyPeer");
    ASSERT_TRUE(JoinWithRetries("Stille Post"));
    const KvStr me = NETCREATEPLAYER_Str("Gast");
    const KvStr hostPlayer = FindPlayer("Gastgeber");
    ASSERT_EQ(NETSENDMSG(me, hostPlayer, "schlafe jetzt"), 1);
    BlockWithoutNetCalls();
    EXPECT_TRUE(pTzNet->IsSetup());
    const int count = static_cast<int>(NETNUMPLAYERS());
    EXPECT_EQ(count, 2);
    std::string heard;
    for (std::string text; !(text = NETGETMSG_Str(me).GetStrData()).empty();) heard += text;
    EXPECT_EQ(heard, "abcde");
    EXPECT_EQ(NETSENDMSG(me, hostPlayer, ("Ende " + std::to_string(count)).c_str()), 1);
    WaitUntil([&] {
        NETNUMPLAYERS();
        return host.Done();
    }, 20000);
    EXPECT_EQ(host.Result(), 0);
}

// ---- Host migration ---------------------------------------------------------

// The first host: hosts and keeps the session until it is killed.
TEST_F(NetCommandTest, DISABLED_MigrationFirstHost)
{
    ASSERT_EQ(NETHOSTGAME(0, "Wanderer", kLoopback, 0), 1);
    NETCREATEPLAYER_Str("H");
    WaitUntil([] { return NETNUMPLAYERS() < 0; }, 60000);  // until killed
}

// The oldest joined peer (it becomes the host): answers "ping N" from B
// with "pong N", until "Ende".
TEST_F(NetCommandTest, DISABLED_MigrationPeerA)
{
    ASSERT_TRUE(JoinWithRetries("Wanderer"));
    const KvStr me = NETCREATEPLAYER_Str("A");
    ASSERT_NE(ToId(me), 0u);
    std::ofstream(std::getenv("KV_TEST_READY_FILE")) << "ready";
    for (;;) {
        const std::string text = NextMessage(me, 60000);
        ASSERT_FALSE(text.empty());
        if (text == "Ende") break;
        if (text.rfind("ping", 0) == 0) NETSENDMSG(me, FindPlayer("B"), ("pong" + text.substr(4)).c_str());
    }
    EXPECT_EQ(pTzNet->State(), TzNetwork::kHosting);
}

// A newcomer after the migration: joins by name, greets B, waits for "Ende".
TEST_F(NetCommandTest, DISABLED_MigrationLatePeerC)
{
    ASSERT_TRUE(JoinWithRetries("Wanderer"));
    const KvStr me = NETCREATEPLAYER_Str("C");
    ASSERT_NE(ToId(me), 0u);
    EXPECT_EQ(NETSENDMSG(me, FindPlayer("B"), "hallo von C"), 1);
    EXPECT_EQ(NextMessage(me, 30000), "Ende");
}

TEST_F(NetCommandTest, WhenTheHostIsKilledTheOldestPeerTakesOverAndTheSessionGoesOn)
{
    UseFreshPort();
    const std::string port = std::getenv("KV_NET_PORT");
    const std::string readyFile = PrivateTempPath("net-migration-" + port + ".ready");
    const std::string pidFile = PrivateTempPath("net-migration-" + port + ".pid");
    std::remove(readyFile.c_str());
    setenv("KV_TEST_READY_FILE", readyFile.c_str(), 1);

    const std::string hostPid = StartKillableChild("NetCommandTest.DISABLED_MigrationFirstHost", pidFile);
    ASSERT_FALSE(hostPid.empty());
    ChildProcess peerA("NetCommandTest.DISABLED_MigrationPeerA");
    ASSERT_TRUE(WaitUntil([&] { return FileExists(readyFile); }, 20000));
    ASSERT_TRUE(JoinWithRetries("Wanderer"));
    const KvStr me = NETCREATEPLAYER_Str("B");
    ASSERT_EQ(NETNUMPLAYERS(), 3);
    const KvStr a = FindPlayer("A");
    ASSERT_NE(ToId(a), 0u);

    ASSERT_EQ(std::system(("kill -KILL " + hostPid).c_str()), 0);
    // The host's player leaves; A and B stay, with their ids and names.
    ASSERT_TRUE(WaitUntil([] { return NETNUMPLAYERS() == 2; }, 15000));
    EXPECT_STREQ(FindPlayer("A").GetStrData(), a.GetStrData());
    EXPECT_STREQ(FindPlayer("B").GetStrData(), me.GetStrData());
    EXPECT_STREQ(FindPlayer("H").GetStrData(), "0");

    // Messages flow once B is back in the session (text is unreliable and
    // the first may go out while B is still reconnecting: ask again).
    std::string answer;
    for (int attempt = 1; attempt <= 15 && answer.empty(); ++attempt) {
        NETSENDMSG(me, a, ("ping " + std::to_string(attempt)).c_str());
        answer = NextMessage(me, 1000);
    }
    EXPECT_EQ(answer.rfind("pong ", 0), 0u) << answer;
    EXPECT_EQ(pTzNet->State(), TzNetwork::kJoined);  // A hosts now, not us

    // A newcomer finds the session at the new host.
    ChildProcess peerC("NetCommandTest.DISABLED_MigrationLatePeerC");
    std::string greeting;
    WaitUntil([&] {
        greeting = NETGETMSG_Str(me).GetStrData();
        return greeting == "hallo von C" || peerC.Done();
    }, 25000);
    EXPECT_EQ(greeting, "hallo von C");
    EXPECT_EQ(NETNUMPLAYERS(), 3);

    NETSENDMSG(me, FindPlayer("C"), "Ende");
    WaitUntil([&] {
        NETNUMPLAYERS();
        return peerC.Done();
    }, 20000);
    NETSENDMSG(me, a, "Ende");
    WaitUntil([&] {
        NETNUMPLAYERS();
        return peerA.Done();
    }, 20000);
    EXPECT_EQ(peerC.Result(), 0);
    EXPECT_EQ(peerA.Result(), 0);
    std::remove(readyFile.c_str());
    std::remove(pidFile.c_str());
}
