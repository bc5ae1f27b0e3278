// The session layer under TzNetwork: hosts or joins one session over UDP,
// keeps its players and routes text messages between them.
//
// Topology: a star. The host numbers the players, keeps the list and tells
// every joined peer about each change in the same order, so every peer
// enumerates the players alike. Text goes unreliably to one player id; a
// message between two joined peers travels through the host, which checks
// that the sender really owns the "from" player.
//
// The session itself starts no thread: traffic is handled when Pump is
// called (by the network object's service thread, the NET commands and
// SHOWSCREEN) and inside the calls that wait for an answer (enumeration,
// joining, creating a player on a joined peer), each of which waits a
// bounded time. The caller keeps every call to one session under one lock.
//
// Host migration: every peer knows the session's connections by their
// join numbers, addresses and ports. When the host goes away or falls
// silent, the oldest remaining connection (the lowest number) becomes the
// host on the socket it already has; the others reconnect to it there and
// claim their number; players keep their ids and names, and the old host's
// players leave the session. The new host also takes the session port for
// discovery as soon as it is free (a silent old host may still hold it).
//
// A program that was silent itself for longer than the peers' time-out
// (stopped, or hanging in a debugger) has been dropped by the others and
// the session has gone on without it: it says so on stderr and in the
// error log, and its session ends, instead of carrying on alone.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "net/connection_info.h"
#include "net/net_packet.h"
#include "net/player_roster.h"
#include "platform/platform.h"

namespace tznet {

// Status codes: 0 is success; failures are negative 32-bit values in the
// style of the platform's result codes.
using Status = std::int32_t;
inline constexpr Status kOk = 0;
inline constexpr Status kCannotAddPlayer = static_cast<Status>(0x88770028);
inline constexpr Status kInvalidObject = static_cast<Status>(0x88770082);
// Our own statuses for what this layer can meet.
inline constexpr Status kNoServiceProvider = static_cast<Status>(0x88771001);  // not TCP/IP
inline constexpr Status kBadAddress = static_cast<Status>(0x88771002);         // does not resolve
inline constexpr Status kNoSessions = static_cast<Status>(0x88771003);         // nobody answered
inline constexpr Status kCannotOpen = static_cast<Status>(0x88771004);         // socket or port busy
inline constexpr Status kConnectionFailed = static_cast<Status>(0x88771005);   // join refused or timed out
inline constexpr Status kSessionLost = static_cast<Status>(0x88771006);        // the host went away
inline constexpr Status kNoSuchPlayer = static_cast<Status>(0x88771007);
inline constexpr Status kNoMessages = static_cast<Status>(0x88771008);
inline constexpr Status kTooLong = static_cast<Status>(0x88771009);
inline constexpr Status kOtherVersion = static_cast<Status>(0x8877100A);   // speaks another protocol version
inline constexpr Status kNotThisMachine = static_cast<Status>(0x8877100B); // hosting on a foreign address

// The UDP port sessions are hosted on, and that joining asks: 28760 unless
// the environment variable KV_NET_PORT names another (1 ... 65535).
std::uint16_t SessionPort();

// A steady millisecond clock for the session's time-outs.
std::int64_t SteadyMilliseconds();

// Timing of the calls that wait for the network.
struct SessionTimeouts {
    std::uint32_t enumerateMs = 1500;  // collecting discovery answers
    std::uint32_t queryRepeatMs = 250; // the query is repeated this often (UDP may lose it)
    std::uint32_t connectMs = 3000;    // connection plus welcome when joining; a host
                                       // drops connections silent for this long
    std::uint32_t answerMs = 3000;     // the host's answer to a new player
    std::uint32_t lingerMs = 200;      // saying goodbye when closing
    std::uint32_t peerTimeoutMs = 5000;  // a connection silent this long is dropped
    std::uint32_t migrateMs = 8000;    // reconnecting to a new host; on the new host,
                                       // how long the old peers have to come back
};

// Writes the line about a peer of another protocol version to the error
// log and stderr.
void ReportOtherVersion(std::uint16_t theirs);

class NetSession {
public:
    // A joined peer's limits on the host: connections, and discovery
    // answers given per second (a flood of queries gets no more).
    static constexpr std::size_t kMaxPeers = 64;
    static constexpr std::size_t kMaxAnswersPerSecond = 64;
    // One connection may hold this many players, and one source address
    // this many completed connections, so no single peer fills the session.
    static constexpr std::size_t kMaxPlayersPerPeer = 16;
    static constexpr std::size_t kMaxConnectionsPerAddress = 16;
    // Discovery datagrams waiting to be read, and sessions remembered from
    // one enumeration.
    static constexpr std::size_t kMaxRawQueued = 64;
    static constexpr std::size_t kMaxSessionsFound = 64;
    // Events handled by one Pump, so a flood cannot hold the program.
    static constexpr std::size_t kMaxEventsPerPump = 4096;

