// The PostgreSQL backend's catalogue: the tables the session's search_path shows (found as the
// server's rowlark_find_table finds them) and the tags of its rowlark_index_tags
// (database/postgres/rowlark.sql).
#include "platform/oledb/pg_connection.h"

namespace oledb_backend {

namespace {

constexpr const char* kTable = "public.rowlark_find_table($1)";

class PgCatalogue : public Catalogue {
public:
    explicit PgCatalogue(std::shared_ptr<PgConnection> connection) : connection_(std::move(connection)) {}

    bool KeepsTags() override {
        return connection_->Query("SELECT to_regproc('public.rowlark_index_tag_list') IS NOT NULL", {})[0][0] == "1";
    }

    std::optional<std::string> Table(const std::string& name) override {
        const auto rows = connection_->Query(std::string("SELECT c.relname FROM pg_class c WHERE c.oid = ") + kTable, {name});
        if (rows.empty()) return std::nullopt;
        return rows[0][0];
    }

    std::vector<ColumnInfo> Columns(const std::string& table) override {
        // Lengths of character types and precision and scale of numerics, from the type modifier.
        const auto rows = connection_->Query(
            std::string("SELECT a.attname, format_type(a.atttypid, a.atttypmod),"
                        " CASE WHEN a.atttypmod < 4 THEN 0 WHEN a.atttypid IN (1042, 1043) THEN a.atttypmod - 4"
                        " WHEN a.atttypid = 1700 THEN ((a.atttypmod - 4) >> 16) & 65535 ELSE 0 END,"
                        " CASE WHEN a.atttypid = 1700 AND a.atttypmod >= 4 THEN (a.atttypmod - 4) & 65535 ELSE 0 END"
                        " FROM pg_attribute a WHERE a.attrelid = ") +
                kTable + " AND a.attnum > 0 AND NOT a.attisdropped ORDER BY a.attnum",
            {table});
        std::vector<ColumnInfo> columns;
        for (const auto& row : rows) columns.push_back(ColumnInfo{row[0], row[1], std::stoi(row[2]), std::stoi(row[3])});
        return columns;
    }

    std::vector<std::string> PrimaryKey(const std::string& table) override {
        const auto rows = connection_->Query(
            std::string("SELECT a.attname FROM pg_index i CROSS JOIN LATERAL unnest(i.indkey) WITH ORDINALITY k(attnum, n)"
                        " JOIN pg_attribute a ON a.attrelid = i.indrelid AND a.attnum = k.attnum"
                        " WHERE i.indrelid = ") +
                kTable + " AND i.indisprimary ORDER BY k.n",
            {table});
        std::vector<std::string> key;
        for (const auto& row : rows) key.push_back(row[0]);
        return key;
    }

    std::vector<TagInfo> Tags(const std::string& table) override {
        // The catalogue's rows in the order they went in: the order the tags were added.
        const auto rows = connection_->Query(
            std::string("SELECT t.tag, t.key_field, t.expression, t.kind,"
                        " public.rowlark_tag_value_sql(t.expression, t.kind) FROM public.rowlark_index_tags t"
                        " WHERE to_regclass(format('%I.%I', t.table_schema, t.table_name)) = ") +
                kTable + " ORDER BY t.ctid",
            {table});
        std::vector<TagInfo> tags;
        for (const auto& row : rows) tags.push_back(TagInfo{row[0], row[1], row[2], row[3], row[4]});
        return tags;
    }

    std::int64_t RowCount(const std::string& table) override {
        const auto name = connection_->Query(std::string("SELECT ") + kTable + "::text", {table});
        if (name.empty() || name[0][0].empty()) throw CursorError("no table " + table);
        return std::stoll(connection_->Query("SELECT count(*) FROM " + name[0][0], {})[0][0]);
    }

private:
    std::shared_ptr<PgConnection> connection_;
};

}  // namespace

std::unique_ptr<Catalogue> PgConnection::OpenCatalogue() {
    return std::make_unique<PgCatalogue>(std::static_pointer_cast<PgConnection>(shared_from_this()));
}

std::vector<std::vector<std::string>> PgConnection::Query(const std::string& sql, const std::vector<std::string>& params) {
    std::vector<PgParam> values;
    for (const std::string& param : params) values.push_back(PgParam{param, kTextType});
    auto cursor = Run(sql, values, Reading::kWhole, false);
    std::vector<std::vector<std::string>> rows;
    while (cursor->Step()) {
        std::vector<std::string> row;
        for (int c = 0; c < cursor->ColumnCount(); ++c) {
            const SqlValue value = cursor->Column(c);
            row.push_back(value.kind == SqlValue::Kind::Integer ? std::to_string(value.integer) : value.text);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace oledb_backend
