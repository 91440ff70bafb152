#pragma once
// The values bound for one execution, matched against the parameters its statement text writes
// (Connection::ParametersIn). A parameter takes the value bound under its very name, else the one
// under its name in another letter case (FoldCp1251), as the host matches names; ":lo" and ":LO"
// stay two parameters where both names have values. A numbered parameter ("?", "?2", "$2") takes
// the value bound under its number ("2"). Every parameter must have a value and every value its
// parameter; a plain "?" may not stand beside named parameters (its number would be SQLite's count
// of both), and a parameter with values only under several other spellings is refused.

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/oledb/connection.h"

namespace oledb_backend {

// One value bound for the next execution.
struct BoundValue {
    std::string given;  // the name as the caller gave it (CP1251), for messages
    std::string name;   // the same without its ':', '@', '$' or '#'
    SqlValue value;
};

// Parameters and values that do not meet; what() is the host's message, in CP1251.
struct ParameterMismatch : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The values by the names the engine binds them (Connection::RunStatement). bound is in binding
// order; a later value under the very same name replaces an earlier one. Throws ParameterMismatch.
NamedParams MatchParameters(const std::vector<ParameterRef>& refs, const std::vector<BoundValue>& bound);

}  // namespace oledb_backend
