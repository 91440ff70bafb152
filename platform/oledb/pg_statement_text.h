#pragma once
// A statement text with parameters as the SQLite side takes them made into one the server takes.
// Numbered ones keep their numbers: "$N" and "?N" become $N, and a plain "?" the number SQLite
// would give it (one past the highest so far, a name's first appearance counting as one); "??"
// is the server's own operator "?", as JDBC writes it. Each named one (":name", "@name", "$name")
// becomes a number after the highest of those, one per appearance, so that each takes the type
// of its own place. None is seen inside quoted texts, quoted names, comments, dollar-quoted
// texts or "::" casts. Texts are UTF-8.

#include <string>
#include <string_view>
#include <vector>

#include "platform/oledb/connection.h"

namespace oledb_backend {

struct PgStatementText {
    std::string sql;                 // the one statement, without its ';' and what follows
    std::vector<std::string> names;  // names[i] (without its prefix) is parameter $(numbered + i + 1)
    int numbered = 0;                // the highest number of a numbered parameter
    std::vector<ParameterRef> refs;  // the parameters as Connection::ParametersIn gives them
};

// Throws CursorError, as SQLite's preparation does, for a text without a statement ("empty
// statement text") and for one with more than one ("more than one statement in one command").
PgStatementText TranslateNamedParams(std::string_view text);

}  // namespace oledb_backend
