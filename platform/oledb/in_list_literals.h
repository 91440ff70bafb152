#pragma once
// Forced parameterisation of one well-defined class of SQLite statement texts. A row query that
// carries its keys in its text ("... WHERE id IN (7, 9, 12)") differs from the last one only in
// those literals, yet would be parsed and planned anew every time. Where every element of an
// "IN (...)" list is a plain literal, the list means exactly the same with its literals bound as
// parameters (neither literals nor parameters have affinity), so the text with them taken out can
// name one prepared statement that every such text reuses.
//
// Plain literals: a string literal ('it''s'), or an unsigned decimal integer without leading zeros
// that fits in 64 bits. A list holding anything else (a sign, a real, a blob, a name, a comment, a
// subquery) is left as it is. A text with a "?" parameter of its own, or a token SQLite refuses,
// is never shaped, so the anonymous parameters are exactly the taken-out literals, in text order.
// The text is read token by token as SQLite reads it (sqlite_tokens.h): an "in(5)" inside the
// parameter name "@a(in(5)" is no list.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/oledb/row_cursor.h"

namespace oledb_backend {

struct ShapedText {
    std::string shape;            // the text with each taken-out literal replaced by "?"
    std::vector<SqlValue> values;  // the literals' values, in text order
    // The shape's parameters in SQLite's numbering: a named one's name at its first use, an empty
    // name for each taken-out literal.
    std::vector<std::string> parameters;
    // Each list whose literals were taken out: where its "IN" word begins in shape, and which of
    // values are its literals (count of them from first).
    struct List {
        std::size_t in_at, first, count;
    };
    std::vector<List> lists;
};

// The text's shape and literals; none when no IN list of it qualifies.
std::optional<ShapedText> TakeOutInListLiterals(std::string_view sql);

}  // namespace oledb_backend
