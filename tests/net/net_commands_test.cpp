// The NET commands on one host session (no second peer needed): players,
// names, enumeration, local messages, and the refusals.
#include "net/net_test_support.h"

using namespace nettest;

using NetCommands = NetCommandTest;

TEST_F(NetCommands, NothingWorksBeforeASession)
{
    EXPECT_EQ(std::string(NETCREATEPLAYER_Str("Mia").GetStrData()), "0");
    EXPECT_EQ(NETNUMPLAYERS(), 0);
    EXPECT_EQ(std::string(NETGETPLAYERID_Str(0).GetStrData()), "0");
    EXPECT_EQ(std::string(NETPLAYERNAME_Str("1").GetStrData()), "NO_DATA");
    EXPECT_EQ(NETSENDMSG("1", "1", "hi"), 0);
    EXPECT_EQ(std::string(NETGETMSG_Str("1").GetStrData()), "");
    EXPECT_EQ(NETDESTROYPLAYER("1"), 0);
}

TEST_F(NetCommands, PlayersAreNumberedAndEnumeratedInCreationOrder)
{
    ASSERT_TRUE(HostOnFreshPort("Spielwiese"));
    EXPECT_TRUE(pTzNet->IsSetup());
    EXPECT_EQ(pTzNet->State(), TzNetwork::kHosting);
    const KvStr a = NETCREATEPLAYER_Str("Anna");
    const KvStr b = NETCREATEPLAYER_Str("Bert");
    const KvStr c = NETCREATEPLAYER_Str("Cleo");
    for (const KvStr* id : {&a, &b, &c}) EXPECT_GT(std::atol(id->GetStrData()), 0);
    EXPECT_NE(a.Compare(b), 0);
    EXPECT_NE(b.Compare(c), 0);

    EXPECT_EQ(NETNUMPLAYERS(), 3);
    EXPECT_STREQ(NETGETPLAYERID_Str(0).GetStrData(), a.GetStrData());
    EXPECT_STREQ(NETGETPLAYERID_Str(1).GetStrData(), b.GetStrData());
    EXPECT_STREQ(NETGETPLAYERID_Str(2).GetStrData(), c.GetStrData());
    EXPECT_STREQ(NETGETPLAYERID_Str(5).GetStrData(), "0");
    EXPECT_STREQ(NETGETPLAYERID_Str(3).GetStrData(), "0");
    EXPECT_STREQ(NETGETPLAYERID_Str(-1).GetStrData(), "0");
    // The lookup globals are reset on every call: a second lookup agrees.
    EXPECT_STREQ(NETGETPLAYERID_Str(1).GetStrData(), b.GetStrData());

    EXPECT_STREQ(NETPLAYERNAME_Str(b).GetStrData(), "Bert");
    NETDESTROYPLAYER(b);
    EXPECT_EQ(NETNUMPLAYERS(), 2);
    EXPECT_STREQ(NETGETPLAYERID_Str(1).GetStrData(), c.GetStrData());
    EXPECT_STREQ(NETPLAYERNAME_Str(b).GetStrData(), "NO_DATA");
}

TEST_F(NetCommands, UnknownOrNamelessPlayersHaveNoData)
{
    ASSERT_TRUE(HostOnFreshPort("Namen"));
    const KvStr anna = NETCREATEPLAYER_Str("Anna");
    const KvStr nameless = NETCREATEPLAYER_Str("");
    EXPECT_STREQ(NETPLAYERNAME_Str(anna).GetStrData(), "Anna");
    EXPECT_STREQ(NETPLAYERNAME_Str(nameless).GetStrData(), "NO_DATA");
    const long unknown = std::atol(anna.GetStrData()) + 1000;
    EXPECT_STREQ(NETPLAYERNAME_Str(KvStr(std::to_string(unknown).c_str())).GetStrData(), "NO_DATA");
    EXPECT_STREQ(NETPLAYERNAME_Str("0").GetStrData(), "NO_DATA");
    EXPECT_STREQ(NETPLAYERNAME_Str("-4294967295").GetStrData(), "NO_DATA");
    EXPECT_STREQ(NETPLAYERNAME_Str("kein").GetStrData(), "NO_DATA");
}

TEST_F(NetCommands, GetMsgWithNothingQueuedReturnsEmptyAtOnce)
{
    ASSERT_TRUE(HostOnFreshPort("Leer"));
    const KvStr me = NETCREATEPLAYER_Str("Ich");
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 10; ++i) EXPECT_STREQ(NETGETMSG_Str(me).GetStrData(), "");
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(took).count(), 100);
}

