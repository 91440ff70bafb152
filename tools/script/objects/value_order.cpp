#include "tools/script/objects/value_order.h"

#include "tools/script/language/date_value.h"

namespace script {

namespace {

enum Rank { kEmpty, kNumber, kDate, kText, kObject };

Rank RankOf(const CValue& value) {
    switch (value.GetKind()) {
        case CValue::Kind::Empty: return kEmpty;
        case CValue::Kind::Number: return kNumber;
        case CValue::Kind::String: return kText;
        case CValue::Kind::Object: break;
    }
    return IsDate(value) ? kDate : kObject;
}

}  // namespace

int CompareValues(const CValue& a, const CValue& b) {
    const CValue::Kind kind = a.GetKind();
    if (kind == CValue::Kind::Number && b.GetKind() == kind) {
        const CNumeric x = a.GetNumeric(), y = b.GetNumeric();
        return x < y ? -1 : (y < x ? 1 : 0);
    }
    if (kind == CValue::Kind::String && b.GetKind() == kind) {
        const int c = a.m_String.view().compare(b.m_String.view());
        return (c > 0) - (c < 0);
    }
    const Rank x = RankOf(a), y = RankOf(b);
    if (x != y) return x < y ? -1 : 1;
    if (x != kDate) return 0;
    const calendar::DayNumber p = *AsDate(a), q = *AsDate(b);
    return p < q ? -1 : (q < p ? 1 : 0);
}

bool SameValues(const CValue& a, const CValue& b) {
    if (a.GetKind() == CValue::Kind::Object && IsDate(a)) return IsDate(b) && *AsDate(a) == *AsDate(b);
    return (a == b) != 0;
}

}  // namespace script
