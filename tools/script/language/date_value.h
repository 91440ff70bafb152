#pragma once
// The language's date value. The platform's CValue knows the empty value, numbers, texts and
// objects only (the database layer beneath it switches over exactly those), so the runner carries
// a date as a small immutable object of its own inside a CValue: type "Дата", type number 3, like
// the host's date. Copies of the value share the object; it is never changed, so sharing is safe.
// Operators and built-ins recognise it by AsDate and treat it as a value, never by identity.

#include <optional>
#include <string>

#include "platform/runtime/context.h"
#include "tools/script/language/date_calendar.h"

namespace script {

class DateObject : public CBLContext {
public:
    explicit DateObject(calendar::DayNumber day) : day_(day) {}
    CRuntimeClass* GetRuntimeClass() const override;
    const char* DisplayTypeName() const override;  // "Дата"
    long GetValueType() const override;            // 3

    calendar::DayNumber day() const { return day_; }

    static CRuntimeClass classDateObject;  // not creatable by name

private:
    const calendar::DayNumber day_;
};

// A value holding this day (calendar::kEmptyDate: the empty date).
CValue DateValue(calendar::DayNumber day);
// The day a value holds when it is a date; none for any other value.
std::optional<calendar::DayNumber> AsDate(const CValue& value);
inline bool IsDate(const CValue& value) { return AsDate(value).has_value(); }
bool IsEmptyDate(const CValue& value);

// A value read as a date where a date is expected: a date itself, the empty value as the empty
// date, a text in the forms Дата reads (date_text.h). Anything else, or a text that is no date, is a
// run-time error.
calendar::DayNumber ReadDate(const CValue& value);
// The run-time error for what names no date; shown: the offending text or arguments (CP1251).
[[noreturn]] void NotADate(const std::string& shown);
// The day, or the run-time error "out of range" when there is none.
calendar::DayNumber DayInRange(std::optional<calendar::DayNumber> day);

// The text form of any value as the language shows it (Строка, joining texts, Сообщить): a date's
// presentation "дд.мм.гг", otherwise CValue::GetString.
std::string TextOf(const CValue& value);

}  // namespace script
