// The SQLite backend's catalogue: sqlite_schema, pragma_table_info, the tag catalogue table
// (sqlite_tags.h) and the tags' samples (sqlite_tag_quantiles.h).
#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>

#include "platform/oledb/sqlite_connection.h"
#include "platform/oledb/sqlite_decimal_columns.h"
#include "platform/oledb/sqlite_tag_quantiles.h"
#include "platform/oledb/sqlite_tags.h"

namespace oledb_backend {

namespace {

std::string Text(sqlite3_stmt* stmt, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(stmt, column))) : std::string();
}

// The length or precision and scale a declared type gives in parentheses: "VARCHAR(20)", "NUMERIC(10, 2)".
void ReadSize(ColumnInfo& column) {
    const std::size_t open = column.declared_type.find('(');
    if (open == std::string::npos) return;
    const char* p = column.declared_type.c_str() + open + 1;
    char* end = nullptr;
    column.size = static_cast<int>(std::strtol(p, &end, 10));
    while (*end == ' ') ++end;
    if (*end == ',') column.scale = static_cast<int>(std::strtol(end + 1, nullptr, 10));
}

class SqliteCatalogue : public Catalogue {
public:
    explicit SqliteCatalogue(std::shared_ptr<SqliteConnection> connection) : connection_(std::move(connection)) {}

    bool KeepsTags() override { return true; }  // the tag catalogue is made with the first tag

    std::optional<std::string> Table(const std::string& name) override {
        Rows find(*connection_, "SELECT name FROM sqlite_schema WHERE type = 'table' AND name = ?1 COLLATE NOCASE", {name});
        if (!find.Next()) return std::nullopt;
        return find.Text(0);
    }

    std::vector<ColumnInfo> Columns(const std::string& table) override {
        std::vector<ColumnInfo> columns;
        Rows list(*connection_, "SELECT name, type FROM pragma_table_info(?1) ORDER BY cid", {table});
        while (list.Next()) {
            columns.push_back(ColumnInfo{list.Text(0), list.Text(1), 0, 0});
            ReadSize(columns.back());
        }
        return columns;
    }

    std::vector<std::string> PrimaryKey(const std::string& table) override {
        std::vector<std::string> key;
        Rows list(*connection_, "SELECT name FROM pragma_table_info(?1) WHERE pk > 0 ORDER BY pk", {table});
        while (list.Next()) key.push_back(list.Text(0));
        return key;
    }

    std::vector<TagInfo> Tags(const std::string& table) override {
        std::vector<TagInfo> tags;
        Rows catalogue(*connection_, "SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = ?1",
                       {kSqliteTagCatalogue});
        if (!catalogue.Next()) return tags;
        // Catalogues made before text tags chose their order hold byte-order tags only.
        Rows ordered(*connection_, "SELECT 1 FROM pragma_table_info(?1) WHERE name = 'text_order'",
                     {kSqliteTagCatalogue});
        const std::string order = ordered.Next() ? "text_order" : "'bytes'";
        Rows list(*connection_,
                  "SELECT tag, key_field, expression, kind, " + order + " FROM " + kSqliteTagCatalogue +
                      " WHERE table_name = ?1 ORDER BY rowid",
                  {table});
        while (list.Next()) {
            TagInfo tag{list.Text(0), list.Text(1), list.Text(2), list.Text(3), ""};
            const bool number = tag.kind == "number";
            const bool decimal_text = number && IsDecimalTextExpression(connection_->db(), table, tag.expression);
            tag.order_sql = SqliteTagValueSql(tag.expression, number, list.Text(4) == "russian", decimal_text);
            tags.push_back(std::move(tag));
        }
        return tags;
    }

    std::int64_t RowCount(const std::string& table) override {
        Rows count(*connection_, "SELECT count(*) FROM " + Quote(table), {});
        return count.Next() ? sqlite3_column_int64(count.stmt(), 0) : 0;
    }

