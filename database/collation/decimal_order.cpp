#include "database/collation/decimal_order.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace rowlark::collation {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A decimal text taken apart without copying: its digits before and after the point, and its
// exponent, capped far beyond any place a text can reach so that a long exponent cannot overflow.
struct Decimal {
    bool negative = false;
    std::string_view whole;
    std::string_view fraction;
    std::int64_t exponent = 0;

    std::size_t Size() const { return whole.size() + fraction.size(); }
    char Digit(std::size_t i) const { return i < whole.size() ? whole[i] : fraction[i - whole.size()]; }
    // Where the first non-zero digit stands; Size() for zero.
    std::size_t First() const {
        std::size_t i = 0;
        while (i < Size() && Digit(i) == '0') ++i;
        return i;
    }
    // The power of ten of digit i.
    std::int64_t Place(std::size_t i) const {
        return static_cast<std::int64_t>(whole.size()) - 1 - static_cast<std::int64_t>(i) + exponent;
    }
};

std::string_view Run(std::string_view text, std::size_t& at) {
    const std::size_t from = at;
    while (at < text.size() && IsDigit(text[at])) ++at;
    return text.substr(from, at - from);
}

std::optional<Decimal> Read(std::string_view text) {
    constexpr std::int64_t kCap = 1000000000000000;
    Decimal d;
    std::size_t at = 0;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) d.negative = text[at++] == '-';
    d.whole = Run(text, at);
    if (at < text.size() && text[at] == '.') d.fraction = Run(text, ++at);
    if (d.Size() == 0) return std::nullopt;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        bool negative = false;
        if (++at < text.size() && (text[at] == '-' || text[at] == '+')) negative = text[at++] == '-';
        const std::string_view digits = Run(text, at);
        if (digits.empty()) return std::nullopt;
        for (const char c : digits) d.exponent = std::min(kCap, d.exponent * 10 + (c - '0'));
        if (negative) d.exponent = -d.exponent;
    }
    if (at != text.size()) return std::nullopt;
    return d;
}

int Sign(std::int64_t n) { return (n > 0) - (n < 0); }

// Compares the magnitudes of two decimals that are not zero.
int CompareMagnitudes(const Decimal& a, const Decimal& b) {
    std::size_t i = a.First();
    std::size_t j = b.First();
    if (a.Place(i) != b.Place(j)) return a.Place(i) < b.Place(j) ? -1 : 1;
    for (; i < a.Size() && j < b.Size(); ++i, ++j)
        if (a.Digit(i) != b.Digit(j)) return a.Digit(i) < b.Digit(j) ? -1 : 1;
    // The longer one is larger only by a digit other than zero in what is left of it.
    for (; i < a.Size(); ++i)
        if (a.Digit(i) != '0') return 1;
    for (; j < b.Size(); ++j)
        if (b.Digit(j) != '0') return -1;
    return 0;
}

}  // namespace

bool IsDecimalText(std::string_view text) { return Read(text).has_value(); }

int CompareDecimalTexts(std::string_view a, std::string_view b) {
    const auto x = Read(a);
    const auto y = Read(b);
    if (!x || !y) {
        if (x || y) return x ? 1 : -1;
        return Sign(a.compare(b));
    }
    const int x_sign = x->First() == x->Size() ? 0 : x->negative ? -1 : 1;
    const int y_sign = y->First() == y->Size() ? 0 : y->negative ? -1 : 1;
    if (x_sign != y_sign) return x_sign < y_sign ? -1 : 1;
    if (x_sign == 0) return 0;
    return x_sign * CompareMagnitudes(*x, *y);
}

int CompareDecimalCallback(void* /*unused*/, int a_length, const void* a, int b_length, const void* b) {
    return CompareDecimalTexts(std::string_view(static_cast<const char*>(a), static_cast<std::size_t>(a_length)),
                               std::string_view(static_cast<const char*>(b), static_cast<std::size_t>(b_length)));
}

}  // namespace rowlark::collation
