#pragma once
// The built-ins of dates and of value types, added to the language's table (builtins.h):
//   ТекущаяДата, Дата (a text, or year, month and day), ДатаГод, ДатаМесяц, ДатаЧисло, ДеньНедели,
//   ДеньГода, НомерНеделиГода, НачМесяца/КонМесяца, НачКвартала/КонКвартала, НачГода/КонГода,
//   НачНедели/КонНедели, ДобавитьМесяц, ПериодСтр, РабочаяДата, ТекущееВремя (fills its arguments
//   with hours, minutes and seconds and gives "чч:мм:сс"), ТипЗначения, ПолучитьПустоеЗначение.
// A date argument may also be a text in the forms Дата reads, or the empty value (the empty date).
// Over the empty date the parts are 0 and the period edges are the empty date.

#include <vector>

#include "tools/script/language/builtins.h"

namespace script {

// The table with the date built-ins after its own.
std::vector<Builtin> WithDateBuiltins(std::vector<Builtin> table);

// Формат's date branch: the date (requires IsDate) in the mask's form (date_text.h); a mask not
// known is a run-time error.
CValue FormatDateValue(const CValue& date, const CValue& mask);

}  // namespace script
