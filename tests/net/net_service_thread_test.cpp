// The service thread runs only while a session is open and sleeps on the
// session's socket between rounds; and two network objects of one process
// (each with its own thread) never mix up their player lookups.
#include "net/net_test_support.h"

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

using namespace nettest;

using NetServiceThreads = NetCommandTest;

namespace {

std::set<std::string> ThreadIds()
{
    std::set<std::string> ids;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task"))
        ids.insert(entry.path().filename().string());
    return ids;
}

// Context switches of one thread so far: every wake-up from a sleep is one.
long WakeUps(const std::string& tid)
{
    std::ifstream status("/proc/self/task/" + tid + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("voluntary_ctxt_switches:", 0) == 0) return std::stol(line.substr(24));
    return -1;
}

}  // namespace

TEST_F(NetServiceThreads, RunOnlyWhileASessionIsOpenAndSleepWhileNothingHappens)
{
    const std::set<std::string> before = ThreadIds();
    // A network object without a session runs nothing.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(ThreadIds(), before);

    ASSERT_TRUE(HostOnFreshPort("Ruhig"));
    std::set<std::string> during = ThreadIds();
    ASSERT_EQ(during.size(), before.size() + 1);
    std::string service;
    for (const std::string& id : during)
        if (before.count(id) == 0) service = id;

    // An idle session: the thread wakes for the protocol's timers only
    // (a few dozen times a second at most), not every few milliseconds.
    const long start = WakeUps(service);
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    const long woken = WakeUps(service) - start;
    EXPECT_GE(start, 0);
    EXPECT_LT(woken, 100) << "the service thread woke " << woken << " times in an idle second";

    // Closing the session ends the thread.
    pTzNet->CleanUp();
    EXPECT_EQ(ThreadIds(), before);
    EXPECT_EQ(NETNUMPLAYERS(), 0);

    // A failed host or join starts none.
    EXPECT_EQ(NETJOINGAME(0, "Niemand", kLoopback, 0), 0);
    EXPECT_EQ(ThreadIds(), before);
}

TEST_F(NetServiceThreads, TwoNetworkObjectsCountTheirOwnPlayers)
{
    // Two sessions in one process, each on its own port: three players on
    // one, one on the other, counted at the same time on two threads.
    ASSERT_TRUE(HostOnFreshPort("Eins"));
    NETCREATEPLAYER_Str("Solo");
    std::atomic<bool> ready{false}, failed{false}, stop{false};
    std::atomic<int> wrong{0};
    std::thread other([&] {
        TzNetwork net;
        bool hosted = false;
        for (int attempt = 0; attempt < 5 && !hosted; ++attempt) {
            UseFreshPort();
            hosted = net.Init(MakeInfo("Zwei", true)) == tznet::kOk;
        }
        std::uint32_t ids[3] = {};
        for (std::uint32_t& id : ids) net.CreatePlayer("Trio", &id);
        failed = !hosted || ids[2] == 0;
        ready = true;
        while (!stop && !failed) {
            if (net.NumPlayers() != 3 || net.GetPlayerID(2) != ids[2] || net.GetPlayerID(3) != 0) ++wrong;
        }
    });
    ASSERT_TRUE(WaitUntil([&] { return ready.load(); }));
    ASSERT_FALSE(failed);
    const KvStr solo = NETGETPLAYERID_Str(0);
    for (int i = 0; i < 20000; ++i) {
        if (NETNUMPLAYERS() != 1 || NETGETPLAYERID_Str(0).Compare(solo) != 0 ||
            std::atol(NETGETPLAYERID_Str(1).GetStrData()) != 0)
            ++wrong;
    }
    stop = true;
    other.join();
    EXPECT_EQ(wrong, 0);
}
