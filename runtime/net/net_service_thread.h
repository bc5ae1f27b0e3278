// The network object's service thread: the one thread of our own in the
// runtime. While a program is busy elsewhere (waiting for a key, playing a
// movie, searching a path, loading media, waiting for another program),
// nothing would read the session's socket: the connections would time out
// and messages would be lost. This thread keeps servicing the session in
// the background and queues what arrives until the program asks for it.
//
// It lives exactly as long as a session: the network object starts it when
// a session opens and stops (and joins) it when the session closes; a
// session that ends by itself (its host gone for good, this program dropped)
// ends the thread's loop at once, and the object joins it later. Between
// two rounds it sleeps on the session's sockets, so it wakes for traffic,
// for the protocol's timers (at least every kLongestWaitMs) and for being
// stopped, and costs nothing otherwise.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

#include "platform/platform.h"

namespace tznet {

class NetServiceThread {
public:
    // Handles what has arrived (taking the owner's lock), fills in the
    // sockets to wait on, and returns false once there is no session left.
    using Service = std::function<bool(platform::NetWaitHandles* waitOn)>;
    // The longest sleep between two rounds: the connections' resend and
    // keep-alive timers need a round now and then even without traffic.
    static constexpr std::uint32_t kLongestWaitMs = 50;

    explicit NetServiceThread(Service service);
    // Stops the thread and waits for it. Must not be called with the lock
    // the service takes held, nor from the thread itself.
    ~NetServiceThread();
    NetServiceThread(const NetServiceThread&) = delete;
    NetServiceThread& operator=(const NetServiceThread&) = delete;

    // True once the loop has ended by itself (the session is gone).
    bool Finished() const { return m_finished.load(); }

private:
    void Run();

    Service m_service;
    platform::NetWaiter* m_waiter;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_finished{false};
    std::thread m_thread;  // last: started once everything above exists
};

}  // namespace tznet
