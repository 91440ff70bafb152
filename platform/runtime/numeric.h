#pragma once
// The host's number: an exact decimal (a 128-bit mantissa with a decimal scale), so 64-bit
// integers and decimal fractions such as 0.1 or 1234.56 are held without rounding.

#include <cstdint>
#include <string>
#include <string_view>

class CNumeric {
public:
    CNumeric() = default;
    CNumeric(int value) : mantissa_(value) {}  // NOLINT: the host converts implicitly
    CNumeric(long value) : mantissa_(value) {}  // NOLINT
    CNumeric(long long value) : mantissa_(value) {}  // NOLINT
    // The shortest decimal that reads back as value (15 significant digits).
    static CNumeric FromDouble(double value);
    // Reads a leading decimal number ("  -12.50abc" gives -12.5); no number gives 0.
    static CNumeric Parse(std::string_view text);

    // The 32-bit integer view, as the host's long on its 32-bit platform: the fraction is dropped
    // toward zero and the integer taken modulo 2^32 as a signed value.
    operator long() const;
    std::int64_t ToInt64() const;  // saturating, fraction dropped toward zero
    double ToDouble() const;

    // Plain decimal text without trailing zeros: "12.5", "-3", "0".
    std::string Format() const;

    friend bool operator==(const CNumeric& a, const CNumeric& b);
    friend bool operator!=(const CNumeric& a, const CNumeric& b) { return !(a == b); }
    friend bool operator<(const CNumeric& a, const CNumeric& b);

private:
    CNumeric(__int128 mantissa, int scale) : mantissa_(mantissa), scale_(scale) {}
    __int128 mantissa_ = 0;
    int scale_ = 0;  // value = mantissa / 10^scale, 0 <= scale <= kMaxScale
};