    explicit NetSession(SessionTimeouts timeouts = {});
    ~NetSession();
    NetSession(const NetSession&) = delete;
    NetSession& operator=(const NetSession&) = delete;

    // Takes the address sessions are looked for at (joining) or listened on
    // (hosting): a host name or IP address; empty means the local network's
    // broadcast address, or every local address when hosting.
    Status InitializeConnection(std::string_view address, std::uint16_t port);

    // Asks for the sessions of an application and reports each answer; the
    // addresses are remembered for Join.
    using SessionCallback = std::function<void(const TzGuid& instance, const std::string& name)>;
    Status EnumSessions(const TzGuid& application, const SessionCallback& each);

    // Opens a new session under this name, this peer being the host.
    Status Create(const TzGuid& application, std::string_view name);
    // Joins a session found by the last enumeration.
    Status Join(const TzGuid& application, const TzGuid& instance);
    // Leaves or ends the session; the peers are told.
    void Close();

    bool IsOpen() const { return m_role != Role::None; }
    bool IsHost() const { return m_role == Role::Host; }
    // A joined peer between losing its host and being welcomed by the new one.
    bool IsMigrating() const { return m_role == Role::Joined && m_migrating; }
    const TzGuid& Instance() const { return m_instance; }
    // The sockets to wait on for the next traffic.
    platform::NetWaitHandles WaitHandles() const { return platform::NetEndpointHandles(m_endpoint); }

    // Handles whatever has arrived, without waiting. When the host goes
    // away, a joined session ends here.
    void Pump();

    Status CreatePlayer(std::string_view name, std::uint32_t* id);
    Status DestroyPlayer(std::uint32_t id);
    Status GetPlayerName(std::uint32_t id, std::string* name) const;
    // Calls each for the players in enumeration order until it returns false.
    void EnumPlayers(const std::function<bool(std::uint32_t id)>& each) const;

    // Sends text from a player of this peer to any player of the session.
    Status Send(std::uint32_t from, std::uint32_t to, std::string_view text, bool guaranteed);
    // Takes the oldest message waiting for a player of this peer.
    Status Receive(std::uint32_t to, std::string* text);

private:
    enum class Role { None, Host, Joined };
    struct FoundSession {
        TzGuid instance;
        platform::NetAddress where;
        std::string name;
    };
    // Another connection of the session, as this peer knows it.
    struct Member {
        std::uint32_t number = 0;
        std::uint32_t address = 0;  // IPv4, network byte order
        std::uint16_t port = 0;     // where it serves when it takes over
        int peer = -1;              // host: its connection; -1 while awaited
        std::int64_t awaitedUntil = 0;  // host after a migration: when it stops waiting
    };
    // The host's view of one connection slot.
    struct Connection {
        bool connected = false;
        bool welcomed = false;
        std::int64_t connectedAt = 0;  // while not yet introduced
        std::uint32_t number = 0;
        std::uint32_t address = 0;
        std::uint16_t port = 0;
    };

