// The values a number expression can take, as far as the translator can
// tell from the program's text: an interval, whether every value in it is a
// whole number, and whether negative zero may be one of them. Every number
// in BASIC is a double; where an expression is proven whole and safely
// inside the range in which doubles hold every whole number exactly, whole
// arithmetic in 64-bit integers gives bit for bit what the doubles give.
#pragma once

namespace kvbasic {

struct NumberRange {
    // The values lie in [lo, hi], both within +-kSafeWhole. Not known: any
    // double, infinities and NaN included.
    bool known = false;
    bool whole = false;         // every value is a whole number
    bool negativeZero = false;  // -0 may be one of them (it prints as "-0")
    double lo = 0, hi = 0;

    // 2^52: sums and differences of two such numbers stay below 2^53, where
    // a double still holds every whole number.
    static constexpr double kSafeWhole = 4503599627370496.0;

    static NumberRange Unknown() { return {}; }
    // [lo, hi], known only where both lie in the safe range.
    static NumberRange Between(double lo, double hi, bool whole, bool negativeZero = false);
    static NumberRange Exactly(double value);

    bool IsWhole() const { return known && whole; }
    bool Contains(double value) const { return known && lo <= value && value <= hi; }
    bool operator==(const NumberRange&) const = default;
};

// Every value either range can take.
NumberRange Join(const NumberRange& a, const NumberRange& b);

// The ranges of BASIC's arithmetic on numbers of these ranges.
NumberRange Negated(const NumberRange& a);
NumberRange Sum(const NumberRange& a, const NumberRange& b);
NumberRange Difference(const NumberRange& a, const NumberRange& b);
NumberRange Product(const NumberRange& a, const NumberRange& b);
NumberRange Quotient(const NumberRange& a, const NumberRange& b);
NumberRange Remainder(const NumberRange& a, const NumberRange& b);         // MOD: of the truncated 32-bit integers
NumberRange WholeQuotient(const NumberRange& a, const NumberRange& b);     // a \ b
NumberRange Floor(const NumberRange& a);                                  // INT
NumberRange Truncated(const NumberRange& a);                              // FIX
NumberRange Absolute(const NumberRange& a);                               // ABS

}  // namespace kvbasic
