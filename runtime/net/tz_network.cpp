#include "net/tz_network.h"

#include <cstring>
#include <functional>
#include <string>

TzNetwork* pTzNet = nullptr;

namespace {

// A player lookup: counts the players as they are enumerated and stops at
// the one sought (seek -1: counts them all). Each lookup has its own, so
// two network objects never share one.
struct PlayerSeek {
    std::int32_t count = 0;
    std::int32_t seek = -1;
    std::int32_t found = 0;

    bool operator()(std::uint32_t id)
    {
        if (count == seek) {
            found = static_cast<std::int32_t>(id);
            return false;
        }
        ++count;
        return true;
    }
};

}  // namespace

TzNetwork::TzNetwork() = default;

TzNetwork::~TzNetwork()
{
    CleanUp();
}

void TzNetwork::CleanUp()
{
    // The thread stops first, so nothing services the session while it closes.
    StopServiceThread();
    std::lock_guard<std::mutex> guard(m_lock);
    CleanUpLocked();
}

void TzNetwork::StartServiceThread()
{
    StopServiceThread();
    m_serviceThread = std::make_unique<tznet::NetServiceThread>(
        [this](platform::NetWaitHandles* waitOn) { return ServiceInBackground(waitOn); });
}

void TzNetwork::StopServiceThread()
{
    m_serviceThread.reset();
}

void TzNetwork::JoinFinishedServiceThread()
{
    if (m_serviceThread != nullptr && m_serviceThread->Finished()) m_serviceThread.reset();
}

void TzNetwork::CleanUpLocked()
{
    if (m_play != nullptr) {
        m_play->Close();
        delete m_play;
        m_play = nullptr;
    }
}

tznet::Status TzNetwork::Init(const TZCONNECTION_INFO& info)
{
    StopServiceThread();
    tznet::Status status = tznet::kOk;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_state = kIdle;
        CleanUpLocked();
        m_info = info;
        m_info.sessionInstance = TzGuid{};
        // Records from outside may lack their terminating zeros.
        m_info.sessionName[sizeof m_info.sessionName - 1] = 0;
        m_info.address[sizeof m_info.address - 1] = 0;
        m_state = kConnectionCreated;
        status = DoHostOrJoinLocked();
    }
    if (status == tznet::kOk) StartServiceThread();
    return status;
}

tznet::Status TzNetwork::CreateServiceProviderAddress(const TZCONNECTION_INFO& info,
                                                      tznet::NetSession* play)
{
    if (info.connectionType != kTzConnectTcpIp) return tznet::kNoServiceProvider;
    return play->InitializeConnection(info.address, tznet::SessionPort());
}

tznet::Status TzNetwork::DoHostOrJoin()
{
    StopServiceThread();
    tznet::Status status = tznet::kOk;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        status = DoHostOrJoinLocked();
    }
    if (status == tznet::kOk) StartServiceThread();
    return status;
}

tznet::Status TzNetwork::DoHostOrJoinLocked()
{
    CleanUpLocked();
    auto* play = new tznet::NetSession;
    tznet::Status status = CreateServiceProviderAddress(m_info, play);
    if (status == tznet::kOk) {
        if (m_info.hostFlag == 0) {
            // Join: the last session whose name matches exactly wins.
            const std::string wanted = m_info.sessionName;
            TzGuid& instance = m_info.sessionInstance;
            tznet::Status found =
                play->EnumSessions(kTzApplicationId, [&](const TzGuid& answer, const std::string& name) {
                    if (name == wanted) instance = answer;
                });
            if (found != tznet::kOk && instance.IsZero())
                status = found;
            else
                status = play->Join(kTzApplicationId, instance);
            if (status == tznet::kOk) m_state = kJoined;
        } else {
            status = play->Create(kTzApplicationId, m_info.sessionName);
            if (status == tznet::kOk) m_state = kHosting;
        }
    }
    if (status != tznet::kOk) {
        // The state stays "connection created": not set up.
        delete play;
        return status;
    }
    m_play = play;
    return tznet::kOk;
}

bool TzNetwork::IsSetup() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return IsSetupLocked();
}

bool TzNetwork::IsSetupLocked() const
{
    return (m_state == kHosting || m_state == kJoined) && m_play != nullptr && m_play->IsOpen();
}

void TzNetwork::Service()
{
    JoinFinishedServiceThread();
    std::lock_guard<std::mutex> guard(m_lock);
    ServiceLocked();
}

void TzNetwork::ServiceLocked()
{
    if (m_play == nullptr) return;
    m_play->Pump();
    if (!m_play->IsOpen()) {
        // The session could not go on: it is over for this peer.
        CleanUpLocked();
        m_state = kConnectionCreated;
    } else if (m_play->IsHost()) {
        m_state = kHosting;  // also after taking over from a host that left
    }
}

bool TzNetwork::ServiceInBackground(platform::NetWaitHandles* waitOn)
{
    std::lock_guard<std::mutex> guard(m_lock);
    ServiceLocked();
    if (m_play == nullptr) return false;
    *waitOn = m_play->WaitHandles();
    return true;
}

tznet::Status TzNetwork::CreatePlayer(const char* name, std::uint32_t* id)
{
    std::lock_guard<std::mutex> guard(m_lock);
    *id = 0;
    ServiceLocked();
    if (!IsSetupLocked()) return tznet::kCannotAddPlayer;
    return m_play->CreatePlayer(name, id);
}

void TzNetwork::DestroyPlayer(std::uint32_t id)
{
    std::lock_guard<std::mutex> guard(m_lock);
    ServiceLocked();
    if (IsSetupLocked()) m_play->DestroyPlayer(id);
}

void TzNetwork::GetPlayerName(std::uint32_t id, char* name, std::size_t size)
{
    if (size == 0) return;
    name[0] = 0;
    std::lock_guard<std::mutex> guard(m_lock);
    ServiceLocked();
    std::string found;
    if (!IsSetupLocked() || m_play->GetPlayerName(id, &found) != tznet::kOk) return;
    const std::size_t length = found.size() < size ? found.size() : size - 1;
    std::memcpy(name, found.data(), length);
    name[length] = 0;
}

int TzNetwork::NumPlayers()
{
    std::lock_guard<std::mutex> guard(m_lock);
    ServiceLocked();
    if (!IsSetupLocked()) return 0;
    PlayerSeek seek;
    m_play->EnumPlayers(std::ref(seek));
    return seek.count;
}

std::uint32_t TzNetwork::GetPlayerID(int index)
{
    std::lock_guard<std::mutex> guard(m_lock);
    ServiceLocked();
    if (!IsSetupLocked()) return 0;
    PlayerSeek seek;
    seek.seek = index;
    m_play->EnumPlayers(std::ref(seek));
    return static_cast<std::uint32_t>(seek.found);
}

bool TzNetwork::SendMsg(std::uint32_t from, std::uint32_t to, const char* text, bool guaranteed)
{
    std::lock_guard<std::mutex> guard(m_lock);
    ServiceLocked();
    if (!IsSetupLocked()) return false;
    return m_play->Send(from, to, text, guaranteed) == tznet::kOk;
}

bool TzNetwork::ReceiveMsg(std::uint32_t to, char* buffer, std::size_t size)
{
    if (size == 0) return false;
    buffer[0] = 0;
    std::lock_guard<std::mutex> guard(m_lock);
    ServiceLocked();
    if (!IsSetupLocked()) return false;
    std::string text;
    if (m_play->Receive(to, &text) != tznet::kOk || text.size() >= size) return true;
    std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = 0;
    return true;
}
