#pragma once
// The one way a fuzz target reports a broken invariant: it prints what broke (with the texts
// involved, bytes escaped) and aborts, which libFuzzer and the replay test both take as a failure.

#include <string>
#include <string_view>

namespace rowlark_fuzz {

// The bytes of text with every byte outside printable ASCII written as \xHH.
std::string Escaped(std::string_view text);

[[noreturn]] void Fail(const char* file, int line, const char* condition, const std::string& detail);

}  // namespace rowlark_fuzz

#define FUZZ_CHECK(condition, detail)                                                   \
    do {                                                                                \
        if (!(condition)) ::rowlark_fuzz::Fail(__FILE__, __LINE__, #condition, (detail)); \
    } while (false)
