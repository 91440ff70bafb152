#include "platform/runtime/numeric.h"

#include <charconv>
#include <limits>

namespace {

constexpr int kMaxScale = 30;
constexpr __int128 kMantissaLimit = static_cast<__int128>(1) << 120;  // headroom for one more digit

__int128 Pow10(int n) {
    __int128 p = 1;
    while (n-- > 0) p *= 10;
    return p;
}

// Brings both numbers to the same scale for comparison; a mantissa that would overflow saturates.
void Align(__int128& a, int sa, __int128& b, int sb) {
    while (sa < sb) { a = (a > kMantissaLimit || a < -kMantissaLimit) ? a : a * 10; ++sa; }
    while (sb < sa) { b = (b > kMantissaLimit || b < -kMantissaLimit) ? b : b * 10; ++sb; }
}

}  // namespace

CNumeric CNumeric::FromDouble(double value) {
    if (value != value) return CNumeric();  // NaN has no decimal form
    // 15 significant digits in general form, as printf's "%.15g" writes them, without its cost.
    char text[64];
    const auto written = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 15);
    return Parse(std::string_view(text, static_cast<std::size_t>(written.ptr - text)));
}

CNumeric CNumeric::Parse(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    __int128 mantissa = 0;
    int scale = 0;
    bool any_digit = false;
    bool in_fraction = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.' && !in_fraction) { in_fraction = true; continue; }
        if (c < '0' || c > '9') break;
        any_digit = true;
        if (mantissa >= kMantissaLimit / 10) {  // beyond 36 digits: saturate, drop further fraction digits
            if (!in_fraction) mantissa = kMantissaLimit;
            continue;
        }
        if (in_fraction && scale >= kMaxScale) continue;
        mantissa = mantissa * 10 + (c - '0');
        if (in_fraction) ++scale;
    }
    if (!any_digit) return CNumeric();
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        bool exp_negative = false;
        if (j < text.size() && (text[j] == '-' || text[j] == '+')) exp_negative = text[j++] == '-';
        int exponent = 0;
        for (; j < text.size() && text[j] >= '0' && text[j] <= '9' && exponent < 1000; ++j)
            exponent = exponent * 10 + (text[j] - '0');
        if (exp_negative) {
            scale += exponent;
            while (scale > kMaxScale) { mantissa /= 10; --scale; }
        } else {
            for (; exponent > 0 && scale > 0; --exponent) --scale;
            for (; exponent > 0 && mantissa < kMantissaLimit / 10; --exponent) mantissa *= 10;
        }
    }
    return CNumeric(negative ? -mantissa : mantissa, scale);
}

CNumeric::operator long() const {
    const __int128 whole = mantissa_ / Pow10(scale_);
    return static_cast<long>(static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<unsigned __int128>(whole))));
}

std::int64_t CNumeric::ToInt64() const {
    const __int128 whole = mantissa_ / Pow10(scale_);
    if (whole > std::numeric_limits<std::int64_t>::max()) return std::numeric_limits<std::int64_t>::max();
    if (whole < std::numeric_limits<std::int64_t>::min()) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(whole);
}

double CNumeric::ToDouble() const { return static_cast<double>(mantissa_) / static_cast<double>(Pow10(scale_)); }

std::string CNumeric::Format() const {
    __int128 m = mantissa_;
    int scale = scale_;
    while (scale > 0 && m % 10 == 0) { m /= 10; --scale; }
    const bool negative = m < 0;
    unsigned __int128 u = negative ? static_cast<unsigned __int128>(-(m + 1)) + 1 : static_cast<unsigned __int128>(m);
    std::string digits;
    do { digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(u % 10))); u /= 10; } while (u != 0);
    if (scale > 0) {
        if (static_cast<int>(digits.size()) <= scale) digits.insert(0, static_cast<std::size_t>(scale) + 1 - digits.size(), '0');
        digits.insert(digits.size() - static_cast<std::size_t>(scale), 1, '.');
    }
    return negative ? "-" + digits : digits;
}

bool operator==(const CNumeric& a, const CNumeric& b) {
    __int128 x = a.mantissa_, y = b.mantissa_;
    Align(x, a.scale_, y, b.scale_);
    return x == y;
}

bool operator<(const CNumeric& a, const CNumeric& b) {
    __int128 x = a.mantissa_, y = b.mantissa_;
    Align(x, a.scale_, y, b.scale_);
    return x < y;
}