    static constexpr int kControlChannel = 0;  // reliable, ordered
    static constexpr int kTextChannel = 1;     // unreliable
    static constexpr int kChannels = 2;

    Status OpenEndpoint(const platform::NetAddress* bindTo, std::size_t maxPeers);
    void CloseEndpoint();
    void HandleEvent(const platform::NetEvent& event);
    // Host side.
    void AnswerQuery(const platform::NetEvent& event);
    void HostReceived(int peer, const Packet& packet);
    void HostConnected(int peer, const platform::NetAddress& from);
    void HostHello(int peer, const Packet& packet);
    void HostPeerGone(int peer);
    void DropSilentPeers();
    void ForgetAwaitedMembers();
    void RemoveMember(std::uint32_t number);
    void SendToPeers(const std::vector<std::uint8_t>& packet, int exceptPeer);
    std::uint32_t NextPlayerId();
    Status OpenHostEndpoint(const platform::NetAddress* bindTo);
    // Joined side.
    void JoinedReceived(const Packet& packet);
    // Migration (joined side): the host is gone; pick the next one.
    void HostLost();
    void ContinueMigration();
    void BecomeHost();
    // A peer of the session connected to us while we are still joined: it
    // has lost the host and takes us for the next one.
    void OtherPeerEvent(const platform::NetEvent& event);
    // A host that took over listens for discovery on the session port once
    // the old host has let it go.
    void ClaimSessionPort();
    // Ends the session when this program itself was silent too long.
    void CheckForPause();
    Member* FindMember(std::uint32_t number);
    // Waits, handling events, until done() holds or the time is up.
    bool WaitFor(std::uint32_t timeoutMs, const std::function<bool()>& done);
    bool SendControl(int peer, const std::vector<std::uint8_t>& packet);

    SessionTimeouts m_timeouts;
    platform::NetEndpoint* m_endpoint = nullptr;
    bool m_startedLibrary = false;
    Role m_role = Role::None;

    // Where to look or listen.
    bool m_haveAddress = false;
    platform::NetAddress m_address;
    std::uint16_t m_port = 0;

    TzGuid m_application;
    TzGuid m_instance;
    std::string m_name;
    PlayerRoster m_roster;
    std::vector<FoundSession> m_found;

    // Both sides: this connection's number and the other connections.
    std::uint32_t m_myNumber = 0;
    std::uint32_t m_myAddress = 0;  // as the host saw it; 0: unknown
    std::vector<Member> m_members;

    // Host: the connection slots, the next player id and connection number,
    // and the discovery answers given in the current second.
    std::vector<Connection> m_connections;
    std::uint32_t m_nextNumber = 1;
    std::uint32_t m_nextId = 1;
    std::int64_t m_answerSecond = 0;
    std::size_t m_answersThisSecond = 0;

    // Joined: the connection to the host and the player request in flight.
    int m_hostPeer = -1;
    std::uint32_t m_hostNumber = 0;
    std::uint16_t m_refusedVersion = 0;  // the host refused us: it speaks this version
    // Migration: the candidate being tried and until when; players the new
    // host has confirmed while welcoming us back.
    bool m_migrating = false;
    std::uint32_t m_candidate = 0;
    std::uint32_t m_candidateAddress = 0;
    std::uint16_t m_candidatePort = 0;
    std::int64_t m_migrateUntil = 0;
    // A host that took over: whether it still lacks the session port, and
    // when it tries again.
    bool m_sessionPortPending = false;
    std::int64_t m_nextPortClaimAt = 0;
    static constexpr std::int64_t kPortClaimRepeatMs = 500;
    // When the session was last serviced.
    std::int64_t m_lastServiceAt = 0;
    std::vector<std::uint32_t> m_confirmed;
    bool m_connected = false;
    bool m_gotWelcome = false;
    std::uint32_t m_nextToken = 0;
    std::uint32_t m_pendingToken = 0;
    std::string m_pendingName;
    bool m_pendingAnswered = false;
    std::uint32_t m_pendingId = 0;
};

}  // namespace tznet
