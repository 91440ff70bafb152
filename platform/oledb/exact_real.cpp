#include "platform/oledb/exact_real.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace oledb_backend {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Moves at past a run of digits; whether there was one.
bool SkipDigits(std::string_view text, std::size_t& at) {
    const std::size_t from = at;
    while (at < text.size() && IsDigit(text[at])) ++at;
    return at > from;
}

bool IsPlainDecimal(std::string_view text) {
    std::size_t at = 0;
    if (at < text.size() && text[at] == '-') ++at;
    if (!SkipDigits(text, at)) return false;
    if (at < text.size() && text[at] == '.' && !SkipDigits(text, ++at)) return false;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
        if (!SkipDigits(text, at)) return false;
    }
    return at == text.size();
}

}  // namespace

std::optional<double> ExactReal(std::string_view text) {
    if (!IsPlainDecimal(text)) return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

}  // namespace oledb_backend
