#pragma once
// The parameters of a statement text as SQLite reads and numbers them, found by its tokenizer
// (sqlite_tokens.h), so none is seen inside a string, a quoted name or a comment. Named ones
// (":a", "@a", "$a", "#a", with the suffixes SQLite takes; "$1" too) bind by their name without
// the first byte; "?NNN" by NNN (without leading zeros); a plain "?" by the number SQLite gives it: one past
// the highest so far, where each named parameter's first appearance took the next number too.

#include <string_view>
#include <vector>

#include "platform/oledb/connection.h"

namespace oledb_backend {

std::vector<ParameterRef> SqliteParametersIn(std::string_view sql);

}  // namespace oledb_backend
