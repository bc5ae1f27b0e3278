#include "number_range.h"

#include <algorithm>
#include <cmath>

namespace kvbasic {

namespace {

constexpr double kInt32Max = 2147483647.0;

double Magnitude(const NumberRange& a) { return std::max(std::fabs(a.lo), std::fabs(a.hi)); }

}  // namespace

NumberRange NumberRange::Between(double lo, double hi, bool whole, bool negativeZero)
{
    // Written so that NaN fails the test too.
    if (!(lo >= -kSafeWhole && hi <= kSafeWhole && lo <= hi)) return Unknown();
    return {true, whole, negativeZero, lo, hi};
}

NumberRange NumberRange::Exactly(double value)
{
    return Between(value, value, std::floor(value) == value, std::signbit(value) && value == 0);
}

NumberRange Join(const NumberRange& a, const NumberRange& b)
{
    if (!a.known || !b.known) return NumberRange::Unknown();
    return NumberRange::Between(std::min(a.lo, b.lo), std::max(a.hi, b.hi), a.whole && b.whole,
                                a.negativeZero || b.negativeZero);
}

NumberRange Negated(const NumberRange& a)
{
    if (!a.known) return a;
    return NumberRange::Between(-a.hi, -a.lo, a.whole, a.Contains(0));
}

NumberRange Sum(const NumberRange& a, const NumberRange& b)
{
    if (!a.known || !b.known) return NumberRange::Unknown();
    // Only -0 + -0 is -0.
    return NumberRange::Between(a.lo + b.lo, a.hi + b.hi, a.whole && b.whole, a.negativeZero && b.negativeZero);
}

NumberRange Difference(const NumberRange& a, const NumberRange& b)
{
    if (!a.known || !b.known) return NumberRange::Unknown();
    // Only -0 - +0 is -0.
    return NumberRange::Between(a.lo - b.hi, a.hi - b.lo, a.whole && b.whole, a.negativeZero && b.Contains(0));
}

NumberRange Product(const NumberRange& a, const NumberRange& b)
{
    if (!a.known || !b.known) return NumberRange::Unknown();
    const double products[] = {a.lo * b.lo, a.lo * b.hi, a.hi * b.lo, a.hi * b.hi};
    // A zero times a number of the other sign (or a -0 times anything) is -0.
    const bool aZero = a.Contains(0) || a.negativeZero, bZero = b.Contains(0) || b.negativeZero;
    const bool negativeZero = (aZero && (b.lo < 0 || b.negativeZero)) || (bZero && (a.lo < 0 || a.negativeZero)) ||
                              (aZero && bZero);
    return NumberRange::Between(*std::min_element(products, products + 4), *std::max_element(products, products + 4),
                                a.whole && b.whole, negativeZero);
}

NumberRange Quotient(const NumberRange& a, const NumberRange& b)
{
    if (!a.known || !b.known || b.Contains(0) || b.negativeZero) return NumberRange::Unknown();
    const double quotients[] = {a.lo / b.lo, a.lo / b.hi, a.hi / b.lo, a.hi / b.hi};
    return NumberRange::Between(*std::min_element(quotients, quotients + 4), *std::max_element(quotients, quotients + 4),
                                false, true);
}

NumberRange Remainder(const NumberRange& a, const NumberRange& b)
{
    // An int's remainder, 0 for a divisor of 0 or -1: whole, never -0,
    // below the divisor and the dividend in size, with the dividend's sign.
    double limit = kInt32Max;
    if (b.known) limit = std::max(0.0, std::min(limit, Magnitude(b) - 1));
    if (a.known) limit = std::min(limit, Magnitude(a));
    const bool neverNegative = a.known && a.lo >= 0, neverPositive = a.known && a.hi <= 0;
    return NumberRange::Between(neverNegative ? 0 : -limit, neverPositive ? 0 : limit, true);
}

NumberRange WholeQuotient(const NumberRange& a, const NumberRange& /*divisor: 0 gives 0*/)
{
    // The 32-bit truncations divided in 64 bits: no larger than the dividend.
    const double limit = a.known ? std::min(kInt32Max + 1, Magnitude(a)) : kInt32Max + 1;
    return NumberRange::Between(-limit, limit, true);
}

NumberRange Floor(const NumberRange& a)
{
    if (!a.known) return a;
    return NumberRange::Between(std::floor(a.lo), std::floor(a.hi), true, a.negativeZero);
}

NumberRange Truncated(const NumberRange& a)
{
    if (!a.known) return a;
    // A negative fraction truncates to -0.
    return NumberRange::Between(std::trunc(a.lo), std::trunc(a.hi), true, a.negativeZero || (a.lo < 0 && a.hi > -1));
}

NumberRange Absolute(const NumberRange& a)
{
    if (!a.known) return a;
    const double low = a.Contains(0) ? 0 : std::min(std::fabs(a.lo), std::fabs(a.hi));
    return NumberRange::Between(low, Magnitude(a), a.whole);
}

}  // namespace kvbasic