    std::optional<double> TagPlace(const std::string& table, const TagInfo& tag, const std::string& key) override {
        if (!HasSample()) return std::nullopt;
        // The row's value and key come from a select in FROM, so they keep the tag expression's
        // collation, and the row stands on the left of every comparison: the tag's own order decides.
        Rows place(*connection_,
                   "SELECT max(CASE WHEN (r.v, r.k) >= (q.tag_value, q.key_value) THEN q.place END),"
                   " min(CASE WHEN (r.v, r.k) < (q.tag_value, q.key_value) THEN q.place END),"
                   " max((r.v, r.k) = (q.tag_value, q.key_value)), max(q.row_count)"
                   " FROM " + std::string(kSqliteTagQuantiles) + " q, (SELECT " + tag.order_sql + " AS v, " +
                       Quote(tag.key_field) + " AS k FROM " + Quote(table) + " WHERE " + Quote(tag.key_field) +
                       " = ?3) r WHERE q.table_name = ?1 AND q.tag = ?2",
                   {table, tag.tag, key});
        if (!place.Next() || sqlite3_column_type(place.stmt(), 3) == SQLITE_NULL) return std::nullopt;
        const double rows = static_cast<double>(sqlite3_column_int64(place.stmt(), 3));
        const double below = static_cast<double>(sqlite3_column_int64(place.stmt(), 0));  // NULL: before the first
        const double above = sqlite3_column_type(place.stmt(), 1) == SQLITE_NULL
                                 ? rows : static_cast<double>(sqlite3_column_int64(place.stmt(), 1));
        // A sampled row is where it was sampled; any other is taken halfway between its neighbours.
        const double rank = sqlite3_column_int64(place.stmt(), 2) != 0 ? below : (below + above) / 2;
        return rows > 1 ? std::clamp(rank / (rows - 1), 0.0, 1.0) : 0.0;
    }

    std::optional<TagRow> TagRowAt(const std::string& table, const TagInfo& tag, double place) override {
        if (!HasSample()) return std::nullopt;
        // The sampled row nearest the place: its key tells it apart from the other rows of its value.
        Rows nearest(*connection_,
                     "SELECT tag_value, key_value FROM " + std::string(kSqliteTagQuantiles) +
                         " WHERE table_name = ?1 AND tag = ?2 ORDER BY abs(place - ?3 * (row_count - 1)) LIMIT 1",
                     {table, tag.tag, std::to_string(std::clamp(place, 0.0, 1.0))});
        if (!nearest.Next()) return std::nullopt;
        return TagRow{nearest.Text(0), nearest.Text(1)};
    }

    std::optional<std::int64_t> TagRowsBetween(const std::string& table, const TagInfo& tag, const std::string& from,
                                               const TagRow& row) override {
        // From's value keeps the tag expression's collation, which every comparison with it takes; the
        // value given is read as a number where the tag holds numbers.
        const std::string key = Quote(tag.key_field);
        Rows count(*connection_,
                   "WITH rowlark_from AS (SELECT " + tag.order_sql + " AS rowlark_v, " + key + " AS rowlark_k FROM " +
                       Quote(table) + " WHERE " + key + " = ?1), rowlark_to AS (SELECT CASE WHEN typeof(rowlark_v) IN"
                       " ('integer', 'real') THEN CAST(?2 AS NUMERIC) ELSE ?2 END AS rowlark_v, ?3 AS rowlark_k FROM"
                       " rowlark_from) SELECT " + RowsBetweenSql(Quote(table), tag.order_sql, key) +
                       ", (SELECT count(*) FROM rowlark_from)",
                   {from, row.value, row.key});
        if (!count.Next() || sqlite3_column_int64(count.stmt(), 1) == 0) return std::nullopt;
        return sqlite3_column_int64(count.stmt(), 0);
    }

private:
    static std::string Quote(const std::string& name) {
        std::string quoted = "\"";
        for (const char c : name) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
        return quoted + "\"";
    }

    // Whether the database holds tag samples at all (a database from before them holds none).
    bool HasSample() {
        Rows table(*connection_, "SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = ?1", {kSqliteTagQuantiles});
        return table.Next();
    }

    // One prepared statement with text parameters, stepped row by row.
    class Rows {
    public:
        Rows(SqliteConnection& connection, const std::string& sql, const std::vector<std::string>& params)
            : db_(connection.db()), statement_(connection.Prepare(sql)) {
            for (std::size_t i = 0; i < params.size(); ++i)
                sqlite3_bind_text64(stmt(), static_cast<int>(i + 1), params[i].data(), params[i].size(),
                                    SQLITE_TRANSIENT, SQLITE_UTF8);
        }
        bool Next() {
            const int rc = sqlite3_step(stmt());
            if (rc == SQLITE_ROW) return true;
            if (rc != SQLITE_DONE) throw CursorError(ErrorMessage(db_));
            return false;
        }
        std::string Text(int column) const { return oledb_backend::Text(stmt(), column); }
        sqlite3_stmt* stmt() const { return statement_.get(); }

    private:
        sqlite3* db_;
        Statement statement_;
    };

    std::shared_ptr<SqliteConnection> connection_;
};

}  // namespace

std::unique_ptr<Catalogue> SqliteConnection::OpenCatalogue() {
    return std::make_unique<SqliteCatalogue>(std::static_pointer_cast<SqliteConnection>(shared_from_this()));
}

}  // namespace oledb_backend
