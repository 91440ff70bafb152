#include "tools/script/language/value_ops.h"

#include "tools/script/bridge/host_text.h"
#include "tools/script/bridge/russian.h"
#include "tools/script/bridge/script_error.h"
#include "tools/script/language/arithmetic.h"
#include "tools/script/language/date_ops.h"
#include "tools/script/language/date_value.h"

namespace script {

namespace {

[[noreturn]] void ObjectOperand() {
    throw RuntimeError{{std::string(RU("Недопустимая операция над объектом")), "an object cannot take this operation"}};
}

// -1, 0 or 1.
int Order(const CValue& a, const CValue& b) {
    if (a.GetKind() == CValue::Kind::String) {
        const int c = a.m_String.view().compare(b.GetString().view());
        return (c > 0) - (c < 0);
    }
    const CNumeric x = a.GetNumeric(), y = b.GetNumeric();
    return x < y ? -1 : (y < x ? 1 : 0);
}

}  // namespace

bool IsTrue(const CValue& value) {
    switch (value.GetKind()) {
        case CValue::Kind::Number: return value.GetNumeric() != CNumeric();
        case CValue::Kind::String: return value.GetNumeric() != CNumeric();
        case CValue::Kind::Object: return !IsEmptyDate(value);
        case CValue::Kind::Empty: break;
    }
    return false;
}

CValue Boolean(bool value) { return NumberValue(CNumeric(value ? 1 : 0)); }

void CheckTextLength(std::size_t length, std::size_t max_text_length) {
    if (length > max_text_length) throw RuntimeError{{std::string(RU("Слишком длинная строка")), "text too long"}};
}

CValue Arithmetic(BinaryOp op, const CValue& a, const CValue& b, std::size_t max_text_length) {
    if (CValue dated; DateArithmetic(op, a, b, dated)) return dated;
    if (a.GetKind() == CValue::Kind::Object || b.GetKind() == CValue::Kind::Object) {
        if (!(op == BinaryOp::Add && a.GetKind() == CValue::Kind::String)) ObjectOperand();
    }
    if (op == BinaryOp::Add && a.GetKind() == CValue::Kind::String) {
        const CString right(TextOf(b));
        const std::string_view left = a.m_String.view();
        if (right.view().size() > max_text_length) CheckTextLength(max_text_length + 1, max_text_length);
        CheckTextLength(left.size() + right.view().size(), max_text_length);
        std::string joined;
        joined.reserve(left.size() + right.view().size());
        joined.append(left).append(right.view());
        return TextValue(joined);
    }
    const CNumeric x = a.GetNumeric(), y = b.GetNumeric();
    switch (op) {
        case BinaryOp::Add: return NumberValue(Add(x, y));
        case BinaryOp::Subtract: return NumberValue(Subtract(x, y));
        case BinaryOp::Multiply: return NumberValue(Multiply(x, y));
        case BinaryOp::Divide: return NumberValue(Divide(x, y));
        default: return NumberValue(Remainder(x, y));
    }
}

bool Compare(BinaryOp op, const CValue& a, const CValue& b) {
    if (bool dated = false; DateCompare(op, a, b, dated)) return dated;
    const bool objects = a.GetKind() == CValue::Kind::Object || b.GetKind() == CValue::Kind::Object;
    if (objects || a.GetKind() == CValue::Kind::Empty) {
        // Identity for objects; the empty value equals only itself.
        if (op == BinaryOp::Equal) return (a == b) != 0;
        if (op == BinaryOp::NotEqual) return (a == b) == 0;
        if (objects) ObjectOperand();
    }
    const int order = Order(a, b);
    switch (op) {
        case BinaryOp::Equal: return order == 0;
        case BinaryOp::NotEqual: return order != 0;
        case BinaryOp::Less: return order < 0;
        case BinaryOp::Greater: return order > 0;
        case BinaryOp::LessEqual: return order <= 0;
        default: return order >= 0;
    }
}

}  // namespace script
