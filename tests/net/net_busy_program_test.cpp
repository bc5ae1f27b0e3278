// A real program (net_busy_probe, with its window, input and frame) that is
// busy for longer than the peers' 5 s time-out without a NET call: waiting
// for another program (SHELLCMD), for a key (KEYWAIT), playing a video,
// searching paths (FINDPATH) or computing without SHOWSCREEN, as host and
// as joined peer. Meanwhile one of this test's players leaves and another
// comes. Afterwards the busy program's roster must agree with the session:
// it lists the same players in the same order as this test's side, it got
// every message sent meanwhile, and messages still flow both ways.
#include "net/net_test_support.h"

#include <cstdio>
#include <fstream>
#include <ostream>
#include <string>
#include <tuple>

#include "media/media_files.h"
#include "net/net_child_process.h"

using namespace nettest;

namespace {

constexpr const char* kSession = "Beschaeftigt";
constexpr int kProbeBusyMs = 7000;  // as the probe is busy
constexpr int kPeerTimeoutMs = 5000;

struct BusyCase {
    bool probeHosts;
    const char* way;
};

std::string CaseName(const testing::TestParamInfo<BusyCase>& info)
{
    return std::string(info.param.probeHosts ? "Host" : "JoinedPeer") + "BusyBy_" + info.param.way;
}

// Shown in the test list instead of the record's bytes.
void PrintTo(const BusyCase& busy, std::ostream* out)
{
    *out << (busy.probeHosts ? "host" : "joined peer") << " busy by " << busy.way;
}

class NetBusyProgramTest : public NetCommandTest, public testing::WithParamInterface<BusyCase> {};

// What the busy program needs: the input script that ends its KEYWAIT, the
// video it plays. Named after the port, so parallel tests do not meet.
struct ProbeFiles {
    explicit ProbeFiles(const std::string& way)
    {
        const std::string port = std::getenv("KV_NET_PORT");
        if (way == "keywait") {
            script = PrivateTempPath("net-busy-" + port + ".script");
            // The probe starts KEYWAIT on frame 360; each pass is a frame.
            std::ofstream(script) << "810 key 57 down 32\n820 key 57 up\n";
        }
        if (way == "movie") {
            mediatest::VideoRecipe recipe;
            recipe.width = 64;
            recipe.height = 48;
            recipe.pictures = 25 * kProbeBusyMs / 1000;  // 25 per second
            recipe.colours = {{255, 0, 0}, {0, 0, 255}};
            video = PrivateTempPath("net-busy-" + port + ".nut");
            made = mediatest::WriteVideo(video, recipe, &why);
        }
    }
    ~ProbeFiles()
    {
        if (!script.empty()) std::remove(script.c_str());
        if (!video.empty()) std::remove(video.c_str());
    }
    std::string Command(bool probeHosts, const std::string& way) const
    {
        std::string command;
        if (!script.empty()) command += "KV_INPUT_SCRIPT='" + script + "' ";
        command += "'" KV_BUILD_DIR "/net_busy_probe' ";
        command += std::string(probeHosts ? "host " : "join ") + way;
        if (!video.empty()) command += " '" + video + "'";
        return command + " > /dev/null 2>&1";
    }
    std::string script, video, why;
    bool made = true;
};

// The names of the session's players in enumeration order, between ','.
std::string PlayerNames()
{
    std::string names;
    const int count = static_cast<int>(NETNUMPLAYERS());
    for (int i = 0; i < count; ++i)
        names += std::string(i > 0 ? "," : "") + NETPLAYERNAME_Str(NETGETPLAYERID_Str(i)).GetStrData();
    return names;
}

// The probe's player, once it is in the session.
KvStr WaitForProbe()
{
    KvStr probe = "0";
    WaitUntil([&] {
        probe = FindPlayer(kSession);
        return std::string(probe.GetStrData()) != "0";
    }, 30000);
    return probe;
}

}  // namespace

TEST_P(NetBusyProgramTest, RosterAgreesWithTheSessionAfterTheProgramWasBusy)
{
    const BusyCase busy = GetParam();
    UseFreshPort();
    ProbeFiles files(busy.way);
    ASSERT_TRUE(files.made) << files.why;
    if (!busy.probeHosts) {
        ASSERT_EQ(NETHOSTGAME(0, kSession, kLoopback, 0), 1);
    }
    BackgroundCommand probeRun(files.Command(busy.probeHosts, busy.way));
    if (busy.probeHosts) {
        ASSERT_TRUE(JoinWithRetries(kSession, kLoopback, 20));
    }
    const KvStr me = NETCREATEPLAYER_Str("Wach");
    ASSERT_NE(ToId(me), 0u);
    // Leaves while the probe is busy; "Neu" comes instead.
    const KvStr old = NETCREATEPLAYER_Str("Alt");
    ASSERT_NE(ToId(old), 0u);
    const KvStr probe = WaitForProbe();
    ASSERT_NE(ToId(probe), 0u);

    ASSERT_EQ(NextMessage(me, 30000), "schlafe");
    // Five messages while it is busy, the last well after the time-out, and
    // a player leaving and one coming meanwhile.
    const auto busySince = std::chrono::steady_clock::now();
    int sent = 0;
    for (const char* text : {"eins", "zwei", "drei", "vier", "fuenf"}) {
        const auto due = busySince + std::chrono::milliseconds(++sent * (kProbeBusyMs - 500) / 5);
        WaitUntil([&] {
            NETNUMPLAYERS();
            return std::chrono::steady_clock::now() >= due;
        }, kProbeBusyMs);
        EXPECT_EQ(NETSENDMSG(me, probe, text), 1);
        EXPECT_EQ(NETNUMPLAYERS(), 3);
        if (sent == 2) {
            NETDESTROYPLAYER(old);
            EXPECT_NE(ToId(NETCREATEPLAYER_Str("Neu")), 0u);
        }
    }

    // Its report: what came meanwhile, its players, how long it was busy.
    // Every peer enumerates the players alike.
    const std::string report = NextMessage(me, 60000);
    ASSERT_EQ(report.rfind("wach:", 0), 0u) << report;
    const std::size_t blank = report.rfind(' ');
    ASSERT_NE(blank, std::string::npos) << report;
    EXPECT_EQ(report.substr(0, blank), "wach:eins,zwei,drei,vier,fuenf,3 " + PlayerNames());
    EXPECT_GT(std::atoi(report.c_str() + blank + 1), kPeerTimeoutMs) << report;
    EXPECT_EQ(NETNUMPLAYERS(), 3);
    EXPECT_STREQ(FindPlayer("Alt").GetStrData(), "0");
    EXPECT_STRNE(FindPlayer("Neu").GetStrData(), "0");
    EXPECT_STREQ(FindPlayer(kSession).GetStrData(), probe.GetStrData());

    EXPECT_EQ(NETSENDMSG(me, probe, "Ende"), 1);
    WaitUntil([&] {
        NETNUMPLAYERS();
        return probeRun.Done();
    }, 30000);
    EXPECT_EQ(probeRun.Result(), 0);
}

INSTANTIATE_TEST_SUITE_P(EveryWayOfBeingBusy, NetBusyProgramTest,
                         testing::Values(BusyCase{true, "shellcmd"}, BusyCase{false, "shellcmd"},
                                         BusyCase{true, "keywait"}, BusyCase{false, "keywait"},
                                         BusyCase{true, "movie"}, BusyCase{false, "movie"},
                                         BusyCase{true, "findpath"}, BusyCase{false, "findpath"},
                                         BusyCase{true, "loop"}, BusyCase{false, "loop"}),
                         CaseName);
