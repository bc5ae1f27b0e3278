#include "net/network_commands.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/runtime_state.h"
#include "net/tz_network.h"

namespace {

// Ids come from BASIC as decimal text; anything that is not a positive
// 32-bit value names no player.
std::uint32_t IdFromText(const KvStr& text)
{
    // long long: a long has only 32 bits on Windows.
    const long long value = std::atoll(text.GetStrData());
    if (value <= 0 || value > 0xFFFFFFFFLL) return 0;
    return static_cast<std::uint32_t>(value);
}

KvStr IdToText(std::uint32_t id)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(id));
    return KvStr(text);
}

double HostOrJoin(double connectionType, const KvStr& sessionName, const KvStr& address, bool host)
{
    if (pTzNet == nullptr) return 0;
    TZCONNECTION_INFO info{};  // all zero
    // Texts that do not fit the record are refused rather than cut, so
    // that a cut name never finds the wrong session.
    if (static_cast<std::size_t>(sessionName.Length()) >= sizeof info.sessionName) return 0;
    info.connectionType = static_cast<std::uint8_t>(NumberToInt(connectionType));
    std::strcpy(info.sessionName, sessionName.GetStrData());
    if (info.connectionType == kTzConnectTcpIp) {
        if (static_cast<std::size_t>(address.Length()) >= sizeof info.address) return 0;
        std::strcpy(info.address, address.GetStrData());
    }
    info.hostFlag = host ? 1 : 0;
    return pTzNet->Init(info) == tznet::kOk ? 1 : 0;
}

}  // namespace

double NETHOSTGAME(double connectionType, KvStr sessionName, KvStr address, double)
{
    return HostOrJoin(connectionType, sessionName, address, true);
}

double NETJOINGAME(double connectionType, KvStr sessionName, KvStr address, double)
{
    return HostOrJoin(connectionType, sessionName, address, false);
}

KvStr NETCREATEPLAYER_Str(KvStr name)
{
    std::uint32_t id = 0;
    if (pTzNet != nullptr) pTzNet->CreatePlayer(name.GetStrData(), &id);
    return IdToText(id);
}

double NETDESTROYPLAYER(KvStr id)
{
    if (pTzNet != nullptr) pTzNet->DestroyPlayer(IdFromText(id));
    return 0;
}

double NETSENDMSG(KvStr fromId, KvStr toId, KvStr text)
{
    if (pTzNet == nullptr) return 0;
    return pTzNet->SendMsg(IdFromText(fromId), IdFromText(toId), text.GetStrData(), false) ? 1 : 0;
}

KvStr NETGETMSG_Str(KvStr toId)
{
    // The message goes straight into the string's 1024-byte buffer, so a
    // text of up to 1023 bytes arrives whole.
    KvStr message;
    if (pTzNet != nullptr) pTzNet->ReceiveMsg(IdFromText(toId), message.GetStrData(), KvStr::kBufferSize);
    return message;
}

KvStr NETPLAYERNAME_Str(KvStr id)
{
    KvStr name;
    if (pTzNet != nullptr) pTzNet->GetPlayerName(IdFromText(id), name.GetStrData(), KvStr::kBufferSize);
    if (name.Length() == 0) name = "NO_DATA";
    return name;
}

double NETNUMPLAYERS()
{
    return pTzNet != nullptr ? pTzNet->NumPlayers() : 0;
}

KvStr NETGETPLAYERID_Str(double index)
{
    return IdToText(pTzNet != nullptr ? pTzNet->GetPlayerID(NumberToInt(index)) : 0);
}
