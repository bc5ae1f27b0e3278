// The frame owns the network object: start-up creates pTzNet and SHOWSCREEN
// handles network traffic even when the program calls no NET command.
#include "net/net_test_support.h"

#include "frame/frame.h"
#include "gfx/opengl_rainbows.h"

using namespace nettest;

TEST(NetFrame, StartUpCreatesTheNetworkObjectAndShowScreenServicesIt)
{
    KV_RESX = 160;
    KV_RESY = 120;
    KV_FULLSCREEN = 0;
    KV_FRAMERATE = 200;
    KV_DEBUG = 0;
    ASSERT_EQ(pTzNet, nullptr);
    __GlobalInit(nullptr, nullptr, nullptr, 1, "net_frame_test");
    ASSERT_NE(pTzNet, nullptr);
    EXPECT_EQ(pTzNet->State(), TzNetwork::kIdle);

    ASSERT_TRUE(HostOnFreshPort("Bildschirm"));
    EXPECT_STRNE(NETCREATEPLAYER_Str("Host").GetStrData(), "0");
    // The guest can only join while this side is serviced; from here on
    // only SHOWSCREEN does that.
    PeerThread guest([&](TzNetwork& net, PeerThread& self) {
        std::uint32_t id = 0;
        if (net.Init(MakeInfo("Bildschirm", false)) != tznet::kOk ||
            net.CreatePlayer("Gast", &id) != tznet::kOk) {
            self.failed = true;
            return;
        }
        self.playerId = id;
        self.ready = true;
        self.ServiceUntilStopped(net);
    });
    // One SHOWSCREEN may be enough: it services the session while it waits
    // for the frame's slot, so the join can finish inside the first frame.
    EXPECT_TRUE(WaitUntil([&] {
        SHOWSCREEN();
        return (NETNUMPLAYERS() == 2 && guest.ready.load()) ||
               guest.finished.load();
    }, 8000));
    EXPECT_FALSE(guest.failed);
    EXPECT_TRUE(guest.ready);
    EXPECT_EQ(NETNUMPLAYERS(), 2);
    guest.stop = true;

    // Ends the session, the sound device and the window before the process
    // exits.
    __ReleaseRuntime();
}
