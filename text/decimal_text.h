#pragma once
// How the host's number lays out its digits: plainly from 10^-30 up to below 10^38, with an exponent
// beyond. Shared by the host number and QueryRows, whose key texts must come out byte for byte alike.

#include <cstddef>
#include <string>
#include <string_view>

namespace decimal_text {

inline constexpr long kPlainMinPlace = -30;  // plain text from 10^-30 ...
inline constexpr long kPlainMaxPlace = 37;   // ... up to below 10^38

// Whether a number whose first significant digit stands at 10^lead is written without an exponent.
inline bool IsPlain(long lead) { return lead >= kPlainMinPlace && lead <= kPlainMaxPlace; }

// Appends significant digits (no sign, no trailing zeros) whose first digit stands at 10^lead, plainly.
inline void AppendPlain(std::string& out, std::string_view digits, long lead) {
    const long n = static_cast<long>(digits.size());
    if (lead >= n - 1) {
        out += digits;
        out.append(static_cast<std::size_t>(lead - n + 1), '0');
    } else if (lead >= 0) {
        out += digits.substr(0, static_cast<std::size_t>(lead + 1));
        out += '.';
        out += digits.substr(static_cast<std::size_t>(lead + 1));
    } else {
        out += "0.";
        out.append(static_cast<std::size_t>(-lead - 1), '0');
        out += digits;
    }
}

}  // namespace decimal_text
