// How the 2D commands turn their number arguments into the renderer's
// integers: truncation toward zero, then the low 16 or 32 bits.
#pragma once

#include <cmath>
#include <cstdint>

#include "core/kvstr.h"

// Screen coordinates, sizes and 16-bit slot numbers.
inline std::int16_t Low16(double value)
{
    return static_cast<std::int16_t>(NumberToInt(value));
}

// Colours in RGB() packing: the low 32 bits of the truncated number; a
// number too large for 64 bits (or not a number) gives 0.
inline std::uint32_t ColorArgument(double value)
{
    if (!(std::fabs(value) < 9.2e18)) return 0;
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(static_cast<std::int64_t>(value)));
}
