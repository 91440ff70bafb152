#include "tools/script/language/date_ops.h"

#include "tools/script/bridge/host_text.h"
#include "tools/script/bridge/russian.h"
#include "tools/script/bridge/script_error.h"
#include "tools/script/language/date_value.h"

namespace script {

namespace {

[[noreturn]] void NotForDates() {
    throw RuntimeError{{std::string(RU("Недопустимая операция над датой")), "a date cannot take this operation"}};
}

// The day of a date operand of arithmetic; the empty date has none to count from.
calendar::DayNumber CountingDay(calendar::DayNumber day) {
    if (day == calendar::kEmptyDate)
        throw RuntimeError{{std::string(RU("Недопустимая операция над пустой датой")),
                            "the empty date cannot take part in arithmetic"}};
    return day;
}

CValue Shifted(calendar::DayNumber day, const CValue& days, bool backwards) {
    if (days.GetKind() == CValue::Kind::Object) NotForDates();
    const std::int64_t count = days.GetNumeric().ToInt64();  // saturating; AddDays refuses the extremes
    const std::int64_t signed_count = backwards ? -count : count;
    return DateValue(DayInRange(calendar::AddDays(CountingDay(day), signed_count)));
}

}  // namespace

bool DateArithmetic(BinaryOp op, const CValue& a, const CValue& b, CValue& result) {
    const auto left = AsDate(a), right = AsDate(b);
    if (!left && !right) return false;
    if (left && right) {
        if (op != BinaryOp::Subtract) NotForDates();
        result = NumberValue(CNumeric(static_cast<long long>(CountingDay(*left)) - CountingDay(*right)));
        return true;
    }
    if (left) {
        if (op != BinaryOp::Add && op != BinaryOp::Subtract) NotForDates();
        result = Shifted(*left, b, op == BinaryOp::Subtract);
        return true;
    }
    // A number (or the empty value) on the left of a date: only addition means something.
    if (a.GetKind() == CValue::Kind::String || a.GetKind() == CValue::Kind::Object) return false;
    if (op != BinaryOp::Add) NotForDates();
    result = Shifted(*right, a, false);
    return true;
}

bool DateCompare(BinaryOp op, const CValue& a, const CValue& b, bool& result) {
    const bool left = IsDate(a), right = IsDate(b);
    if (!left && !right) return false;
    const CValue& other = left ? b : a;
    if (other.GetKind() == CValue::Kind::Object && !IsDate(other)) return false;  // objects' own rules
    const calendar::DayNumber x = ReadDate(a), y = ReadDate(b);
    switch (op) {
        case BinaryOp::Equal: result = x == y; break;
        case BinaryOp::NotEqual: result = x != y; break;
        case BinaryOp::Less: result = x < y; break;
        case BinaryOp::Greater: result = x > y; break;
        case BinaryOp::LessEqual: result = x <= y; break;
        default: result = x >= y; break;
    }
    return true;
}

}  // namespace script
