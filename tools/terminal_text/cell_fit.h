#pragma once
// A cell fitted to its column without ever showing part of a value. A text too wide is cut with an
// ellipsis; a number, date or time too wide is shown as '#' across the column, as a spreadsheet marks
// a number its cell cannot hold: any cut of "18.0000", "-1 234 567" or "08.12.2026" leaves digits
// that read as another value ("18.0", "-1 234", "08.12.20"), and an ellipsis after them would not
// undo that.

#include <cstddef>
#include <string>
#include <string_view>

#include "tools/terminal_text/showable_text.h"

namespace terminal_text {

// Whether a text reads as a value that a cut would change: digits with an optional sign in front,
// parted by single marks that numbers, dates and times are written with (. , : / - + ' T, a blank,
// a no-break or thin space), beginning and ending with a digit.
bool ReadsAsValue(std::string_view utf8);

// Exactly width columns, as Fit makes them, except that a text which reads as a value and does not
// fit is width '#' signs. Stand-ins applied.
std::string FitCell(std::string_view utf8, std::size_t width, Align align = Align::kLeft);

}  // namespace terminal_text
