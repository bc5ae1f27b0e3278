#include "core/maths.h"

#include <cmath>
#include <cstdint>

#include "core/isaac.h"
#include "core/kvstr.h"

double SIN(double x) { return std::sin(x / kDegreesPerRadian); }
double COS(double x) { return std::cos(x / kDegreesPerRadian); }
double TAN(double x) { return std::tan(x / kDegreesPerRadian); }
double ATAN(double y, double x) { return std::atan2(y, x) * kDegreesPerRadian; }

double ASIN(double x)
{
    if (x >= 1) return 90;
    if (x <= -1) return -90;
    return std::asin(x) * kDegreesPerRadian;
}

double ACOS(double x)
{
    if (x >= 1) return 0;
    if (x <= -1) return 180;
    return std::acos(x) * kDegreesPerRadian;
}

double SQR(double x) { return std::sqrt(x); }
double ABS(double x) { return x < 0 ? -x : x; }
double POW(double a, double b) { return std::pow(a, b); }

double MOD(double a, double b)
{
    int divisor = NumberToInt(b);
    // A divisor that truncates to 0 would trap; INT_MIN % -1 overflows.
    if (divisor == 0) return 0;
    int dividend = NumberToInt(a);
    if (divisor == -1) return 0;
    return dividend % divisor;
}

double RND(double x)
{
    // The divisor is computed on unsigned 32-bit words, so a negative limit
    // wraps around; -1 would wrap to a divisor of 0, which gives 0 instead.
    std::uint32_t divisor = static_cast<std::uint32_t>(NumberToInt(x)) + 1u;
    std::uint32_t word = Tzrand();
    if (divisor == 0) return 0;
    return word % divisor;
}
