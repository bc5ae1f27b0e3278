// TzNetwork: the runtime's one network object (pTzNet). It hosts a named
// session or joins one, creates players in it and passes text messages
// between player ids, on the session layer over UDP.
//
// While a session is open the object runs a service thread that keeps it
// going while the program does something else; every method takes the
// object's lock, so the session is only ever touched by one thread at a
// time. The thread is started and stopped only by the thread that owns the
// object (the program's main thread), outside the lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

#include "net/connection_info.h"
#include "net/net_service_thread.h"
#include "net/net_session.h"

class TzNetwork {
public:
    // States.
    static constexpr int kIdle = 0;
    static constexpr int kConnectionCreated = 1;
    static constexpr int kHosting = 2;
    static constexpr int kJoined = 3;

    TzNetwork();
    virtual ~TzNetwork();
    TzNetwork(const TzNetwork&) = delete;
    TzNetwork& operator=(const TzNetwork&) = delete;

    // Leaves or ends the current session and releases the session object.
    void CleanUp();
    // Tears down the current session and hosts or joins the one the record
    // names. 0 on success, else the failing status.
    tznet::Status Init(const TZCONNECTION_INFO& info);
    tznet::Status DoHostOrJoin();
    // Checks the record's connection type and takes its address: only TCP/IP
    // has a service provider here.
    tznet::Status CreateServiceProviderAddress(const TZCONNECTION_INFO& info,
                                               tznet::NetSession* play);
    // Hosting or joined, with a live session.
    bool IsSetup() const;
    int State() const
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_state;
    }

    // Handles the traffic that has arrived; a session that cannot go on
    // (its host went away and no new one could be found) ends here (the
    // object is then no longer set up). The service thread calls this too.
    void Service();

    tznet::Status CreatePlayer(const char* name, std::uint32_t* id);
    void DestroyPlayer(std::uint32_t id);
    // The player's name, or "" when unknown (at most size - 1 bytes).
    void GetPlayerName(std::uint32_t id, char* name, std::size_t size);
    int NumPlayers();
    std::uint32_t GetPlayerID(int index);
    // True when the message went out (or into a local player's queue).
    bool SendMsg(std::uint32_t from, std::uint32_t to, const char* text, bool guaranteed);
    // Takes one message for the player into buffer, zero-terminated; the
    // text is "" when none waits or it would fill the whole buffer. True
    // when set up.
    bool ReceiveMsg(std::uint32_t to, char* buffer, std::size_t size);

private:
    // The same, with the lock held.
    tznet::Status DoHostOrJoinLocked();
    void CleanUpLocked();
    void ServiceLocked();
    bool IsSetupLocked() const;
    // One round of the service thread: true while a session is open.
    bool ServiceInBackground(platform::NetWaitHandles* waitOn);
    // Starts the thread for a session that has just opened; stops it (and
    // joins it) before the session closes or once it has ended by itself.
    void StartServiceThread();
    void StopServiceThread();
    void JoinFinishedServiceThread();

    mutable std::mutex m_lock;
    int m_state = kIdle;
    TZCONNECTION_INFO m_info{};
    tznet::NetSession* m_play = nullptr;  // the session, null when none
    // Runs while a session is open; touched by the owning thread only.
    std::unique_ptr<tznet::NetServiceThread> m_serviceThread;
};

extern TzNetwork* pTzNet;  // the network object; the frame creates it
