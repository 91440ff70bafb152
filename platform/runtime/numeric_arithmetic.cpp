// The host number's arithmetic on its own digits. Operands whose result fits 38 digits at their
// common place are worked in the 128-bit mantissa; the rest exactly in an unbounded integer, then
// rounded once.
#include <boost/multiprecision/cpp_int.hpp>
#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/runtime/numeric.h"

namespace {

using U128 = CNumeric::MantissaMagnitude;
using I128 = CNumeric::Mantissa;
using Wide = boost::multiprecision::cpp_int;
constexpr std::int64_t kNoPlace = INT64_MIN;  // no place to round at but the number's own limits

const U128& Pow10(int n) {
    static const std::vector<U128> powers = [] {
        std::vector<U128> p(CNumeric::kDigits + 1);
        p[0] = 1;
        for (int i = 1; i <= CNumeric::kDigits; ++i) p[static_cast<std::size_t>(i)] = p[static_cast<std::size_t>(i - 1)] * 10;
        return p;
    }();
    return powers[static_cast<std::size_t>(n)];
}

U128 Magnitude(I128 m) { return m < 0 ? static_cast<U128>(-(m + 1)) + 1 : static_cast<U128>(m); }

int DigitCount(U128 m) {
    int n = 0;
    while (n <= CNumeric::kDigits && m >= Pow10(n)) ++n;
    return n;
}

// Through 64-bit halves: the same on the compiler's 128-bit integer and on Boost's.
Wide ToWide(U128 m) {
    Wide w = static_cast<std::uint64_t>(m >> 64);
    w <<= 64;
    return w | Wide(static_cast<std::uint64_t>(m & U128(~std::uint64_t{0})));
}

U128 FromWide(const Wide& w) {
    U128 m = static_cast<std::uint64_t>(w >> 64);
    m <<= 64;
    return m | U128(static_cast<std::uint64_t>(w & Wide(~std::uint64_t{0})));
}

Wide WidePow10(std::int64_t n) { return boost::multiprecision::pow(Wide(10), static_cast<unsigned>(n)); }

int WideDigits(const Wide& w) {
    if (w == 0) return 0;
    // log10(2) from below: the first guess is never more than the count.
    auto d = static_cast<std::int64_t>(static_cast<double>(boost::multiprecision::msb(w)) * 0.30102999) + 1;
    Wide p = WidePow10(d);
    for (; p <= w; p *= 10) ++d;
    return static_cast<int>(d);
}

struct Kept {
    U128 magnitude;
    std::int64_t exponent;
};

// magnitude × 10^exponent, with sticky: non-zero digits lie below its last one. Keeps at most
// kDigits digits, none below the finest place nor below 10^lowest.
Kept RoundWide(const Wide& magnitude, std::int64_t exponent, bool sticky, CNumeric::Rounding rounding,
                  bool half_even, std::int64_t lowest = kNoPlace) {
    std::int64_t drop = std::max<std::int64_t>(WideDigits(magnitude) - CNumeric::kDigits,
                                               CNumeric::kMinExponent - exponent);
    if (lowest != kNoPlace) drop = std::max(drop, lowest - exponent);
    if (drop <= 0) return {FromWide(magnitude), exponent};
    const Wide divisor = WidePow10(drop);
    Wide q = magnitude / divisor;
    const Wide r = magnitude % divisor;
    const Wide half = divisor / 2;
    bool up = false;
    if (rounding != CNumeric::Rounding::kTowardZero && r != 0) {
        if (r > half || (r == half && sticky)) up = true;
        else if (r == half) up = half_even ? (q & 1) != 0 : rounding == CNumeric::Rounding::kHalfAwayFromZero;
    }
    if (up) ++q;
    U128 m = FromWide(q);
    exponent += drop;
    if (m == Pow10(CNumeric::kDigits)) {
        m = Pow10(CNumeric::kDigits - 1);
        ++exponent;
    }
    return {m, exponent};
}

Kept RoundEven(const Wide& magnitude, std::int64_t exponent, bool sticky = false) {
    return RoundWide(magnitude, exponent, sticky, CNumeric::Rounding::kHalfAwayFromZero, /*half_even=*/true);
}

}  // namespace

std::optional<CNumeric> CNumeric::Made(bool negative, U128 magnitude, std::int64_t exponent) {
    if (magnitude == 0) return CNumeric();
    if (exponent + DigitCount(magnitude) > kLimitExponent) return std::nullopt;
    const auto m = static_cast<I128>(magnitude);
    return CNumeric(negative ? -m : m, static_cast<int>(exponent));
}

