// The player list: enumeration order, ownership, and the capped queues.
#include <gtest/gtest.h>

#include "net/player_roster.h"

using namespace tznet;

TEST(PlayerRoster, KeepsOrderAndRefusesDuplicatesAndZero)
{
    PlayerRoster roster;
    EXPECT_TRUE(roster.Add(30, "c", kOwnerLocal));
    EXPECT_TRUE(roster.Add(10, "a", 2));
    EXPECT_TRUE(roster.Add(20, "b", kOwnerElsewhere));
    EXPECT_FALSE(roster.Add(10, "again", kOwnerLocal));
    EXPECT_FALSE(roster.Add(0, "zero", kOwnerLocal));
    ASSERT_EQ(roster.Count(), 3u);
    EXPECT_EQ(roster.At(0).id, 30u);  // the order of arrival, not of ids
    EXPECT_EQ(roster.At(1).id, 10u);
    EXPECT_EQ(roster.At(2).id, 20u);
    EXPECT_TRUE(roster.Remove(10));
    EXPECT_FALSE(roster.Remove(10));
    EXPECT_EQ(roster.At(1).id, 20u);
}

TEST(PlayerRoster, RemovesEveryPlayerOfAPeer)
{
    PlayerRoster roster;
    roster.Add(1, "a", 4);
    roster.Add(2, "b", kOwnerLocal);
    roster.Add(3, "c", 4);
    roster.Add(4, "d", 5);
    std::vector<std::uint32_t> gone = roster.RemoveOwnedBy(4);
    EXPECT_EQ(gone, (std::vector<std::uint32_t>{1, 3}));
    ASSERT_EQ(roster.Count(), 2u);
    EXPECT_EQ(roster.At(0).id, 2u);
    EXPECT_EQ(roster.At(1).id, 4u);
}

TEST(PlayerRoster, SessionSizeIsCapped)
{
    PlayerRoster roster;
    for (std::uint32_t id = 1; id <= PlayerRoster::kMaxPlayers; ++id)
        ASSERT_TRUE(roster.Add(id, "p", kOwnerElsewhere));
    EXPECT_TRUE(roster.IsFull());
    EXPECT_FALSE(roster.Add(100000, "one too many", kOwnerLocal));
    EXPECT_EQ(roster.Count(), PlayerRoster::kMaxPlayers);
}

TEST(PlayerRoster, OnlyLocalPlayersHaveQueuesAndTheyAreCapped)
{
    PlayerRoster roster;
    roster.Add(1, "mine", kOwnerLocal);
    roster.Add(2, "theirs", kOwnerElsewhere);
    EXPECT_FALSE(roster.Deliver(2, "x"));
    EXPECT_FALSE(roster.Deliver(3, "x"));
    for (std::size_t i = 0; i < PlayerRoster::kMaxQueuedMessages; ++i)
        ASSERT_TRUE(roster.Deliver(1, std::to_string(i)));
    EXPECT_FALSE(roster.Deliver(1, "dropped"));

    std::string text;
    for (std::size_t i = 0; i < PlayerRoster::kMaxQueuedMessages; ++i) {
        ASSERT_TRUE(roster.TakeMessage(1, &text));
        EXPECT_EQ(text, std::to_string(i));  // oldest first
    }
    EXPECT_FALSE(roster.TakeMessage(1, &text));
    EXPECT_FALSE(roster.TakeMessage(2, &text));
}
