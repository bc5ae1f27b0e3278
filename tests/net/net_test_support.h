// Helpers for the network tests. Every session listens on 127.0.0.1 and
// every query goes to 127.0.0.1: no test sends anywhere else.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <thread>

#include "commands.h"
#include "net/tz_network.h"

namespace nettest {

inline constexpr const char* kLoopback = "127.0.0.1";

// A port of our own for this test process, so parallel tests and other
// programs on the machine do not meet.
inline void UseFreshPort()
{
    std::random_device device;
    const unsigned port = 20000 + device() % 40000;
    setenv("KV_NET_PORT", std::to_string(port).c_str(), 1);
}

inline TZCONNECTION_INFO MakeInfo(const char* name, bool host, const char* address = kLoopback)
{
    TZCONNECTION_INFO info{};
    info.connectionType = kTzConnectTcpIp;
    std::strncpy(info.sessionName, name, sizeof info.sessionName - 1);
    std::strncpy(info.address, address, sizeof info.address - 1);
    info.hostFlag = host ? 1 : 0;
    return info;
}

// Polls until done() holds, at most timeoutMs. Bounded: never loops forever.
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 3000)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return done();
}

// Hosts a session on the main thread's pTzNet with a fresh port, retrying
// with another port when the first is taken.
inline bool HostOnFreshPort(const char* name)
{
    for (int attempt = 0; attempt < 5; ++attempt) {
        UseFreshPort();
        if (NETHOSTGAME(0, name, kLoopback, 0) == 1) return true;
    }
    return false;
}

// The player id a text names.
inline std::uint32_t ToId(const KvStr& text)
{
    return static_cast<std::uint32_t>(std::atol(text.GetStrData()));
}

// The id of the player with this name, or "0".
inline KvStr FindPlayer(const char* name)
{
    const int count = static_cast<int>(NETNUMPLAYERS());
    for (int i = 0; i < count; ++i) {
        KvStr id = NETGETPLAYERID_Str(i);
        if (std::string(NETPLAYERNAME_Str(id).GetStrData()) == name) return id;
    }
    return KvStr("0");
}

// The next message for a player, or "" when none came in time.
inline std::string NextMessage(const KvStr& me, int timeoutMs)
{
    std::string text;
    WaitUntil([&] {
        text = NETGETMSG_Str(me).GetStrData();
        return !text.empty();
    }, timeoutMs);
    return text;
}

// Joins the session on the main thread's pTzNet, a few tries while the host
// may still be starting.
inline bool JoinWithRetries(const char* session, const char* address = kLoopback, int attempts = 10)
{
    for (int attempt = 0; attempt < attempts; ++attempt)
        if (NETJOINGAME(0, session, address, 0) == 1) return true;
    return false;
}

// The network object of the command tests: created and deleted like the
// frame does it, without a window (networking needs none).
class NetCommandTest : public ::testing::Test {
protected:
    void SetUp() override { pTzNet = new TzNetwork; }
    void TearDown() override
    {
        delete pTzNet;
        pTzNet = nullptr;
    }
};

// Another peer of the session, living on a thread of its own with its own
// TzNetwork, so that the main thread can block in a join while this one
// answers. The script runs until it returns; it must watch `stop`.
class PeerThread {
public:
    using Script = std::function<void(TzNetwork& net, PeerThread& self)>;
    explicit PeerThread(Script script)
        : m_thread([this, script] {
              {
                  TzNetwork net;
                  script(net, *this);
              }  // the session is closed before we say so
              finished = true;
          })
    {
    }
    ~PeerThread()
    {
        stop = true;
        m_thread.join();
    }
    // Services net until stop is set (at most timeoutMs).
    void ServiceUntilStopped(TzNetwork& net, int timeoutMs = 10000)
    {
        WaitUntil([&] {
            net.Service();
            return stop.load();
        }, timeoutMs);
    }

    std::atomic<bool> stop{false};
    std::atomic<bool> ready{false};
    std::atomic<bool> failed{false};
    std::atomic<bool> finished{false};
    std::atomic<std::uint32_t> playerId{0};

private:
    std::thread m_thread;
};

}  // namespace nettest
