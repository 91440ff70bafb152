#include "database/index_tags.h"

#include <sqlite3.h>

#include <cctype>
#include <memory>

#include "database/collation/sqlite_decimal_order.h"
#include "database/collation/sqlite_russian_order.h"
#include "database/database_error.h"
#include "database/statement.h"
#include "database/tag_quantiles.h"
#include "platform/oledb/catalogue.h"
#include "platform/oledb/sqlite_connection.h"
#include "platform/oledb/sqlite_decimal_columns.h"
#include "platform/oledb/sqlite_tag_quantiles.h"

namespace rowlark::database {

namespace {

using oledb_backend::AsciiLower;

constexpr const char* kOrderColumnDefinition =
    "text_order TEXT NOT NULL DEFAULT 'bytes' CHECK (text_order IN ('bytes', 'russian'))";

bool HasOrderColumn(sqlite3* db) {
    Statement find(db, "SELECT 1 FROM pragma_table_info('rowlark_index_tags') WHERE name = 'text_order'");
    return find.Step();
}

void CreateCatalogue(sqlite3* db) {
    Execute(db,
            "CREATE TABLE IF NOT EXISTS rowlark_index_tags ("
            " table_name TEXT NOT NULL COLLATE NOCASE,"
            " tag TEXT NOT NULL COLLATE NOCASE,"
            " expression TEXT NOT NULL,"
            " key_field TEXT NOT NULL,"
            " kind TEXT NOT NULL CHECK (kind IN ('text', 'number')),"
            " index_name TEXT NOT NULL UNIQUE,"
            " PRIMARY KEY (table_name, tag))");
    // A catalogue made before text tags chose their order gets the column; its tags stay in byte order.
    if (!HasOrderColumn(db))
        Execute(db, std::string("ALTER TABLE rowlark_index_tags ADD COLUMN ") + kOrderColumnDefinition);
}

// The column's name as the table declares it, or none.
std::optional<std::string> DeclaredColumn(sqlite3* db, std::string_view table, std::string_view column) {
    Statement find(db, "SELECT name FROM pragma_table_info(?1) WHERE name = ?2 COLLATE NOCASE");
    find.BindText(1, table);
    find.BindText(2, column);
    if (!find.Step()) return std::nullopt;
    return find.ColumnText(0);
}

std::string DeclaredTable(sqlite3* db, std::string_view table) {
    Statement find(db, "SELECT name FROM sqlite_schema WHERE type = 'table' AND name = ?1 COLLATE NOCASE");
    find.BindText(1, table);
    if (!find.Step()) throw DatabaseError("index tag: unknown table " + Quoted(table));
    return find.ColumnText(0);
}

// Rolls the savepoint back unless Release() was reached, so a failed step leaves nothing behind.
class Savepoint {
public:
    explicit Savepoint(sqlite3* db) : db_(db) { Execute(db_, "SAVEPOINT rowlark_index_tag"); }
    ~Savepoint() {
        if (db_) sqlite3_exec(db_, "ROLLBACK TO rowlark_index_tag; RELEASE rowlark_index_tag", nullptr, nullptr, nullptr);
    }
    void Release() {
        Execute(db_, "RELEASE rowlark_index_tag");
        db_ = nullptr;
    }
    Savepoint(const Savepoint&) = delete;
    Savepoint& operator=(const Savepoint&) = delete;

private:
    sqlite3* db_;
};

// The expression is spliced into the index's SQL and into every QueryRows walk, so it must be
// exactly one value over the table: a second statement or a list would run, or index, something else.
// Prepared only, never run; the newline ends a trailing "--" comment so it cannot hide the rest.
void CheckOneValue(sqlite3* db, const std::string& table, std::string_view expression, const std::string& where) {
    // A semicolon outside quotes and comments ends a statement: refused before SQLite reads past it.
    for (std::size_t end = expression.find(';'); end != std::string_view::npos; end = expression.find(';', end + 1)) {
        if (sqlite3_complete(std::string(expression.substr(0, end + 1)).c_str()))
            throw DatabaseError(where + "the key expression must be one value, got " + Quoted(expression));
    }
    const std::string probe = "SELECT (" + std::string(expression) + "\n) FROM " + QuoteIdentifier(table);
    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v2(db, probe.c_str(), static_cast<int>(probe.size()), &raw, &tail);
    const oledb_backend::Statement statement(raw);
    if (rc != SQLITE_OK) throw DatabaseError(where + "the key expression is refused: " + oledb_backend::ErrorMessage(db));
    const bool rest_is_blank = std::string_view(tail).find_first_not_of(" \t\r\n") == std::string_view::npos;
    if (!statement || !rest_is_blank || sqlite3_column_count(statement.get()) != 1)
        throw DatabaseError(where + "the key expression must be one value, got " + Quoted(expression));
}

// Whether a number tag's expression is a column of exact decimal texts, asked of the table as it is.
bool OverDecimalTexts(sqlite3* db, const IndexTag& tag) {
    return tag.kind == TagKind::Number && oledb_backend::IsDecimalTextExpression(db, tag.table, tag.expression);
}

IndexTag ReadTag(sqlite3* db, const Statement& row) {
    IndexTag found;
    found.table = row.ColumnText(0);
    found.tag = row.ColumnText(1);
    found.expression = row.ColumnText(2);
    found.key_field = row.ColumnText(3);
    found.kind = ParseTagKind(row.ColumnText(4)).value_or(TagKind::Text);
    found.index_name = row.ColumnText(5);
    found.order = ParseTextOrder(row.ColumnText(6)).value_or(TextOrder::Bytes);
    found.decimal_text = OverDecimalTexts(db, found);
    return found;
}

// The catalogue's rows as ReadTag reads them; a catalogue without the order column holds byte-order tags only.
std::string SelectTags(sqlite3* db) {
    return std::string("SELECT table_name, tag, expression, key_field, kind, index_name, ") +
           (HasOrderColumn(db) ? "text_order" : "'bytes'") + " FROM rowlark_index_tags";
}

}  // namespace

const char* TagKindName(TagKind kind) { return kind == TagKind::Number ? "number" : "text"; }

std::optional<TagKind> ParseTagKind(std::string_view name) {
    if (name == "text") return TagKind::Text;
    if (name == "number") return TagKind::Number;
    return std::nullopt;
}

const char* TextOrderName(TextOrder order) { return order == TextOrder::Russian ? "russian" : "bytes"; }

std::optional<TextOrder> ParseTextOrder(std::string_view name) {
    if (name == "bytes") return TextOrder::Bytes;
    if (name == "russian") return TextOrder::Russian;
    return std::nullopt;
}

std::string KeyExpression(const IndexTag& tag) {
    return oledb_backend::SqliteTagValueSql(tag.expression, tag.kind == TagKind::Number,
                                            tag.order == TextOrder::Russian, tag.decimal_text);
}

std::string TrimmedIndexText(std::string_view text) {
    const std::size_t end = text.find_last_not_of(" \t\n\v\f\r");  // char(32, 9, 10, 11, 12, 13) above
    return std::string(text.substr(0, end == std::string_view::npos ? 0 : end + 1));
}

void AddIndexTag(sqlite3* db, std::string_view table, std::string_view tag, std::string_view expression,
                 std::string_view key_field, TagKind kind, TextOrder order) {
    const std::string where = "index tag " + Quoted(tag) + " of table " + Quoted(table) + ": ";
    if (tag.empty()) throw DatabaseError("index tag of table " + Quoted(table) + ": the tag name is empty");
    if (expression.find_first_not_of(" \t\r\n") == std::string_view::npos)
        throw DatabaseError(where + "the key expression is empty");
    if (kind == TagKind::Number && order == TextOrder::Russian)
        throw DatabaseError(where + "a number tag orders by number; the Russian order is for text tags");

    IndexTag added;
    added.table = DeclaredTable(db, table);
    if (AsciiLower(added.table) == kTagCatalogue || AsciiLower(added.table) == oledb_backend::kSqliteTagQuantiles)
        throw DatabaseError(where + "the tag catalogue takes no tags");
    auto key = DeclaredColumn(db, added.table, key_field);
    if (!key) throw DatabaseError(where + "table has no key field " + Quoted(key_field));
    added.tag = std::string(tag);
    added.expression = std::string(expression);
    added.key_field = *key;
    added.kind = kind;
    added.order = order;
    added.index_name = "rowlark_tag_" + AsciiLower(added.table) + "_" + AsciiLower(tag);
    CheckOneValue(db, added.table, expression, where);
    if (order == TextOrder::Russian && collation::EnsureRussianOrder(db) != SQLITE_OK)
        throw DatabaseError(where + "the Russian order is not available: " + oledb_backend::ErrorMessage(db));
    added.decimal_text = OverDecimalTexts(db, added);
    if (added.decimal_text && collation::EnsureDecimalOrder(db) != SQLITE_OK)
        throw DatabaseError(where + "the order of decimal texts is not available: " + oledb_backend::ErrorMessage(db));

    Savepoint savepoint(db);
    try {
        CreateCatalogue(db);
        if (FindIndexTag(db, added.table, tag)) throw DatabaseError(where + "the tag exists already");
        Statement insert(db,
                         "INSERT INTO rowlark_index_tags (table_name, tag, expression, key_field, kind, index_name,"
                         " text_order) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
        insert.BindText(1, added.table);
        insert.BindText(2, added.tag);
        insert.BindText(3, added.expression);
        insert.BindText(4, added.key_field);
        insert.BindText(5, TagKindName(kind));
        insert.BindText(6, added.index_name);
        insert.BindText(7, TextOrderName(order));
        insert.Step();
        // Unique: a walk by (value, key) only visits every row once if no two rows share both.
        Execute(db, "CREATE UNIQUE INDEX " + QuoteIdentifier(added.index_name) + " ON " +
                        QuoteIdentifier(added.table) + " (" + KeyExpression(added) + ", " +
                        QuoteIdentifier(added.key_field) + ")");
        SampleTagQuantiles(db, added);  // the tag's order sampled now, for places told without counting
    } catch (const DatabaseError& error) {
        const std::string message = error.what();
        if (message.rfind(where, 0) == 0) throw;
        throw DatabaseError(where + message);
    }
    savepoint.Release();
}

std::optional<IndexTag> FindIndexTag(sqlite3* db, std::string_view table, std::string_view tag) {
    if (!TableExists(db, kTagCatalogue)) return std::nullopt;
    Statement find(db, SelectTags(db) + " WHERE table_name = ?1 AND tag = ?2");
    find.BindText(1, table);
    find.BindText(2, tag);
    if (!find.Step()) return std::nullopt;
    return ReadTag(db, find);
}

std::vector<IndexTag> ListIndexTags(sqlite3* db) {
    std::vector<IndexTag> tags;
    if (!TableExists(db, kTagCatalogue)) return tags;
    Statement all(db, SelectTags(db) + " ORDER BY table_name, tag");
    while (all.Step()) tags.push_back(ReadTag(db, all));
    return tags;
}

IndexTag DropIndexTag(sqlite3* db, std::string_view table, std::string_view tag) {
    auto dropped = FindIndexTag(db, table, tag);
    if (!dropped) throw DatabaseError("index tag " + Quoted(tag) + " of table " + Quoted(table) + ": no such tag");
    Savepoint savepoint(db);
    Execute(db, "DROP INDEX IF EXISTS " + QuoteIdentifier(dropped->index_name));
    ForgetTagQuantiles(db, *dropped);
    Statement remove(db, "DELETE FROM rowlark_index_tags WHERE table_name = ?1 AND tag = ?2");
    remove.BindText(1, dropped->table);
    remove.BindText(2, dropped->tag);
    remove.Step();
    savepoint.Release();
    return *dropped;
}

void AddIndexTag(oledb_backend::Connection& connection, std::string_view table, std::string_view tag,
                 std::string_view expression, std::string_view key_field, TagKind kind, TextOrder order) {
    AddIndexTag(oledb_backend::SqliteHandle(connection), table, tag, expression, key_field, kind, order);
}

std::optional<IndexTag> FindIndexTag(oledb_backend::Connection& connection, std::string_view table, std::string_view tag) {
    return FindIndexTag(oledb_backend::SqliteHandle(connection), table, tag);
}

std::vector<IndexTag> ListIndexTags(oledb_backend::Connection& connection) {
    return ListIndexTags(oledb_backend::SqliteHandle(connection));
}

IndexTag DropIndexTag(oledb_backend::Connection& connection, std::string_view table, std::string_view tag) {
    return DropIndexTag(oledb_backend::SqliteHandle(connection), table, tag);
}

}  // namespace rowlark::database
