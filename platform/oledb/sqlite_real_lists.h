#pragma once
// Exact REAL keys for shaped IN lists. A key list arrives as quoted texts ("id IN ('0.1', ...)"),
// and SQLite compares each with the list's left operand after applying that operand's affinity.
// Against a REAL column a numeric text becomes SQLite's reading of it, which is not always the
// nearest double (and an integer text beyond 2^53 stays an integer no double equals), so a row
// could miss its own key. There the key is bound as its exact double (exact_real.h) instead.
//
// Against any other affinity the text is what compares: TEXT and none compare its very bytes (a
// bound double would become SQLite's own text of it), INTEGER and NUMERIC compare SQLite's reading
// as ever. So a list is given doubles only where the operand is proven a REAL column: a bare
// column name ("c", "t.c") standing alone in a WHERE clause (after WHERE, AND, OR, NOT or "("), of
// a statement without WITH, BETWEEN or compound SELECTs; its declared type is asked of SQLite by
// preparing "SELECT <operand> FROM <that select's FROM clause>", which names the same column.
// Anything else, or a probe SQLite refuses, keeps every text as it is. The probe is prepared (never
// run) only for a list holding a numeric text, on the statement's connection just before it is
// bound; another process changing that column's type in between would go unseen.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/oledb/in_list_literals.h"

struct sqlite3;

namespace oledb_backend {

// The probe naming the left operand of the list whose IN word begins at in_at in shape; empty when
// the operand is not a bare column name of a WHERE clause as above.
std::string OperandProbe(std::string_view shape, std::size_t in_at);

// The literals to bind for shaped on db: its values with each numeric text of a list against a
// REAL column replaced by its exact double; none when no literal changes.
std::optional<std::vector<SqlValue>> ExactRealKeys(sqlite3* db, const ShapedText& shaped);

}  // namespace oledb_backend
