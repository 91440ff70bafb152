#pragma once
// Forced parameterisation of the server's row queries: a text that carries its keys as quoted
// literals ("... WHERE id IN ('7', '9')") differs from the next window's only in them, yet would be
// parsed and planned anew each time. Each such list becomes "= ANY($n)" with its literals bound as one
// array, so every text of one shape can run one prepared statement. It means what the list means:
// the literals, like the array's elements, take the type of the list's left side, and equality is
// that type's; a left side the server cannot type so fails to prepare, and the text runs as itself.
//
// Only lists of plain string literals ('it''s'; no E'', U&'' or $$ texts, no numbers, no NULL) are
// taken, never a NOT IN list. Texts are read as the server reads them: nothing inside a quoted text
// or name, a comment or a dollar-quoted text is seen. Requires: standard_conforming_strings on.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace oledb_backend {

struct PgShapedText {
    std::string shape;                // the text with each list as "= ANY($n)"
    std::vector<std::string> arrays;  // each list's array literal ({"7","9"}), bound as $first, $first+1, ...
};

// The text's shape, its lists numbered from parameter first on; none when no list qualifies.
std::optional<PgShapedText> TakeOutPgInLists(std::string_view sql, int first);

}  // namespace oledb_backend
