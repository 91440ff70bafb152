#pragma once
// The host's number: a decimal of at most 38 significant digits (a 128-bit mantissa with a decimal
// exponent). It holds every 64-bit integer, every decimal fraction of up to 38 digits (0.1, 1234.56)
// and every finite double, as the shortest decimal that reads back as it, exactly. Its range:
// magnitudes below 10^400, finest place 10^-400. Where a road rounds, it rounds half to even and
// says so; a number beyond the range is refused, never replaced by another.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#ifndef __SIZEOF_INT128__
#include <boost/multiprecision/cpp_int.hpp>
#endif

class CNumeric {
public:
    static constexpr int kDigits = 38;           // significant decimal digits
    static constexpr int kMinExponent = -400;    // the finest place is 10^kMinExponent
    static constexpr int kLimitExponent = 400;   // every magnitude lies below 10^kLimitExponent

    CNumeric() = default;
    CNumeric(int value) : mantissa_(value) {}  // NOLINT: the host converts implicitly
    CNumeric(long value) : mantissa_(value) {}  // NOLINT
    CNumeric(long long value) : mantissa_(value) {}  // NOLINT

    // The shortest decimal that reads back as value (at most 17 significant digits), so
    // 0.1 + 0.2 is 0.30000000000000004 and 0.1 is 0.1. NaN and infinities have no decimal:
    // TryFromDouble answers nullopt, FromDouble gives 0.
    static std::optional<CNumeric> TryFromDouble(double value);
    static CNumeric FromDouble(double value);

    // Reads a leading decimal number, with an optional exponent ("  -12.50abc" gives -12.5,
    // "1.5e3" 1500), rounded half to even to kDigits digits and to the finest place.
    // TryParse answers nullopt when the text does not begin with a number or its number lies
    // beyond the range; Parse, the host's reading of a text, gives 0 for both.
    static std::optional<CNumeric> TryParse(std::string_view text);
    static CNumeric Parse(std::string_view text);

    // The 32-bit integer view, as the host's long on its 32-bit platform: the fraction is dropped
    // toward zero and the integer taken modulo 2^32 as a signed value.
    operator long() const;
    std::int64_t ToInt64() const;  // saturating, fraction dropped toward zero
    double ToDouble() const;       // the nearest double; beyond the double's range, an infinity or 0

    // Decimal text without trailing zeros that Parse reads back as this number: plain ("12.5",
    // "-3", "0") from 10^-30 up to below 10^38, otherwise the shortest digits with an exponent
    // of at least two digits ("1e+300", "-2.5e-31"), as std::to_chars writes a double.
    std::string Format() const;

    // The host's decimal arithmetic, exact before one rounding: the result is rounded half to even
    // to kDigits digits and to the finest place. nullopt when its magnitude reaches 10^kLimitExponent,
    // and from Quotient and Remainder when b is zero. Remainder is that of the division truncated
    // toward zero, with the sign of a (numeric_arithmetic.cpp).
    static std::optional<CNumeric> Sum(const CNumeric& a, const CNumeric& b);
    static std::optional<CNumeric> Difference(const CNumeric& a, const CNumeric& b);
    static std::optional<CNumeric> Product(const CNumeric& a, const CNumeric& b);
    static std::optional<CNumeric> Quotient(const CNumeric& a, const CNumeric& b);
    static std::optional<CNumeric> Remainder(const CNumeric& a, const CNumeric& b);
    CNumeric Negated() const { return CNumeric(-mantissa_, exponent_); }

    // How Rounded treats the digits it drops: a half goes away from zero or toward it (anything
    // less than a half goes toward zero, anything more away), or every fraction goes toward zero.
    enum class Rounding { kHalfAwayFromZero, kHalfTowardZero, kTowardZero };
    // To places digits after the point (negative: the places before it become zeros); nullopt when
    // rounding up carries it beyond the range.
    std::optional<CNumeric> Rounded(int places, Rounding rounding) const;

    friend bool operator==(const CNumeric& a, const CNumeric& b);
    friend bool operator!=(const CNumeric& a, const CNumeric& b) { return !(a == b); }
    friend bool operator<(const CNumeric& a, const CNumeric& b);

    // The mantissa's type: the compiler's own 128-bit integer where it has one; on 32-bit x86 (the
    // host's own target) it has none, and Boost's fixed 128-bit integer takes its place.
#ifdef __SIZEOF_INT128__
    using Mantissa = __int128;
    using MantissaMagnitude = unsigned __int128;
#else
    using Mantissa = boost::multiprecision::int128_t;
    using MantissaMagnitude = boost::multiprecision::uint128_t;
#endif

private:
    CNumeric(Mantissa mantissa, int exponent) : mantissa_(mantissa), exponent_(exponent) {}
    // ±digits × 10^exponent (digits: decimal digits), rounded to the number's precision and
    // range; nullopt when its magnitude reaches 10^kLimitExponent.
    static std::optional<CNumeric> FromDigits(bool negative, std::string_view digits, std::int64_t exponent);
    // ±magnitude × 10^exponent, already of at most kDigits digits and at or above the finest place;
    // nullopt when its magnitude reaches 10^kLimitExponent.
    static std::optional<CNumeric> Made(bool negative, MantissaMagnitude magnitude, std::int64_t exponent);

    Mantissa mantissa_ = 0;  // |mantissa_| < 10^kDigits
    int exponent_ = 0;       // value = mantissa_ * 10^exponent_, kMinExponent <= exponent_
};
