#pragma once
// The language's operators where a date takes part (value_ops.h hands them over):
//   date ± number and number + date: a date that many days later or earlier (the fraction dropped);
//   date − date: the number of days between them; any other operator on a date is a run-time error,
//   and so is arithmetic on the empty date or a result outside the calendar (date_calendar.h).
//   A text joined with a date (text + date) takes the date's presentation: value_ops.h does that.
// Comparisons: the other operand is read as a date (the empty value as the empty date, a text in
// the forms Дата reads); the empty date lies before every day; a number or a text that is no date
// cannot be compared with a date (run-time error).

#include "platform/runtime/value.h"
#include "tools/script/language/syntax_tree.h"

namespace script {

// True, with result set, when the operation is a date's (a date operand, the left one not a text).
bool DateArithmetic(BinaryOp op, const CValue& a, const CValue& b, CValue& result);
// True, with result set, when a date is compared with a date or a value that is not an object.
bool DateCompare(BinaryOp op, const CValue& a, const CValue& b, bool& result);

}  // namespace script
