#include "tools/script/language/arithmetic.h"

#include <optional>
#include <string>

#include "tools/script/bridge/russian.h"
#include "tools/script/bridge/script_error.h"

namespace script {

namespace {

CNumeric InRange(const std::optional<CNumeric>& number) {
    if (!number) throw RuntimeError{{std::string(RU("Переполнение числа")), "number out of range"}};
    return *number;
}

void RequireDivisor(const CNumeric& b) {
    if (b == CNumeric()) throw RuntimeError{{std::string(RU("Деление на ноль")), "division by zero"}};
}

}  // namespace

CNumeric Add(const CNumeric& a, const CNumeric& b) { return InRange(CNumeric::Sum(a, b)); }
CNumeric Subtract(const CNumeric& a, const CNumeric& b) { return InRange(CNumeric::Difference(a, b)); }
CNumeric Multiply(const CNumeric& a, const CNumeric& b) { return InRange(CNumeric::Product(a, b)); }

CNumeric Divide(const CNumeric& a, const CNumeric& b) {
    RequireDivisor(b);
    return InRange(CNumeric::Quotient(a, b));
}

CNumeric Remainder(const CNumeric& a, const CNumeric& b) {
    RequireDivisor(b);
    return InRange(CNumeric::Remainder(a, b));
}

CNumeric Negate(const CNumeric& a) { return a.Negated(); }

CNumeric Round(const CNumeric& a, int places, bool half_up) {
    return InRange(a.Rounded(places, half_up ? CNumeric::Rounding::kHalfAwayFromZero : CNumeric::Rounding::kHalfTowardZero));
}

CNumeric Truncate(const CNumeric& a) { return InRange(a.Rounded(0, CNumeric::Rounding::kTowardZero)); }

}  // namespace script
