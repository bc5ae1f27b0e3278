// Waiting for network traffic on Windows under Wine: a datagram for the
// endpoint or a wake-up from another thread ends the wait, else its time.
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

std::uint16_t g_listenerPort = 0;

double MillisecondsOf(void (*wait)(platform::NetWaiter*, const platform::NetWaitHandles&),
                      platform::NetWaiter* waiter, const platform::NetWaitHandles& handles)
{
    const auto start = std::chrono::steady_clock::now();
    wait(waiter, handles);
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void WaitTwoSeconds(platform::NetWaiter* waiter, const platform::NetWaitHandles& handles)
{
    platform::NetWaiterWait(waiter, handles, 2000);
}

TEST(WindowsNetWaiter, TrafficOrAWakeUpEndsTheWaitElseItsTime)
{
    ASSERT_TRUE(platform::NetStartup());
    platform::NetAddress loopback;
    ASSERT_TRUE(platform::NetResolve("127.0.0.1", 0, &loopback));
    // The listener on a port of its own, so that the datagram knows where to go.
    platform::NetEndpoint* listener = nullptr;
    for (std::uint16_t port = 47310; listener == nullptr && port < 47330; ++port) {
        platform::NetAddress at = loopback;
        at.port = port;
        listener = platform::NetOpen(&at, 2, 1400, "KV", 8);
        g_listenerPort = port;
    }
    platform::NetEndpoint* sender = platform::NetOpen(&loopback, 2, 1400, "KV", 8);
    ASSERT_NE(listener, nullptr);
    ASSERT_NE(sender, nullptr);
    platform::NetWaiter* waiter = platform::NetWaiterCreate();
    ASSERT_NE(waiter, nullptr);
    const platform::NetWaitHandles handles = platform::NetEndpointHandles(listener);

    // Nothing comes: the wait takes its time.
    const auto start = std::chrono::steady_clock::now();
    platform::NetWaiterWait(waiter, handles, 150);
    const double waited = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(waited, 140.0);

    // A wake-up from another thread, and one given before the wait.
    std::thread waker([waiter] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        platform::NetWaiterWake(waiter);
    });
    EXPECT_LT(MillisecondsOf(WaitTwoSeconds, waiter, handles), 1500.0);
    waker.join();
    platform::NetWaiterWake(waiter);
    EXPECT_LT(MillisecondsOf(WaitTwoSeconds, waiter, handles), 1500.0) << "a wake-up stays until a wait sees it";
    const auto waitShortly = [](platform::NetWaiter* w, const platform::NetWaitHandles& h) {
        platform::NetWaiterWait(w, h, 200);
    };
    EXPECT_GE(MillisecondsOf(waitShortly, waiter, handles), 190.0) << "and only until then";

    // A datagram for the endpoint, sent from another thread.
    platform::NetEvent event;
    platform::NetAddress to = loopback;
    to.port = g_listenerPort;
    std::thread datagram([sender, to] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        platform::NetSendRaw(sender, to, "KVhallo", 7, false);
    });
    EXPECT_LT(MillisecondsOf(WaitTwoSeconds, waiter, handles), 1500.0);
    datagram.join();
    ASSERT_TRUE(platform::NetPoll(listener, &event, 500));
    EXPECT_EQ(event.kind, platform::NetEventKind::Raw);

    platform::NetWaiterDestroy(waiter);
    platform::NetClose(sender, 0);
    platform::NetClose(listener, 0);
    platform::NetShutdown();
}

}  // namespace
