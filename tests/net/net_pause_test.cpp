// A program of a session that stops answering altogether (SIGSTOP, as a
// debugger or a suspended laptop does) for three times the peers' time-out,
// then goes on (SIGCONT). The others drop it: a silent host is replaced by
// the oldest peer exactly as a lost one is, and the program that comes back
// is told that the session went on without it instead of being left alone.
#include "net/net_test_support.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "core/error_log.h"
#include "net/net_child_process.h"

using namespace nettest;

namespace {

constexpr int kStoppedMs = 15000;  // three times the peers' 5 s time-out
constexpr const char* kToldLine = "the others dropped it and went on without it";

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void Signal(const std::string& pid, const char* signal)
{
    ASSERT_EQ(std::system(("kill -" + std::string(signal) + " " + pid).c_str()), 0);
}

// The script of the program that gets stopped: once in the session it says
// so, then goes on making NET calls until its session ends, and writes what
// it was told (stderr, error log) to the result file.
void StoppedProgram(const KvStr& me)
{
    ASSERT_NE(ToId(me), 0u);
    testing::internal::CaptureStderr();
    std::ofstream(std::string(std::getenv("KV_TEST_RESULT_FILE")) + ".ready") << "ready";
    const bool ended = WaitUntil([] {
        NETNUMPLAYERS();
        return !pTzNet->IsSetup();
    }, 90000);
    const std::string said = testing::internal::GetCapturedStderr();
    const bool logged = ReadWholeFile(ErrorLogPath()).find(kToldLine) != std::string::npos;
    std::ofstream(std::getenv("KV_TEST_RESULT_FILE"))
        << (ended ? "ended " : "still-open ") << (logged ? "logged " : "not-logged ") << said;
    EXPECT_TRUE(ended);
    EXPECT_EQ(NETNUMPLAYERS(), 0);
    EXPECT_EQ(NETSENDMSG(me, me, "x"), 0);
}

// Lets a stopped program go on whatever happens in the test, so it ends by
// itself instead of staying stopped.
struct ContinueAtEnd {
    std::string pid;
    ~ContinueAtEnd()
    {
        if (!pid.empty()) std::system(("kill -CONT " + pid + " 2>/dev/null").c_str());
    }
};

// Files for one test, named after its port.
struct TestFiles {
    TestFiles(const std::string& tag)
    {
        const std::string port = std::getenv("KV_NET_PORT");
        ready = PrivateTempPath("net-" + tag + "-" + port + ".ready");
        result = PrivateTempPath("net-" + tag + "-" + port + ".result");
        pid = PrivateTempPath("net-" + tag + "-" + port + ".pid");
        stoppedReady = result + ".ready";
        for (const std::string* path : {&ready, &result, &pid, &stoppedReady}) std::remove(path->c_str());
        setenv("KV_TEST_READY_FILE", ready.c_str(), 1);
        setenv("KV_TEST_RESULT_FILE", result.c_str(), 1);
    }
    ~TestFiles()
    {
        for (const std::string* path : {&ready, &result, &pid, &stoppedReady}) std::remove(path->c_str());
    }
    std::string ready, result, pid;
    std::string stoppedReady;  // the program to be stopped is in the session
};

}  // namespace

// ---- A stopped host -----------------------------------------------------------

TEST_F(NetCommandTest, DISABLED_StoppedHost)
{
    ASSERT_EQ(NETHOSTGAME(0, "Wanderer", kLoopback, 0), 1);
    const KvStr me = NETCREATEPLAYER_Str("H");
    ASSERT_TRUE(WaitUntil([] { return NETNUMPLAYERS() == 3; }, 30000));
    StoppedProgram(me);
}

