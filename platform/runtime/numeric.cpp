#include "platform/runtime/numeric.h"

#include <charconv>
#include <cmath>
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
    // Most values read from a database are short decimals (prices, quantities): find the fewest
    // fraction digits k whose decimal r / 10^k reads back as value. A decimal of at most 15
    // significant digits that reads back as value is what "%.15g" writes for it (any 15-digit
    // decimal survives the trip through a double), so the mantissa and scale are the ones
    // Parse makes of that text; anything else takes the text road below.
    constexpr double kPow10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    constexpr double kFifteenDigits = 1e15;
    const double magnitude = std::fabs(value);
    if (magnitude < kFifteenDigits) {
        for (int k = 0; k < 16; ++k) {
            const double scaled = magnitude * kPow10[k];
            if (scaled >= kFifteenDigits) break;
            const double r = std::nearbyint(scaled);
            if (r / kPow10[k] != magnitude) continue;
            const auto digits = static_cast<long long>(r);
            if (k > 0 && digits % 10 == 0) break;  // not the fewest digits after all: leave it to the text
            return CNumeric(value < 0 ? -static_cast<__int128>(digits) : static_cast<__int128>(digits), k);
        }
    }
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
    // Written backwards from the end: at most 39 digits, "0." ahead of a fraction of up to
    // kMaxScale digits, and the sign.
    char text[80];
    char* const end = text + sizeof text;
    char* p = end;
    int written = 0;
    do {
        if (scale > 0 && written == scale) *--p = '.';
        *--p = static_cast<char>('0' + static_cast<int>(u % 10));
        u /= 10;
        ++written;
    } while (u != 0 || written <= scale);
    if (negative) *--p = '-';
    return std::string(p, static_cast<std::size_t>(end - p));
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
