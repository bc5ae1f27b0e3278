// The connection record the host and join commands fill in, and the 16-byte
// identifiers (GUIDs) that name applications and session instances.
#pragma once

#include <cstdint>
#include <cstring>

// A GUID in its usual memory layout (first three fields little-endian).
struct TzGuid {
    std::uint8_t bytes[16] = {};

    bool operator==(const TzGuid& other) const
    {
        return std::memcmp(bytes, other.bytes, sizeof bytes) == 0;
    }
    bool IsZero() const { return *this == TzGuid{}; }
};

// The identifier every session of this runtime carries:
// {126E6180-D307-11D0-9C4F-00A0C905425E}. Sessions of other applications
// are not seen.
inline constexpr TzGuid kTzApplicationId = {{0x80, 0x61, 0x6E, 0x12, 0x07, 0xD3, 0xD0, 0x11,
                                             0x9C, 0x4F, 0x00, 0xA0, 0xC9, 0x05, 0x42, 0x5E}};

// Connection types.
inline constexpr std::uint8_t kTzConnectTcpIp = 0;
inline constexpr std::uint8_t kTzConnectIpx = 1;
inline constexpr std::uint8_t kTzConnectSerial = 2;

// 500 bytes, filled by NETHOSTGAME and NETJOINGAME.
struct TZCONNECTION_INFO {
    std::uint8_t connectionType;    // kTzConnect...; others have no service provider
    char sessionName[259];          // zero-terminated, at most 258 characters
    std::int32_t hostFlag;          // 1 = create the session, 0 = join it
    TzGuid sessionInstance;         // the session found when joining; zero otherwise
    TzGuid serviceProvider;         // not read
    char address[204];              // zero-terminated host name or IP (TCP/IP only)
};
static_assert(sizeof(TZCONNECTION_INFO) == 500, "the connection record is 500 bytes");
