#pragma once
// What a database declares about its tables, read through the backend seam: its tables, their
// columns with declared types and sizes, primary keys, the index tags the database's procedures
// walk, and row counts. Made by Connection::OpenCatalogue; it shares its connection, so it may
// outlive every other holder. Names match in any ASCII letter case and are answered as declared.
// Every call throws CursorError with the database's message (UTF-8) when it cannot answer.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace oledb_backend {

// ASCII letters A-Z made small, every other byte kept: how SQL names and procedure names are matched.
std::string AsciiLower(std::string_view text);
// An SQL name in double quotes, each quote inside it doubled: any name travels, in either engine.
std::string QuotedName(std::string_view name);

struct ColumnInfo {
    std::string name;           // as the table declares it
    std::string declared_type;  // as declared ("VARCHAR(20)", "numeric(10,2)"); empty when none
    int size = 0;               // the declared length or precision; 0 when none is declared
    int scale = 0;              // the declared digits after the point; 0 when none
};

struct TagInfo {
    std::string tag;         // as it was added
    std::string key_field;   // as the table declares it
    std::string expression;  // the tag's expression over the table, as it was added
    std::string kind;        // "text" or "number"
    std::string order_sql;   // the tag's order as SQL over the table: its value as the index holds it
};

// A row of a tag's order as statistics name it: the tag's value there (as text, as its index holds
// it) and, where they tell the rows of that value apart, a key at or before which the row stands
// among them ("" where they do not: the value's first row).
struct TagRow {
    std::string value;
    std::string key;
};

class Catalogue {
public:
    virtual ~Catalogue() = default;
    Catalogue(const Catalogue&) = delete;
    Catalogue& operator=(const Catalogue&) = delete;

    // Whether the database can hold index tags at all (a server without the tag functions cannot).
    virtual bool KeepsTags() = 0;
    // The table's name as declared; none when there is no such table. A SQLite view is none; a
    // server answers the relations its tag functions find (rowlark_find_table: views as well).
    virtual std::optional<std::string> Table(const std::string& name) = 0;
    // Requires: table as Table() answered it. Its columns in declared order.
    virtual std::vector<ColumnInfo> Columns(const std::string& table) = 0;
    // The primary key's columns in key order; none when the table has no declared key.
    virtual std::vector<std::string> PrimaryKey(const std::string& table) = 0;
    // The table's index tags, in the order they were added; none without a tag catalogue.
    virtual std::vector<TagInfo> Tags(const std::string& table) = 0;
    // The number of rows the table holds now.
    virtual std::int64_t RowCount(const std::string& table) = 0;

    // Tag statistics: where a row stands in a tag's order without counting rows, estimated from what
    // the database keeps of the tag (a SQLite tag's sample, database/tag_quantiles.h; a server's
    // statistics of the tag's index after ANALYZE). Values are compared in the database, in the
    // tag's own order. Requires: tag as Tags(table) answered it.
    // The place of the row with that key (as text) from 0 (the first row) to 1 (the last); none when
    // the database keeps no statistics of the tag or has no such row.
    virtual std::optional<double> TagPlace(const std::string& table, const TagInfo& tag, const std::string& key) = 0;
    // The row nearest that place (0 to 1), found as TagPlace places rows: within a value many rows
    // share, by the key; none without statistics.
    virtual std::optional<TagRow> TagRowAt(const std::string& table, const TagInfo& tag, double place) = 0;
    // How many rows stand in the tag's order from the row with key from (itself included) up to the
    // first row at or after row (none when there is no row with key from). Counted in the tag's
    // index: it takes as long as there are rows between. Requires: row.key not empty.
    virtual std::optional<std::int64_t> TagRowsBetween(const std::string& table, const TagInfo& tag,
                                                       const std::string& from, const TagRow& row) = 0;
    // The tag's value at TagRowAt's row; none without statistics.
    std::optional<std::string> TagValueAt(const std::string& table, const TagInfo& tag, double place);

    // The column of that name: the exact name first, else the first in any ASCII letter case.
    std::optional<ColumnInfo> Column(const std::string& table, const std::string& name);
    // The tag of that name, in any ASCII letter case.
    std::optional<TagInfo> Tag(const std::string& table, const std::string& tag);

protected:
    Catalogue() = default;

    // TagRowsBetween's count as SQL over two tables of one row each, rowlark_from (from's) and rowlark_to
    // (the row's), with columns rowlark_v and rowlark_k: the rest of from's value, the values between, the
    // start of the row's value, each one range of the tag's index. table, value and key as SQL: the table
    // and the tag's value and key over it.
    static std::string RowsBetweenSql(const std::string& table, const std::string& value, const std::string& key);
};

}  // namespace oledb_backend
