#include "tools/script/arithmetic.h"

#include <boost/multiprecision/cpp_dec_float.hpp>
#include <cstdint>
#include <string>

#include "tools/script/russian.h"
#include "tools/script/script_error.h"

namespace script {

namespace {

using Decimal = boost::multiprecision::number<boost::multiprecision::cpp_dec_float<50>, boost::multiprecision::et_off>;

bool AsInteger(const CNumeric& n, std::int64_t& out) {
    out = n.ToInt64();
    return CNumeric(static_cast<long long>(out)) == n;
}

Decimal ToDecimal(const CNumeric& n) { return Decimal(n.Format()); }

CNumeric FromDecimal(const Decimal& d) {
    // Enough digits that the host number's own rounding to 38 digits decides.
    const auto number = CNumeric::TryParse(d.str(48, std::ios_base::scientific));
    if (!number) throw RuntimeError{{std::string(RU("Переполнение числа")), "number out of range"}};
    return *number;
}

[[noreturn]] void DivisionByZero() {
    throw RuntimeError{{std::string(RU("Деление на ноль")), "division by zero"}};
}

}  // namespace

CNumeric Add(const CNumeric& a, const CNumeric& b) {
    std::int64_t x, y, r;
    if (AsInteger(a, x) && AsInteger(b, y) && !__builtin_add_overflow(x, y, &r)) return CNumeric(static_cast<long long>(r));
    return FromDecimal(ToDecimal(a) + ToDecimal(b));
}

CNumeric Subtract(const CNumeric& a, const CNumeric& b) {
    std::int64_t x, y, r;
    if (AsInteger(a, x) && AsInteger(b, y) && !__builtin_sub_overflow(x, y, &r)) return CNumeric(static_cast<long long>(r));
    return FromDecimal(ToDecimal(a) - ToDecimal(b));
}

CNumeric Multiply(const CNumeric& a, const CNumeric& b) {
    std::int64_t x, y, r;
    if (AsInteger(a, x) && AsInteger(b, y) && !__builtin_mul_overflow(x, y, &r)) return CNumeric(static_cast<long long>(r));
    return FromDecimal(ToDecimal(a) * ToDecimal(b));
}

CNumeric Divide(const CNumeric& a, const CNumeric& b) {
    if (b == CNumeric()) DivisionByZero();
    std::int64_t x, y;
    if (AsInteger(a, x) && AsInteger(b, y) && y != -1 && x % y == 0) return CNumeric(static_cast<long long>(x / y));
    return FromDecimal(ToDecimal(a) / ToDecimal(b));
}

CNumeric Remainder(const CNumeric& a, const CNumeric& b) {
    if (b == CNumeric()) DivisionByZero();
    std::int64_t x, y;
    if (AsInteger(a, x) && AsInteger(b, y) && y != -1) return CNumeric(static_cast<long long>(x % y));
    const Decimal da = ToDecimal(a), db = ToDecimal(b);
    return FromDecimal(da - db * boost::multiprecision::trunc(da / db));
}

CNumeric Negate(const CNumeric& a) { return Subtract(CNumeric(), a); }

CNumeric Round(const CNumeric& a, int places, bool half_up) {
    const Decimal scale = boost::multiprecision::pow(Decimal(10), places);
    const Decimal scaled = boost::multiprecision::abs(ToDecimal(a) * scale);
    const Decimal half("0.5");
    Decimal rounded = half_up ? boost::multiprecision::floor(scaled + half) : boost::multiprecision::ceil(scaled - half);
    if (a < CNumeric()) rounded = -rounded;
    return FromDecimal(rounded / scale);
}

CNumeric Truncate(const CNumeric& a) {
    std::int64_t x;
    if (AsInteger(a, x)) return a;
    return FromDecimal(boost::multiprecision::trunc(ToDecimal(a)));
}

}  // namespace script
