#include "net/net_service_thread.h"

#include <chrono>

namespace tznet {

NetServiceThread::NetServiceThread(std::function<bool()> service, std::uint32_t activeMs,
                                   std::uint32_t idleMs)
    : m_service(std::move(service)), m_activeMs(activeMs), m_idleMs(idleMs), m_thread([this] { Run(); })
{
}

NetServiceThread::~NetServiceThread()
{
    {
        std::lock_guard<std::mutex> guard(m_stopLock);
        m_stop = true;
    }
    m_stopSignal.notify_all();
    m_thread.join();
}

void NetServiceThread::Run()
{
    std::unique_lock<std::mutex> guard(m_stopLock);
    while (!m_stop) {
        guard.unlock();
        const bool active = m_service();
        guard.lock();
        m_stopSignal.wait_for(guard, std::chrono::milliseconds(active ? m_activeMs : m_idleMs),
                              [this] { return m_stop; });
    }
}

}  // namespace tznet
