#include "platform/runtime/numeric.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "text/decimal_text.h"

namespace {

using U128 = CNumeric::MantissaMagnitude;
using I128 = CNumeric::Mantissa;

// 10^0 .. 10^38, every one below 2^127. Made on first use: Boost's 128-bit integer (the 32-bit
// build's) is not a constant expression, and numbers are made during other files' start-up.
struct Powers {
    U128 p[CNumeric::kDigits + 1] = {};
    Powers() {
        p[0] = 1;
        for (int i = 1; i <= CNumeric::kDigits; ++i) p[i] = p[i - 1] * 10;
    }
};
const Powers& Pow10() {
    static const Powers powers;
    return powers;
}

U128 Magnitude(I128 m) { return m < 0 ? static_cast<U128>(-(m + 1)) + 1 : static_cast<U128>(m); }

// Number of decimal digits of m; 0 for 0.
int DigitCount(U128 m) {
    int n = 0;
    while (n <= CNumeric::kDigits && m >= Pow10().p[n]) ++n;
    return n;
}

// The decimal digits of m (m > 0), most significant first.
std::string Digits(U128 m) {
    char text[40];
    char* p = text + sizeof text;
    do {
        *--p = static_cast<char>('0' + static_cast<int>(m % 10));
        m /= 10;
    } while (m != 0);
    return std::string(p, static_cast<std::size_t>(text + sizeof text - p));
}

// -1, 0 or 1 as |a| * 10^ea compares with |b| * 10^eb (both below 10^38).
int CompareMagnitudes(U128 a, int ea, U128 b, int eb) {
    if (a == 0 || b == 0) return (a != 0) - (b != 0);
    const int da = DigitCount(a), db = DigitCount(b);
    const int top_a = ea + da, top_b = eb + db;
    if (top_a != top_b) return top_a < top_b ? -1 : 1;
    // Same leading place: the one with fewer digits is widened to the other's (at most 38).
    if (da < db) a *= Pow10().p[db - da];
    else b *= Pow10().p[da - db];
    return (a > b) - (a < b);
}

int Sign(I128 m) { return (m > 0) - (m < 0); }

}  // namespace

std::optional<CNumeric> CNumeric::FromDigits(bool negative, std::string_view digits, std::int64_t exponent) {
    while (!digits.empty() && digits.front() == '0') digits.remove_prefix(1);
    while (!digits.empty() && digits.back() == '0') {
        digits.remove_suffix(1);
        ++exponent;
    }
    if (digits.empty()) return CNumeric();
    const auto n = static_cast<std::int64_t>(digits.size());
    // Digits kept: at most kDigits, and none below the finest place.
    std::int64_t keep = std::min<std::int64_t>(n, kDigits);
    const std::int64_t lowest = exponent + (n - keep);
    if (lowest < kMinExponent) keep -= kMinExponent - lowest;
    if (keep < 0) return CNumeric();  // below half the finest place
    U128 m = 0;
    for (std::int64_t i = 0; i < keep; ++i) m = m * 10 + static_cast<unsigned>(digits[static_cast<std::size_t>(i)] - '0');
    std::int64_t e = exponent + (n - keep);
    if (keep < n) {  // half to even, on the first digit dropped and whether any other is not zero
        const int first = digits[static_cast<std::size_t>(keep)] - '0';
        const bool rest = digits.find_first_not_of('0', static_cast<std::size_t>(keep) + 1) != std::string_view::npos;
        if (first > 5 || (first == 5 && (rest || (m & 1) != 0))) ++m;
        if (m == Pow10().p[kDigits]) {
            m = Pow10().p[kDigits - 1];
            ++e;
        }
    }
    if (m == 0) return CNumeric();
    if (e + DigitCount(m) > kLimitExponent) return std::nullopt;
    const auto signed_m = static_cast<I128>(m);
    return CNumeric(negative ? -signed_m : signed_m, static_cast<int>(e));
}

std::optional<CNumeric> CNumeric::TryFromDouble(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    // Most values read from a database are short decimals (prices, quantities): find the fewest
    // fraction digits k whose decimal r / 10^k reads back as value. Below 10^15 no other decimal
    // of as few digits reads back as value, so r / 10^k is the shortest one, found without text.
    constexpr double kPow10Double[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    constexpr double kFifteenDigits = 1e15;
    const double magnitude = std::fabs(value);
    if (magnitude < kFifteenDigits) {
        for (int k = 0; k < 16; ++k) {
            const double scaled = magnitude * kPow10Double[k];
            if (scaled >= kFifteenDigits) break;
            const double r = std::nearbyint(scaled);
            if (r / kPow10Double[k] != magnitude) continue;
            const auto digits = static_cast<long long>(r);
            if (k > 0 && digits % 10 == 0) break;  // not the fewest digits after all: leave it to the text
            return CNumeric(value < 0 ? -static_cast<I128>(digits) : static_cast<I128>(digits), -k);
        }
    }
    // The shortest digits that read back, "d.ddde±x", from std::to_chars.
    char text[40];
    const auto written = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific);
    std::string_view t(text, static_cast<std::size_t>(written.ptr - text));
    const bool negative = t.front() == '-';
    if (negative) t.remove_prefix(1);
    const std::size_t e_at = t.find('e');
    std::string digits;
    for (const char c : t.substr(0, e_at))
        if (c != '.') digits += c;
    int exponent = 0;
    std::string_view x = t.substr(e_at + 1);
    if (x.front() == '+') x.remove_prefix(1);
    (void)std::from_chars(x.data(), x.data() + x.size(), exponent);
    // Every finite double lies well inside the range: -324 - 16 > kMinExponent, 308 < kLimitExponent.
    return FromDigits(negative, digits, exponent - static_cast<std::int64_t>(digits.size()) + 1);
}