TEST_F(NetCommandTest, WhenTheHostIsStoppedTheOldestPeerTakesOverAndTheHostIsToldOnItsReturn)
{
    UseFreshPort();
    TestFiles files("stopped-host");
    const std::string hostPid = StartKillableChild("NetCommandTest.DISABLED_StoppedHost", files.pid);
    ASSERT_FALSE(hostPid.empty());
    ContinueAtEnd continueHost{hostPid};
    ChildProcess peerA("NetCommandTest.DISABLED_MigrationPeerA");
    ASSERT_TRUE(WaitUntil([&] { return FileExists(files.ready); }, 20000));
    ASSERT_TRUE(JoinWithRetries("Wanderer"));
    const KvStr me = NETCREATEPLAYER_Str("B");
    ASSERT_TRUE(WaitUntil([&] {
        NETNUMPLAYERS();
        return FileExists(files.stoppedReady);
    }, 20000));
    ASSERT_EQ(NETNUMPLAYERS(), 3);
    const KvStr a = FindPlayer("A");

    Signal(hostPid, "STOP");
    const auto stoppedAt = std::chrono::steady_clock::now();
    // Silence is a lost host: A takes over, B follows, H's player leaves.
    ASSERT_TRUE(WaitUntil([] { return NETNUMPLAYERS() == 2; }, kStoppedMs)) << NETNUMPLAYERS();
    EXPECT_STREQ(FindPlayer("A").GetStrData(), a.GetStrData());
    std::string answer;
    for (int attempt = 1; attempt <= 10 && answer.empty(); ++attempt) {
        NETSENDMSG(me, a, ("ping " + std::to_string(attempt)).c_str());
        answer = NextMessage(me, 1000);
    }
    EXPECT_EQ(answer.rfind("pong ", 0), 0u) << answer;
    EXPECT_EQ(pTzNet->State(), TzNetwork::kJoined);
    WaitUntil([&] {
        NETNUMPLAYERS();
        return std::chrono::steady_clock::now() - stoppedAt > std::chrono::milliseconds(kStoppedMs);
    }, kStoppedMs);

    Signal(hostPid, "CONT");
    // The old host learns that it was dropped, and says so.
    ASSERT_TRUE(WaitUntil([&] {
        NETNUMPLAYERS();
        return FileExists(files.result) && ReadWholeFile(files.result).find(kToldLine) != std::string::npos;
    }, 20000)) << ReadWholeFile(files.result);
    EXPECT_EQ(ReadWholeFile(files.result).rfind("ended logged ", 0), 0u) << ReadWholeFile(files.result);
    // The session goes on at A, without H.
    EXPECT_EQ(NETNUMPLAYERS(), 2);
    answer.clear();
    for (int attempt = 11; attempt <= 20 && answer.empty(); ++attempt) {
        NETSENDMSG(me, a, ("ping " + std::to_string(attempt)).c_str());
        answer = NextMessage(me, 1000);
    }
    EXPECT_EQ(answer.rfind("pong ", 0), 0u) << answer;

    NETSENDMSG(me, a, "Ende");
    WaitUntil([&] {
        NETNUMPLAYERS();
        return peerA.Done();
    }, 20000);
    EXPECT_EQ(peerA.Result(), 0);
}

// ---- A stopped joined peer ----------------------------------------------------

TEST_F(NetCommandTest, DISABLED_StoppedPeer)
{
    bool joined = false;
    for (int attempt = 0; attempt < 10 && !joined; ++attempt) joined = NETJOINGAME(0, "Pause", kLoopback, 0) == 1;
    ASSERT_TRUE(joined);
    StoppedProgram(NETCREATEPLAYER_Str("P"));
}

TEST_F(NetCommandTest, AStoppedPeerIsDroppedAndToldOnItsReturn)
{
    UseFreshPort();
    TestFiles files("stopped-peer");
    ASSERT_EQ(NETHOSTGAME(0, "Pause", kLoopback, 0), 1);
    const KvStr me = NETCREATEPLAYER_Str("Wirt");
    const std::string peerPid = StartKillableChild("NetCommandTest.DISABLED_StoppedPeer", files.pid);
    ASSERT_FALSE(peerPid.empty());
    ContinueAtEnd continuePeer{peerPid};
    ASSERT_TRUE(WaitUntil([&] {
        NETNUMPLAYERS();
        return FileExists(files.stoppedReady);
    }, 30000));
    ASSERT_EQ(NETNUMPLAYERS(), 2);

    Signal(peerPid, "STOP");
    const auto stoppedAt = std::chrono::steady_clock::now();
    ASSERT_TRUE(WaitUntil([] { return NETNUMPLAYERS() == 1; }, kStoppedMs));
    WaitUntil([&] {
        NETNUMPLAYERS();
        return std::chrono::steady_clock::now() - stoppedAt > std::chrono::milliseconds(kStoppedMs);
    }, kStoppedMs);
    Signal(peerPid, "CONT");

    ASSERT_TRUE(WaitUntil([&] {
        NETNUMPLAYERS();
        return FileExists(files.result) && ReadWholeFile(files.result).find(kToldLine) != std::string::npos;
    }, 20000)) << ReadWholeFile(files.result);
    EXPECT_EQ(ReadWholeFile(files.result).rfind("ended logged ", 0), 0u) << ReadWholeFile(files.result);
    // The host is still the host, of a session of one.
    EXPECT_EQ(pTzNet->State(), TzNetwork::kHosting);
    EXPECT_EQ(NETNUMPLAYERS(), 1);
    EXPECT_STREQ(NETGETPLAYERID_Str(0).GetStrData(), me.GetStrData());
}
