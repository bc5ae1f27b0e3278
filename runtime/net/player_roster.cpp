#include "net/player_roster.h"

#include <algorithm>

namespace tznet {

bool PlayerRoster::Add(std::uint32_t id, const std::string& name, int owner, std::uint32_t ownerNumber)
{
    if (id == 0 || IsFull() || Find(id) != nullptr) return false;
    Player player;
    player.id = id;
    player.name = name;
    player.owner = owner;
    player.ownerNumber = ownerNumber;
    m_players.push_back(std::move(player));
    return true;
}

bool PlayerRoster::Remove(std::uint32_t id)
{
    auto it = std::find_if(m_players.begin(), m_players.end(),
                           [id](const Player& p) { return p.id == id; });
    if (it == m_players.end()) return false;
    m_players.erase(it);
    return true;
}

std::vector<std::uint32_t> PlayerRoster::RemoveOwnedBy(int owner)
{
    std::vector<std::uint32_t> removed;
    for (const Player& p : m_players)
        if (p.owner == owner) removed.push_back(p.id);
    std::erase_if(m_players, [owner](const Player& p) { return p.owner == owner; });
    return removed;
}

std::vector<std::uint32_t> PlayerRoster::RemoveOwnedByNumber(std::uint32_t number)
{
    std::vector<std::uint32_t> removed;
    for (const Player& p : m_players)
        if (p.ownerNumber == number) removed.push_back(p.id);
    std::erase_if(m_players, [number](const Player& p) { return p.ownerNumber == number; });
    return removed;
}

void PlayerRoster::SetOwnerByNumber(std::uint32_t number, int owner)
{
    for (Player& p : m_players)
        if (p.ownerNumber == number) p.owner = owner;
}

std::size_t PlayerRoster::CountOwnedBy(int owner) const
{
    return static_cast<std::size_t>(
        std::count_if(m_players.begin(), m_players.end(), [owner](const Player& p) { return p.owner == owner; }));
}

std::uint32_t PlayerRoster::LargestId() const
{
    std::uint32_t largest = 0;
    for (const Player& p : m_players) largest = std::max(largest, p.id);
    return largest;
}

Player* PlayerRoster::Find(std::uint32_t id)
{
    for (Player& p : m_players)
        if (p.id == id) return &p;
    return nullptr;
}

const Player* PlayerRoster::Find(std::uint32_t id) const
{
    return const_cast<PlayerRoster*>(this)->Find(id);
}

bool PlayerRoster::IsLocal(std::uint32_t id) const
{
    const Player* p = Find(id);
    return p != nullptr && p->owner == kOwnerLocal;
}

bool PlayerRoster::Deliver(std::uint32_t to, std::string text)
{
    Player* p = Find(to);
    if (p == nullptr || p->owner != kOwnerLocal || p->inbox.size() >= kMaxQueuedMessages)
        return false;
    p->inbox.push_back(std::move(text));
    return true;
}

bool PlayerRoster::TakeMessage(std::uint32_t to, std::string* text)
{
    Player* p = Find(to);
    if (p == nullptr || p->owner != kOwnerLocal || p->inbox.empty()) return false;
    *text = std::move(p->inbox.front());
    p->inbox.pop_front();
    return true;
}

}  // namespace tznet
