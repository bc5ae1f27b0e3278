// Host migration, on a joined peer: when the host goes away, the oldest
// remaining connection (the lowest join number) becomes the host on the
// session port, and every other peer reconnects to it and claims its number
// back. Every peer knows the same connections in the same order (the host
// announced each one), so they all pick the same new host without talking.
// If the chosen one does not answer in time, it is taken for gone and the
// next one is tried.
#include "net/net_session.h"

#include <algorithm>
#include <random>

namespace tznet {

void NetSession::HostLost()
{
    // The old host's players leave the session with it.
    m_roster.RemoveOwnedByNumber(m_hostNumber);
    std::erase_if(m_members, [this](const Member& m) { return m.number == m_hostNumber; });
    // A player request in flight will not be answered.
    if (m_pendingToken != 0) m_pendingAnswered = true;
    m_migrating = true;
    m_hostPeer = -1;
    m_candidate = 0;
    m_migrateUntil = 0;
    m_connected = false;
    m_confirmed.clear();
    ContinueMigration();
}

void NetSession::ContinueMigration()
{
    const std::int64_t now = SteadyMilliseconds();
    if (m_hostPeer >= 0) {
        if (now < m_migrateUntil) return;  // still connecting to the candidate
        platform::NetDisconnect(m_endpoint, m_hostPeer);
        m_hostPeer = -1;
        m_migrateUntil = 0;
    }
    if (m_candidate != 0 && m_migrateUntil == 0) {
        // The candidate did not take us: it is gone too.
        m_roster.RemoveOwnedByNumber(m_candidate);
        std::erase_if(m_members, [this](const Member& m) { return m.number == m_candidate; });
        m_candidate = 0;
    }

    // The oldest remaining connection.
    const Member* next = nullptr;
    for (const Member& member : m_members)
        if (member.number < m_myNumber && (next == nullptr || member.number < next->number)) next = &member;
    if (next == nullptr) {
        BecomeHost();
        return;
    }
    m_candidate = next->number;
    m_candidateAddress = next->address;
    platform::NetAddress where;
    where.host = next->address;
    where.port = m_port;
    m_connected = false;
    m_confirmed.clear();
    m_hostPeer = m_endpoint != nullptr ? platform::NetConnect(m_endpoint, where, kChannels) : -1;
    // The new host may still be opening its socket: ENet repeats the
    // request until the time is up.
    m_migrateUntil = now + m_timeouts.migrateMs;
    if (m_hostPeer < 0) m_migrateUntil = 0;  // tried at the next pump
}

void NetSession::BecomeHost()
{
    const std::int64_t now = SteadyMilliseconds();
    if (m_candidate != m_myNumber) {
        m_candidate = m_myNumber;
        m_migrateUntil = now + m_timeouts.migrateMs;
        // A host that left in good order is still closing its socket for a
        // moment; on one machine its port frees only then.
        m_becomeHostAt = now + kBecomeHostDelayMs;
    }
    if (now < m_becomeHostAt) return;
    // Where the others knew us, if that is an address of this machine;
    // otherwise every address. The old host's socket may still be closing
    // when both live on one machine, so a busy port is tried again.
    platform::NetAddress here;
    here.host = m_myAddress;
    here.port = m_port;
    const bool bindHere = m_myAddress != 0 && platform::NetIsLocalAddress(here);
    if (OpenHostEndpoint(bindHere ? &here : nullptr) != kOk) {
        if (now >= m_migrateUntil) Close();  // nobody can host: the session is over
        return;
    }

    m_role = Role::Host;
    m_migrating = false;
    m_candidate = 0;
    m_hostPeer = -1;
    m_hostNumber = m_myNumber;
    // The other peers have a while to come back; their players wait for them.
    std::uint32_t largestNumber = m_myNumber;
    for (Member& member : m_members) {
        member.peer = -1;
        member.awaitedUntil = now + m_timeouts.migrateMs;
        largestNumber = std::max(largestNumber, member.number);
    }
    m_nextNumber = largestNumber + 1;
    m_nextId = m_roster.LargestId() + 1;
    if (m_nextId == 1) {
        std::random_device device;
        m_nextId = 1 + device() % 0x00FFFFFF;
    }
}

}  // namespace tznet
