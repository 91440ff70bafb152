#pragma once
// Index tags: named orders of a table, as a Visual FoxPro table has them. The catalogue
// table rowlark_index_tags inside the database maps (table, tag) to a key expression over
// the table, the table's key field and a kind, and every tag owns one real SQLite index
// on (key expression, key field) that QueryRows walks.
//
// Tag and table names are matched without regard to ASCII letter case ("NAME" finds the
// tag "name"), as FoxPro users expect; Cyrillic letter case is not folded.
//
// The indexed value is not the expression itself but a normalised form of it (KeyExpression):
//   text tags:   the expression as text with trailing white space (blank, tab, CR, LF, VT, FF)
//                removed, NULL as "". The provider trims index texts it sends back, so a
//                trimmed index value is what lets it find its start row again. A text tag orders
//                by bytes (code points), or in the Russian order (database/collation: letters
//                without regard to case, Ё with Е) when it was added so; tags added before the
//                order was chosen, and their files, keep the byte order.
//   number tags: the expression as a number (CAST AS NUMERIC), NULL as 0, so every value
//                compares numerically and reads back from its text; where the expression is a
//                column of exact decimal texts (platform/oledb/sqlite_decimal_columns.h), which a
//                number would round, the text itself, NULL as "0", under the numeric collation of
//                decimal texts (database/collation/decimal_order.h).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/oledb/sqlite_tags.h"

struct sqlite3;

namespace oledb_backend {
class Connection;
}

namespace rowlark::database {

enum class TagKind { Text, Number };
enum class TextOrder { Bytes, Russian };

struct IndexTag {
    std::string table;       // the table's name as the catalogue holds it
    std::string tag;         // the tag's name as it was added
    std::string expression;  // SQL expression over the table's columns, as it was added
    std::string key_field;   // the key column's name as the table declares it
    TagKind kind = TagKind::Text;
    TextOrder order = TextOrder::Bytes;  // how a text tag's values compare; number tags: Bytes
    bool decimal_text = false;  // a number tag over a column of exact decimal texts (asked of the table)
    std::string index_name;  // the SQLite index that serves the tag
};

inline constexpr const char* kTagCatalogue = oledb_backend::kSqliteTagCatalogue;

// Adds a tag and builds its index, all or nothing (inside a savepoint, so it may run in
// the caller's transaction). Throws DatabaseError for an unknown table or key field, an
// empty tag name or expression, an expression SQLite refuses in an index, a tag that
// exists already, a key field that is not unique within the expression's values, a table that
// is the catalogue itself, or an expression that is not exactly one value (two statements, a list),
// and a number tag in the Russian order. A Russian-order tag needs the collation on db
// (sqlite_russian_order.h; the layer's connections have it), a number tag over decimal texts
// the collation of those, which is registered on db where it lacks it.
void AddIndexTag(sqlite3* db, std::string_view table, std::string_view tag, std::string_view expression,
                 std::string_view key_field, TagKind kind, TextOrder order = TextOrder::Bytes);

// The tag of that table, or none when the table or the tag is unknown (or there is no catalogue).
std::optional<IndexTag> FindIndexTag(sqlite3* db, std::string_view table, std::string_view tag);

// Every tag of every table, ordered by table then tag (ASCII letter case ignored); none
// without a catalogue. Reads only: a database without tags is left as it is.
std::vector<IndexTag> ListIndexTags(sqlite3* db);

// Removes the tag of that table and its index, all or nothing (inside a savepoint), and answers
// what it removed. An index already gone is no obstacle: the catalogue row still goes. The
// table's own rows are never touched. Throws DatabaseError when the tag is unknown.
IndexTag DropIndexTag(sqlite3* db, std::string_view table, std::string_view tag);

// The same four on a connection of the backend seam, which must be a SQLite database (else they
// throw oledb_backend::CursorError).
void AddIndexTag(oledb_backend::Connection& connection, std::string_view table, std::string_view tag,
                 std::string_view expression, std::string_view key_field, TagKind kind,
                 TextOrder order = TextOrder::Bytes);
std::optional<IndexTag> FindIndexTag(oledb_backend::Connection& connection, std::string_view table, std::string_view tag);
std::vector<IndexTag> ListIndexTags(oledb_backend::Connection& connection);
IndexTag DropIndexTag(oledb_backend::Connection& connection, std::string_view table, std::string_view tag);

// The normalised SQL expression that the tag's index holds (see above).
std::string KeyExpression(const IndexTag& tag);

// A text as a text tag's index holds it: trailing white space removed as KeyExpression removes it.
std::string TrimmedIndexText(std::string_view text);

// "text" / "number" and back; none for any other word.
const char* TagKindName(TagKind kind);
std::optional<TagKind> ParseTagKind(std::string_view name);

// "bytes" / "russian" and back; none for any other word.
const char* TextOrderName(TextOrder order);
std::optional<TextOrder> ParseTextOrder(std::string_view name);

}  // namespace rowlark::database
