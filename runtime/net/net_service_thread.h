// The network object's service thread: the one thread of our own in the
// runtime. While a program is busy elsewhere (waiting for a key, playing a
// movie, searching a path, loading media), nothing would read the session's
// socket: the connections would time out and messages would be lost. This
// thread keeps servicing the session in the background and queues what
// arrives until the program asks for it.
//
// It does no work of its own: every period it calls the function it was
// given, which takes the network object's lock before touching the session.
// It is started by the network object and stopped (and joined) by it, so it
// never outlives the object, nor the program's end.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace tznet {

class NetServiceThread {
public:
    // service is called about every activeMs while it returns true (a
    // session is open), every idleMs otherwise.
    NetServiceThread(std::function<bool()> service, std::uint32_t activeMs, std::uint32_t idleMs);
    // Stops the thread and waits for it.
    ~NetServiceThread();
    NetServiceThread(const NetServiceThread&) = delete;
    NetServiceThread& operator=(const NetServiceThread&) = delete;

private:
    void Run();

    std::function<bool()> m_service;
    std::uint32_t m_activeMs;
    std::uint32_t m_idleMs;
    std::mutex m_stopLock;
    std::condition_variable m_stopSignal;
    bool m_stop = false;
    std::thread m_thread;  // last: started once everything above exists
};

}  // namespace tznet
