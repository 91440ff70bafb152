#include "tools/script/language/date_value.h"

#include "tools/script/bridge/russian.h"
#include "tools/script/bridge/script_error.h"
#include "tools/script/language/date_text.h"

namespace script {

CRuntimeClass DateObject::classDateObject = {"CDateObject", sizeof(DateObject), 0xFFFF, nullptr,
                                             &CBLContext::classCBLContext};

CRuntimeClass* DateObject::GetRuntimeClass() const { return &classDateObject; }
const char* DateObject::DisplayTypeName() const { return RU("Дата").data(); }
long DateObject::GetValueType() const { return 3; }

CValue DateValue(calendar::DayNumber day) {
    CValue value;
    auto* object = new DateObject(day);  // starts with its creator's reference, which the value takes over
    value.AssignContext(object);
    object->DecrRef();
    return value;
}

std::optional<calendar::DayNumber> AsDate(const CValue& value) {
    const CBLContext* object = value.GetContext();
    if (object == nullptr || object->GetRuntimeClass() != &DateObject::classDateObject) return std::nullopt;
    return static_cast<const DateObject*>(object)->day();
}

bool IsEmptyDate(const CValue& value) {
    const auto day = AsDate(value);
    return day && *day == calendar::kEmptyDate;
}

calendar::DayNumber ReadDate(const CValue& value) {
    if (const auto day = AsDate(value)) return *day;
    if (value.GetKind() == CValue::Kind::Empty) return calendar::kEmptyDate;
    if (value.GetKind() != CValue::Kind::String)
        throw RuntimeError{{std::string(RU("Ожидается значение типа Дата")), "a date expected"}};
    const std::string text(value.m_String.view());
    if (const auto day = date_text::ParseDate(text)) return *day;
    NotADate(text);
}

void NotADate(const std::string& shown) {
    throw RuntimeError{{std::string(RU("Неверное значение даты")) + " (" + shown + ")", "not a date (" + shown + ")"}};
}

calendar::DayNumber DayInRange(std::optional<calendar::DayNumber> day) {
    if (!day) throw RuntimeError{{std::string(RU("Дата вне допустимого диапазона")), "date out of range"}};
    return *day;
}

std::string TextOf(const CValue& value) {
    if (const auto day = AsDate(value)) return date_text::Presentation(*day);
    return std::string(value.GetString().view());
}

}  // namespace script
