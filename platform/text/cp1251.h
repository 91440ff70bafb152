#pragma once
// Run-time conversion between UTF-8 and code page 1251 (single-byte Cyrillic), the host's code page,
// at the edges (database, terminal). Compile-time literals live in text/cp1251_literal.h.

#include <optional>
#include <string>
#include <string_view>

#include "text/cp1251_literal.h"

namespace cp1251 {

// Run-time conversions at the edges.
// FromUtf8 replaces a character CP1251 cannot hold (or a malformed sequence) with '?';
// TryFromUtf8 answers nullopt instead, for callers that must not lose data silently.
std::string FromUtf8(std::string_view utf8);
std::optional<std::string> TryFromUtf8(std::string_view utf8);
// Every CP1251 byte has a Unicode character (0x98, unassigned, travels as U+0098), so
// ToUtf8 followed by FromUtf8 gives back every byte.
std::string ToUtf8(std::string_view cp1251);

}  // namespace cp1251
