// The players of a session in their enumeration order, who owns each one,
// and the message queue of every player that lives on this peer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace tznet {

// Who a player belongs to: this peer, some other peer (as a joined peer sees
// the others), or, on the host, the connection (peer index >= 0) it came from.
inline constexpr int kOwnerLocal = -1;
inline constexpr int kOwnerElsewhere = -2;

struct Player {
    std::uint32_t id = 0;
    std::string name;
    int owner = kOwnerElsewhere;
    std::uint32_t ownerNumber = 0;  // the session number of the owner's connection
    std::deque<std::string> inbox;  // local players only
};

class PlayerRoster {
public:
    // A session holds at most this many players; more are refused.
    static constexpr std::size_t kMaxPlayers = 256;
    // Messages waiting for one player; further messages are dropped until
    // the program reads some.
    static constexpr std::size_t kMaxQueuedMessages = 256;

    // Adds a player at the end of the enumeration order. False for id 0, an
    // id already present, or a full session.
    bool Add(std::uint32_t id, const std::string& name, int owner, std::uint32_t ownerNumber = 0);
    // Removes a player and its waiting messages. False when unknown.
    bool Remove(std::uint32_t id);
    // Removes every player of one owner; returns their ids.
    std::vector<std::uint32_t> RemoveOwnedBy(int owner);
    // The same by the owner's session number.
    std::vector<std::uint32_t> RemoveOwnedByNumber(std::uint32_t number);
    // Gives every player of one session number a new owner.
    void SetOwnerByNumber(std::uint32_t number, int owner);
    std::size_t CountOwnedBy(int owner) const;
    std::uint32_t LargestId() const;
    void Clear() { m_players.clear(); }

    Player* Find(std::uint32_t id);
    const Player* Find(std::uint32_t id) const;
    bool IsLocal(std::uint32_t id) const;
    std::size_t Count() const { return m_players.size(); }
    const Player& At(std::size_t index) const { return m_players[index]; }
    bool IsFull() const { return m_players.size() >= kMaxPlayers; }

    // Queues a message for a local player. False (and dropped) when the
    // player is not local or its queue is full.
    bool Deliver(std::uint32_t to, std::string text);
    // Takes the oldest message of a local player. False when none waits.
    bool TakeMessage(std::uint32_t to, std::string* text);

private:
    std::vector<Player> m_players;
};

}  // namespace tznet
