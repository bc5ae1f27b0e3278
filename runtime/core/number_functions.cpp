#include "core/number_functions.h"

#include <cmath>
#include <cstdint>

#include "core/kvstr.h"

namespace {

// The 32-bit pattern of a truncated number (saturating, as NumberToInt does).
std::uint32_t Bits(double x) { return static_cast<std::uint32_t>(NumberToInt(x)); }
double FromBits(std::uint32_t bits) { return static_cast<std::int32_t>(bits); }

}  // namespace

double INT(double x) { return std::floor(x); }

double FIX(double x) { return std::trunc(x); }

double SGN(double x) { return x > 0 ? 1 : x < 0 ? -1 : 0; }

double ROUND(double x) { return std::round(x); }

double MIN(double a, double b) { return b < a ? b : a; }

double MAX(double a, double b) { return b > a ? b : a; }

double RGB(double red, double green, double blue)
{
    auto part = [](double x) {
        const int value = NumberToInt(x);
        return static_cast<std::uint32_t>(value < 0 ? 0 : value > 255 ? 255 : value);
    };
    return part(red) | part(green) << 8 | part(blue) << 16;
}

double IDIV(double a, double b)
{
    const std::int64_t divisor = NumberToInt(b);
    if (divisor == 0) return 0;
    // In 64 bits, so that the smallest integer divided by -1 does not overflow.
    return static_cast<double>(static_cast<std::int64_t>(NumberToInt(a)) / divisor);
}

double BAND(double a, double b) { return FromBits(Bits(a) & Bits(b)); }

double BOR(double a, double b) { return FromBits(Bits(a) | Bits(b)); }

double BXOR(double a, double b) { return FromBits(Bits(a) ^ Bits(b)); }

double BNOT(double a) { return FromBits(~Bits(a)); }

double SHL(double a, double places) { return FromBits(Bits(a) << (Bits(places) & 31)); }

double SHR(double a, double places)
{
    return static_cast<std::int32_t>(Bits(a)) >> (Bits(places) & 31);
}
