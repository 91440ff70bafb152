#pragma once
// Dates as texts (CP1251): reading the host's written forms, the default presentation, the date
// masks of Формат and the period texts of ПериодСтр.

#include <optional>
#include <string>
#include <string_view>

#include "tools/script/language/date_calendar.h"

namespace script::date_text {

using calendar::DayNumber;

// The year a two-digit year stands for: 00–29 are 2000–2029, 30–99 are 1930–1999.
int CenturyYear(int two_digits);

// The host's literal form: "дд.мм.гг" or "дд.мм.гггг" (day and month of one or two digits).
// "00.00.00", "00.00.0000" and the blank form "  .  .  " are the empty date. None when the text is
// not of this form or names no day of the calendar.
std::optional<DayNumber> ParseLiteral(std::string_view text);
// What Дата reads: the literal form, the ISO "гггг-мм-дд" that the database layer gives for a date
// column (a time after it, "гггг-мм-дд чч:мм:сс", is dropped) and "ггггммдд". Blanks around the
// text are ignored; a blank text is the empty date.
std::optional<DayNumber> ParseDate(std::string_view text);

// The default presentation, as Строка and joining texts give it: "дд.мм.гг"; empty "  .  .  ".
std::string Presentation(DayNumber day);
// Формат's date masks, in any letter case, with or without the leading type letter "Д":
//   ДДММГГ 08.12.26   ДДММГГГГ 08.12.2026   ДДМММГГ 08 декабря 26 г.   ДДМММГГГГ 08 декабря 2026 г.
//   ММММГГГГ Декабрь 2026 г.   КвКвГГГГ 4 квартал 2026 г.   ГГГГММДД 20261208
// The empty date gives the blank digit form ("  .  .  ") or, for the masks in words, "".
// None for a mask not in this list.
std::optional<std::string> FormatDate(DayNumber day, std::string_view mask);
// ПериодСтр: a whole month "Январь 2026 г.", quarter "1 квартал 2026 г.", first half-year
// "1 полугодие 2026 г.", nine months "9 месяцев 2026 г.", year "2026 г."; one day "08.12.26";
// anything else "01.12.26 - 15.12.26".
std::string PeriodText(DayNumber from, DayNumber to);

}  // namespace script::date_text