CNumeric CNumeric::FromDouble(double value) { return TryFromDouble(value).value_or(CNumeric()); }

std::optional<CNumeric> CNumeric::TryParse(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    std::string digits;  // significant digits from the first non-zero one on
    std::int64_t exponent = 0;  // of the last digit in digits
    bool any_digit = false;
    bool in_fraction = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.' && !in_fraction) {
            in_fraction = true;
            continue;
        }
        if (c < '0' || c > '9') break;
        any_digit = true;
        if (in_fraction) --exponent;
        if (digits.empty() && c == '0') continue;
        digits += c;
    }
    if (!any_digit) return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        bool exp_negative = false;
        if (j < text.size() && (text[j] == '-' || text[j] == '+')) exp_negative = text[j++] == '-';
        // Capped far beyond the range, so that a long exponent cannot overflow and still says "beyond".
        constexpr std::int64_t kCap = 1000000000000000;
        std::int64_t value = 0;
        for (; j < text.size() && text[j] >= '0' && text[j] <= '9'; ++j)
            value = std::min<std::int64_t>(kCap, value * 10 + (text[j] - '0'));
        exponent += exp_negative ? -value : value;
    }
    return FromDigits(negative, digits, exponent);
}

CNumeric CNumeric::Parse(std::string_view text) { return TryParse(text).value_or(CNumeric()); }

CNumeric::operator long() const {
    // The whole part modulo 2^128 keeps it modulo 2^32.
    U128 whole;
    const U128 magnitude = Magnitude(mantissa_);
    if (exponent_ >= 0) {
        whole = magnitude;
        for (int e = 0; e < exponent_ && whole != 0; ++e) whole *= 10;
    } else {
        whole = -exponent_ > kDigits ? 0 : magnitude / Pow10().p[-exponent_];
    }
    // Only the low 32 bits are kept, negated there: the same modulo 2^32 as negating all 128.
    auto low = static_cast<std::uint32_t>(whole & U128(0xFFFFFFFFu));
    if (mantissa_ < 0) low = 0u - low;
    return static_cast<long>(static_cast<std::int32_t>(low));
}

std::int64_t CNumeric::ToInt64() const {
    constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
    const U128 magnitude = Magnitude(mantissa_);
    U128 whole = 0;
    if (exponent_ >= 0) {
        // Past 19 digits no 64-bit integer is left.
        if (magnitude != 0 && DigitCount(magnitude) + exponent_ > 19) return mantissa_ < 0 ? kMin : kMax;
        whole = magnitude * Pow10().p[exponent_ > 19 ? 0 : exponent_];
    } else if (-exponent_ <= kDigits) {
        whole = magnitude / Pow10().p[-exponent_];
    }
    if (mantissa_ < 0) return whole > static_cast<U128>(kMax) ? kMin : -static_cast<std::int64_t>(whole);
    return whole > static_cast<U128>(kMax) ? kMax : static_cast<std::int64_t>(whole);
}

double CNumeric::ToDouble() const {
    if (mantissa_ == 0) return 0.0;
    // Through the text: from_chars rounds correctly, a quotient of two doubles would not.
    const std::string text = Format();
    double value = 0;
    const auto read = std::from_chars(text.data(), text.data() + text.size(), value);
    if (read.ec == std::errc::result_out_of_range) {
        const bool large = exponent_ + DigitCount(Magnitude(mantissa_)) > 0;
        value = large ? std::numeric_limits<double>::infinity() : 0.0;
        return mantissa_ < 0 ? -value : value;
    }
    return value;
}

std::string CNumeric::Format() const {
    if (mantissa_ == 0) return "0";
    std::string digits = Digits(Magnitude(mantissa_));
    long exponent = exponent_;  // of the last digit
    while (digits.back() == '0') {
        digits.pop_back();
        ++exponent;
    }
    const long n = static_cast<long>(digits.size());
    const long lead = exponent + n - 1;  // place of the first digit
    std::string out = mantissa_ < 0 ? "-" : "";
    if (decimal_text::IsPlain(lead)) {
        decimal_text::AppendPlain(out, digits, lead);
        return out;
    }
    out += digits.front();
    if (n > 1) {
        out += '.';
        out.append(digits, 1);
    }
    out += lead < 0 ? "e-" : "e+";
    const long x = lead < 0 ? -lead : lead;
    if (x < 10) out += '0';
    out += std::to_string(x);
    return out;
}

bool operator==(const CNumeric& a, const CNumeric& b) {
    return Sign(a.mantissa_) == Sign(b.mantissa_) &&
           CompareMagnitudes(Magnitude(a.mantissa_), a.exponent_, Magnitude(b.mantissa_), b.exponent_) == 0;
}

bool operator<(const CNumeric& a, const CNumeric& b) {
    const int sa = Sign(a.mantissa_), sb = Sign(b.mantissa_);
    if (sa != sb) return sa < sb;
    const int order = CompareMagnitudes(Magnitude(a.mantissa_), a.exponent_, Magnitude(b.mantissa_), b.exponent_);
    return sa < 0 ? order > 0 : order < 0;
}
