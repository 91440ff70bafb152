#pragma once
// Формат(Значение, Форма): a value as text in the host's forms.
//   "Ч<длина>.<точность>[.<дробный разделитель>[<разделитель триад>]]": a number rounded half away
//   from zero to точность places (its zeros kept), the integer part grouped by threes when a triad
//   separator is given, blanks before it up to длина characters (a longer number is shown whole);
//   "С<длина>": a text cut or padded with blanks on the right to exactly длина characters;
//   a date value: the date branch (date_builtins.h) takes the form.
// The letters may be Russian or Latin (N, S), in any case; any other form is a run-time error.

#include <string>

#include "platform/runtime/value.h"

namespace script {

CValue FormatValue(const CValue& value, const std::string& form);

// The number in the Ч form's parts (exposed for tests): width 0 pads nothing; separators are
// single CP1251 characters, triad '\0' for none.
std::string FormatNumber(const CNumeric& number, int width, int places, char decimal, char triad);

}  // namespace script