TEST_F(NetCommands, MessagesBetweenLocalPlayersArriveOneAtATimeInOrder)
{
    ASSERT_TRUE(HostOnFreshPort("Lokal"));
    const KvStr a = NETCREATEPLAYER_Str("A");
    const KvStr b = NETCREATEPLAYER_Str("B");
    EXPECT_EQ(NETSENDMSG(a, b, "erste"), 1);
    EXPECT_EQ(NETSENDMSG(a, b, "zweite"), 1);
    EXPECT_STREQ(NETGETMSG_Str(a).GetStrData(), "");  // each player has its own queue
    EXPECT_STREQ(NETGETMSG_Str(b).GetStrData(), "erste");
    EXPECT_STREQ(NETGETMSG_Str(b).GetStrData(), "zweite");
    EXPECT_STREQ(NETGETMSG_Str(b).GetStrData(), "");
}

TEST_F(NetCommands, SendingFromOrToAnUnknownPlayerFails)
{
    ASSERT_TRUE(HostOnFreshPort("Falsch"));
    const KvStr a = NETCREATEPLAYER_Str("A");
    EXPECT_EQ(NETSENDMSG("999999999", a, "von niemandem"), 0);
    EXPECT_EQ(NETSENDMSG(a, "999999999", "an niemanden"), 0);
    EXPECT_EQ(NETSENDMSG(a, a, "an mich"), 1);
    EXPECT_STREQ(NETGETMSG_Str(a).GetStrData(), "an mich");
}

TEST_F(NetCommands, AQueueHoldsAtMostItsCap)
{
    ASSERT_TRUE(HostOnFreshPort("Voll"));
    const KvStr a = NETCREATEPLAYER_Str("A");
    const int cap = static_cast<int>(tznet::PlayerRoster::kMaxQueuedMessages);
    for (int i = 0; i < cap + 50; ++i) NETSENDMSG(a, a, KvStr(i));
    for (int i = 0; i < cap; ++i) ASSERT_STREQ(NETGETMSG_Str(a).GetStrData(), KvStr(i).GetStrData());
    EXPECT_STREQ(NETGETMSG_Str(a).GetStrData(), "");
}

TEST_F(NetCommands, LongestMessageArrivesWhole)
{
    ASSERT_TRUE(HostOnFreshPort("Lang"));
    const KvStr a = NETCREATEPLAYER_Str("A");
    KvStr text;
    for (int i = 0; i < KvStr::kMaxStored; ++i) text.GetStrData()[i] = static_cast<char>('a' + i % 26);
    text.GetStrData()[KvStr::kMaxStored] = 0;
    EXPECT_EQ(NETSENDMSG(a, a, text), 1);
    EXPECT_STREQ(NETGETMSG_Str(a).GetStrData(), text.GetStrData());
}

TEST_F(NetCommands, OtherConnectionTypesAndOverlongTextsAreRefused)
{
    UseFreshPort();
    EXPECT_EQ(NETHOSTGAME(1, "IPX", "", 0), 0);
    EXPECT_EQ(NETHOSTGAME(2, "Seriell", "", 0), 0);
    EXPECT_EQ(NETHOSTGAME(7, "Sonst", kLoopback, 0), 0);
    EXPECT_FALSE(pTzNet->IsSetup());
    EXPECT_EQ(pTzNet->State(), TzNetwork::kConnectionCreated);

    std::string longName(259, 'x');
    EXPECT_EQ(NETHOSTGAME(0, longName.c_str(), kLoopback, 0), 0);
    std::string longAddress(204, '1');
    EXPECT_EQ(NETHOSTGAME(0, "Adresse", longAddress.c_str(), 0), 0);

    // The longest name that fits is fine.
    std::string longest(258, 'y');
    ASSERT_TRUE(HostOnFreshPort(longest.c_str()));
    // A refused request leaves the running session alone.
    EXPECT_EQ(NETHOSTGAME(0, longName.c_str(), kLoopback, 0), 0);
    EXPECT_TRUE(pTzNet->IsSetup());
}

TEST_F(NetCommands, JoiningWhereNobodyHostsFails)
{
    UseFreshPort();
    EXPECT_EQ(NETJOINGAME(0, "Niemand", kLoopback, 0), 0);
    EXPECT_FALSE(pTzNet->IsSetup());
    EXPECT_STREQ(NETCREATEPLAYER_Str("A").GetStrData(), "0");
}
