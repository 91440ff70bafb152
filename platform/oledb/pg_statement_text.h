#pragma once
// A statement text with named parameters (":name", "@name", "$name", as the SQLite side takes
// them) made into one the server takes: each name becomes a numbered parameter ($1, $2, ...; one
// number per appearance, so that each takes the type of its own place). Names are not seen inside quoted texts, quoted
// names, comments, dollar-quoted texts or "::" casts. Numbered parameters written in the text
// keep their numbers; the names take the numbers after the highest of them. Texts are UTF-8.

#include <string>
#include <string_view>
#include <vector>

namespace oledb_backend {

struct PgStatementText {
    std::string sql;                 // the one statement, without its ';' and what follows
    std::vector<std::string> names;  // names[i] (without its prefix) is parameter $(numbered + i + 1)
    int numbered = 0;                // the highest $N written in the text itself
};

// Throws CursorError, as SQLite's preparation does, for a text without a statement ("empty
// statement text") and for one with more than one ("more than one statement in one command").
PgStatementText TranslateNamedParams(std::string_view text);

}  // namespace oledb_backend