std::optional<CNumeric> CNumeric::Sum(const CNumeric& a, const CNumeric& b) {
    if (b.mantissa_ == 0) return a;
    if (a.mantissa_ == 0) return b;
    const bool a_low = a.exponent_ <= b.exponent_;
    const CNumeric& low = a_low ? a : b;    // the operand with the finer last place
    const CNumeric& high = a_low ? b : a;
    const std::int64_t shift = static_cast<std::int64_t>(high.exponent_) - low.exponent_;
    const U128 lm = Magnitude(low.mantissa_), hm = Magnitude(high.mantissa_);
    const bool same_sign = (low.mantissa_ < 0) == (high.mantissa_ < 0);
    if (shift + DigitCount(hm) <= kDigits) {  // both fit 38 digits at the finer place
        const U128 hs = hm * Pow10(static_cast<int>(shift));
        if (same_sign) {
            const U128 sum = hs + lm;  // below 2 × 10^38 < 2^128
            if (sum < Pow10(kDigits)) return Made(low.mantissa_ < 0, sum, low.exponent_);
        } else {
            return Made(hs > lm ? high.mantissa_ < 0 : low.mantissa_ < 0, hs > lm ? hs - lm : lm - hs, low.exponent_);
        }
    }
    Wide x = ToWide(hm) * WidePow10(shift), y = ToWide(lm);
    bool negative = high.mantissa_ < 0;
    if (same_sign) {
        x += y;
    } else if (x >= y) {
        x -= y;
    } else {
        x = y - x;
        negative = !negative;
    }
    const Kept r = RoundEven(x, low.exponent_);
    return Made(negative, r.magnitude, r.exponent);
}

std::optional<CNumeric> CNumeric::Difference(const CNumeric& a, const CNumeric& b) { return Sum(a, b.Negated()); }

std::optional<CNumeric> CNumeric::Product(const CNumeric& a, const CNumeric& b) {
    if (a.mantissa_ == 0 || b.mantissa_ == 0) return CNumeric();
    const bool negative = (a.mantissa_ < 0) != (b.mantissa_ < 0);
    const U128 am = Magnitude(a.mantissa_), bm = Magnitude(b.mantissa_);
    const std::int64_t exponent = static_cast<std::int64_t>(a.exponent_) + b.exponent_;
    if (DigitCount(am) + DigitCount(bm) <= kDigits && exponent >= kMinExponent) return Made(negative, am * bm, exponent);
    const Kept r = RoundEven(ToWide(am) * ToWide(bm), exponent);
    return Made(negative, r.magnitude, r.exponent);
}

std::optional<CNumeric> CNumeric::Quotient(const CNumeric& a, const CNumeric& b) {
    if (b.mantissa_ == 0) return std::nullopt;
    if (a.mantissa_ == 0) return CNumeric();
    const bool negative = (a.mantissa_ < 0) != (b.mantissa_ < 0);
    const U128 am = Magnitude(a.mantissa_), bm = Magnitude(b.mantissa_);
    // A quotient exact within 38 digits (x / 2, x / 100) needs no wide division.
    const int widen = kDigits - DigitCount(am);
    const U128 widened = am * Pow10(widen);
    const std::int64_t place = static_cast<std::int64_t>(a.exponent_) - b.exponent_ - widen;
    if (widened % bm == 0 && place >= kMinExponent) return Made(negative, widened / bm, place);
    // Enough places that the quotient has more than 38 digits; the remainder decides a half.
    const int places = kDigits + 2 + DigitCount(bm) - DigitCount(am);
    const Wide scaled = ToWide(am) * WidePow10(places), divisor = ToWide(bm);
    const Wide q = scaled / divisor;
    const bool sticky = scaled % divisor != 0;
    const Kept r = RoundEven(q, static_cast<std::int64_t>(a.exponent_) - b.exponent_ - places, sticky);
    return Made(negative, r.magnitude, r.exponent);
}

std::optional<CNumeric> CNumeric::Remainder(const CNumeric& a, const CNumeric& b) {
    if (b.mantissa_ == 0) return std::nullopt;
    if (a.mantissa_ == 0) return CNumeric();
    const int place = std::min(a.exponent_, b.exponent_);
    const U128 am = Magnitude(a.mantissa_), bm = Magnitude(b.mantissa_);
    if (a.exponent_ == b.exponent_) return Made(a.mantissa_ < 0, am % bm, place);
    const Wide x = ToWide(am) * WidePow10(a.exponent_ - place), y = ToWide(bm) * WidePow10(b.exponent_ - place);
    const Kept r = RoundEven(x % y, place);
    return Made(a.mantissa_ < 0, r.magnitude, r.exponent);
}

std::optional<CNumeric> CNumeric::Rounded(int places, Rounding rounding) const {
    const std::int64_t lowest = -static_cast<std::int64_t>(places);
    if (mantissa_ == 0 || exponent_ >= lowest) return *this;
    const Kept r = RoundWide(ToWide(Magnitude(mantissa_)), exponent_, false, rounding, false, lowest);
    return Made(mantissa_ < 0, r.magnitude, r.exponent);
}
