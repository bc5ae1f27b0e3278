#include "net/net_service_thread.h"

namespace tznet {

NetServiceThread::NetServiceThread(Service service)
    : m_service(std::move(service)), m_waiter(platform::NetWaiterCreate()), m_thread([this] { Run(); })
{
}

NetServiceThread::~NetServiceThread()
{
    m_stop = true;
    platform::NetWaiterWake(m_waiter);
    m_thread.join();
    platform::NetWaiterDestroy(m_waiter);
}

void NetServiceThread::Run()
{
    while (!m_stop) {
        platform::NetWaitHandles waitOn;
        if (!m_service(&waitOn)) break;
        if (m_stop) break;
        // Without a waiter (the system refused one) the wait still ends
        // after kLongestWaitMs, so a stop is seen in time.
        platform::NetWaiterWait(m_waiter, waitOn, kLongestWaitMs);
    }
    m_finished = true;
}

}  // namespace tznet
