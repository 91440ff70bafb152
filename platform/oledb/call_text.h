#pragma once
// Call texts of the database's procedures:  Name (arg, arg, ...)
// An argument is a quoted text ('' stands for one apostrophe) or a whole number, possibly
// negative; arguments are separated by commas, with any blanks around them. Blanks and one
// ';' may follow the closing parenthesis. Texts are UTF-8 here.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/oledb/row_cursor.h"

namespace oledb_backend {

struct ProcedureCall {
    std::string name;
    std::vector<ProcArg> args;
};

// The name when text is shaped like a call (blanks, a name, blanks, '('); none otherwise.
std::optional<std::string> CallName(std::string_view text);

// Reads a whole call text. Throws CursorError saying what is wrong and where.
ProcedureCall ParseCall(std::string_view text);

}  // namespace oledb_backend
