// The host's numbers and the binding's converters. A number's text reads back as the same number
// and is the one text of it; a double becomes the shortest decimal that reads back as that double,
// keeping the doubles' order; 64-bit integers keep their value, text and order; every converter's
// two directions give back what went in.

#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include "addin/context/converters.h"
#include "fuzz/support/check.h"
#include "fuzz/support/fuzz_input.h"
#include "platform/runtime/numeric.h"
#include "platform/runtime/value.h"

namespace {

using rowlark_fuzz::Escaped;
using rowlark_fuzz::FuzzInput;
using Utils1s::Context::Converter;

// Significant digits of a number's text (its digits without leading and trailing zeros).
int SignificantDigits(const std::string& text) {
    std::string digits;
    for (const char c : text.substr(0, text.find_first_of("eE"))) if (c >= '0' && c <= '9') digits += c;
    const auto first = digits.find_first_not_of('0');
    if (first == std::string::npos) return 0;
    return static_cast<int>(digits.find_last_not_of('0') - first + 1);
}

// The text is the number's one text: it reads back as the number, and that reading writes it again.
void CheckText(const CNumeric& n, const std::string& origin) {
    const std::string text = n.Format();
    const auto back = CNumeric::TryParse(text);
    FUZZ_CHECK(back.has_value() && *back == n, origin + " -> " + text);
    FUZZ_CHECK(back->Format() == text, origin + " -> " + text + " -> " + back->Format());
    FUZZ_CHECK(!(n < *back) && !(*back < n), origin);

    CValue value;
    value = n;
    FUZZ_CHECK(value.GetNumeric() == n && std::string(value.GetString().c_str()) == text, origin);
    FUZZ_CHECK(Converter<std::string>::FromHost(value) == text, origin);
}

void CheckParsed(const std::string& text) {
    const auto n = CNumeric::TryParse(text);
    FUZZ_CHECK(CNumeric::Parse(text) == n.value_or(CNumeric()), Escaped(text));
    if (n) CheckText(*n, Escaped(text));
    // A text value's numeric view is its leading number, as far as the host's text reaches.
    CValue value;
    value = text.c_str();
    FUZZ_CHECK(value.GetNumeric() == CNumeric::Parse(text.c_str()), Escaped(text));
}

void CheckDouble(double d) {
    const auto n = CNumeric::TryFromDouble(d);
    FUZZ_CHECK(n.has_value() == std::isfinite(d), std::to_string(d));
    if (!n) return;
    CheckText(*n, "double " + std::to_string(d));
    const double back = n->ToDouble();
    FUZZ_CHECK(back == d, n->Format());  // -0 reads back as 0, which compares equal
    char shortest[64];
    const auto written = std::to_chars(shortest, shortest + sizeof shortest, d);
    const std::string shortest_text(shortest, written.ptr);
    FUZZ_CHECK(SignificantDigits(n->Format()) <= SignificantDigits(shortest_text),
               n->Format() + " is longer than " + shortest_text);
}

void CheckDoubleOrder(double a, double b) {
    if (!std::isfinite(a) || !std::isfinite(b)) return;
    const CNumeric na = CNumeric::FromDouble(a), nb = CNumeric::FromDouble(b);
    const std::string both = std::to_string(a) + " , " + std::to_string(b);
    FUZZ_CHECK((na < nb) == (a < b) && (nb < na) == (b < a) && (na == nb) == (a == b), both);
}

void CheckInteger(std::int64_t v, std::int64_t w) {
    const CNumeric n(static_cast<long long>(v)), m(static_cast<long long>(w));
    FUZZ_CHECK(n.Format() == std::to_string(v), std::to_string(v));
    FUZZ_CHECK(n.ToInt64() == v, std::to_string(v));
    FUZZ_CHECK(static_cast<long>(n) == static_cast<std::int32_t>(static_cast<std::uint32_t>(v)), std::to_string(v));
    FUZZ_CHECK(CNumeric::Parse(std::to_string(v)) == n, std::to_string(v));
    FUZZ_CHECK((n < m) == (v < w) && (n == m) == (v == w), std::to_string(v) + " , " + std::to_string(w));
    CheckText(n, std::to_string(v));
}

void CheckConverters(FuzzInput& in) {
    CValue value;
    const std::uint32_t u = static_cast<std::uint32_t>(in.Int32());
    Converter<unsigned>::ToHost(u, value);
    FUZZ_CHECK(Converter<unsigned>::FromHost(value) == u, std::to_string(u));
    for (const bool flag : {false, true}) {
        Converter<bool>::ToHost(flag, value);
        FUZZ_CHECK(Converter<bool>::FromHost(value) == flag, "flag");
    }
    // A text goes to the host cut at its first zero byte, and comes back as the host holds it.
    const std::string text = in.Text(64);
    Converter<std::string>::ToHost(text, value);
    FUZZ_CHECK(value.GetKind() == CValue::Kind::String, Escaped(text));
    FUZZ_CHECK(Converter<std::string>::FromHost(value) == std::string(text.c_str()), Escaped(text));
    FUZZ_CHECK(&Converter<CValue>::FromHost(value).get() == &value, "the caller's value itself");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    switch (in.Below(4)) {
        case 0: CheckParsed(std::string(in.Rest())); break;
        case 1: {
            const double a = in.Double(), b = in.Double();
            CheckDouble(a);
            CheckDouble(b);
            CheckDoubleOrder(a, b);
            break;
        }
        case 2: {
            const std::int64_t v = in.Int64(), w = in.Int64();
            CheckInteger(v, w);
            break;
        }
        case 3: CheckConverters(in); break;
        default: {
            // Two numbers read from texts keep one consistent order.
            const auto a = CNumeric::TryParse(in.Text(48)), b = CNumeric::TryParse(std::string(in.Rest()));
            if (a && b) {
                const int relations = (*a < *b) + (*b < *a) + (*a == *b);
                FUZZ_CHECK(relations == 1, a->Format() + " , " + b->Format());
                FUZZ_CHECK((*a < *b) == (a->ToDouble() < b->ToDouble()) || a->ToDouble() == b->ToDouble(),
                           a->Format() + " , " + b->Format());
            }
            break;
        }
    }
    return 0;
}
