// The PostgreSQL backend's catalogue: the tables the session's search_path shows (found as the
// server's rowlark_find_table finds them) and the tags of its rowlark_index_tags
// (database/postgres/rowlark.sql).
#include <algorithm>
#include <cmath>

#include "platform/oledb/pg_connection.h"

namespace oledb_backend {

namespace {

constexpr const char* kTable = "public.rowlark_find_table($1)";

// The server's statistics of a tag's index (pg_stats of its expression column, after ANALYZE), with
// what the queries over them need: the table and key column quoted, the key's type, the collation
// of the index's value as a COLLATE clause ("" for numbers), and its array type; and the key column's
// own histogram (pg_stats of the table), which orders the rows within one common value as the index
// does: by key.
struct IndexStatistics {
    std::string table, key, key_type, collate, array_type;
    std::string bounds, common, frequencies;  // histogram_bounds, most_common_vals and _freqs as text
    std::string key_bounds, key_collate;      // the key's histogram_bounds; ' COLLATE "C"' for a text key
};

std::optional<IndexStatistics> ReadStatistics(PgConnection& connection, const std::string& table, const TagInfo& tag) {
    const auto rows = connection.Query(
        "SELECT format('%I.%I', t.table_schema, t.table_name), quote_ident(a.attname),"
        " format_type(a.atttypid, a.atttypmod), coalesce((SELECT format(' COLLATE %I.%I', cn.nspname, co.collname)"
        " FROM pg_collation co JOIN pg_namespace cn ON cn.oid = co.collnamespace WHERE co.oid = i.indcollation[0]), ''),"
        " format_type(ia.atttypid, NULL) || '[]', coalesce(s.histogram_bounds::text, '{}'),"
        " coalesce(s.most_common_vals::text, '{}'), coalesce(s.most_common_freqs::text, '{}'),"
        " coalesce(k.histogram_bounds::text, '{}'),"
        " CASE WHEN (SELECT typcollation FROM pg_type WHERE oid = a.atttypid) <> 0 THEN ' COLLATE \"C\"' ELSE '' END"
        " FROM public.rowlark_index_tags t"
        " JOIN pg_index i ON i.indexrelid = to_regclass(format('%I.%I', t.table_schema, t.index_name))"
        " JOIN pg_attribute a ON a.attrelid = i.indrelid AND a.attname = t.key_field"
        " JOIN pg_attribute ia ON ia.attrelid = i.indexrelid AND ia.attnum = 1"
        " JOIN pg_stats s ON s.schemaname = t.table_schema AND s.tablename = t.index_name AND s.attname = ia.attname"
        " LEFT JOIN pg_stats k ON k.schemaname = t.table_schema AND k.tablename = t.table_name AND k.attname = a.attname"
        " WHERE to_regclass(format('%I.%I', t.table_schema, t.table_name)) = public.rowlark_find_table($1)"
        " AND public.rowlark_ascii_lower(t.tag) = public.rowlark_ascii_lower($2)",
        {table, tag.tag});
    if (rows.empty() || (rows[0][5] == "{}" && rows[0][6] == "{}")) return std::nullopt;
    const auto& row = rows[0];
    return IndexStatistics{row[0], row[1], row[2], row[3], row[4], row[5], row[6], row[7], row[8], row[9]};
}

// The CTEs b (the histogram's bounds, e) and m (the common values, e, with their shares, f), from
// the statement's parameters $first (bounds), $first+1 (values) and $first+2 (shares).
std::string ValueLists(const IndexStatistics& stats, int first) {
    const std::string p = "$" + std::to_string(first);
    const std::string q = "$" + std::to_string(first + 1);
    const std::string r = "$" + std::to_string(first + 2);
    return " b AS (SELECT e FROM unnest(CAST(" + p + " AS " + stats.array_type + ")) e),"
           " m AS (SELECT e, f FROM unnest(CAST(" + q + " AS " + stats.array_type + "), CAST(" + r +
           " AS float8[])) u(e, f))";
}

// Where a value stands among a histogram of count bounds, below of them under it: halfway between the
// bounds around it, from 0 to 1; the middle when there is no histogram to tell.
double Between(double count, double below) {
    return count < 2 ? 0.5 : std::clamp((below - 0.5) / (count - 1), 0.0, 1.0);
}

// The row at a place within the share of a common value: that value, and the key that the key
// column's own histogram puts as far into the share (TagPlace places the value's rows so); none
// when the place is in no common value's share.
std::optional<TagRow> CommonRowAt(PgConnection& connection, const IndexStatistics& stats, double place) {
    // Each common value's share starts after the common values below it and its slice of the histogram.
    const auto shares = connection.Query(
        "WITH" + ValueLists(stats, 1) + " SELECT m.e::text, m.f::text,"
        " (SELECT coalesce(sum(o.f), 0) FROM m o WHERE m.e > o.e" + stats.collate + ")::text,"
        " (SELECT count(*) FROM b WHERE b.e < m.e" + stats.collate + ")::text, (SELECT count(*) FROM b)::text,"
        " (SELECT coalesce(sum(f), 0) FROM m)::text FROM m",
        {stats.bounds, stats.common, stats.frequencies});
    for (const auto& share : shares) {
        const double frequency = std::stod(share[1]);
        const double histogram = Between(std::stod(share[4]), std::stod(share[3]));
        const double start = std::stod(share[2]) + (1 - std::stod(share[5])) * histogram;
        if (frequency <= 0 || place < start || place > start + frequency) continue;
        const auto keys = connection.Query("SELECT e::text FROM unnest(CAST($1 AS " + stats.key_type +
                                               "[])) WITH ORDINALITY u(e, n) ORDER BY n",
                                           {stats.key_bounds});
        if (keys.size() < 2) return TagRow{share[0], ""};
        // A key with j bounds below it stands at Between(bounds, j) of the share.
        const double last = static_cast<double>(keys.size() - 1);
        const double j = std::clamp(std::round((place - start) / frequency * last + 0.5), 0.0, last);
        return TagRow{share[0], keys[static_cast<std::size_t>(j)][0]};
    }
    return std::nullopt;
}

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
        // The table's own rows (they follow it through a rename) in the order the tags were added,
        // which the catalogue numbers: a row's place in the table moves whenever it is written again.
        const auto rows = connection_->Query(
            std::string("SELECT t.tag, t.key_field, t.expression, t.kind,"
                        " public.rowlark_tag_value_sql(t.expression, t.kind, t.text_order) FROM public.rowlark_index_tags t"
                        " WHERE t.table_oid = ") +
                kTable + " ORDER BY t.added",
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

    std::optional<double> TagPlace(const std::string& table, const TagInfo& tag, const std::string& key) override {
        const auto stats = ReadStatistics(*connection_, table, tag);
        if (!stats) return std::nullopt;
        const auto row = connection_->Query(
            "WITH r AS (SELECT (" + tag.order_sql + ") AS v FROM " + stats->table + " WHERE " + stats->key +
                " = CAST($1 AS " + stats->key_type + "))," + ValueLists(*stats, 2) +
                " SELECT (SELECT count(*) FROM r)::text, (SELECT count(*) FROM b)::text,"
                " (SELECT count(*) FROM b, r WHERE r.v <= b.e" + stats->collate + ")::text,"
                " (SELECT coalesce(sum(m.f), 0) FROM m, r WHERE r.v > m.e" + stats->collate + ")::text,"
                " (SELECT coalesce(sum(m.f), 0) FROM m, r WHERE r.v = m.e" + stats->collate + ")::text,"
                " (SELECT coalesce(sum(m.f), 0) FROM m)::text,"
                " (SELECT count(*) FROM unnest(CAST($5 AS " + stats->key_type + "[])) kb(e))::text,"
                " (SELECT count(*) FROM unnest(CAST($5 AS " + stats->key_type + "[])) kb(e)"
                " WHERE kb.e" + stats->key_collate + " < CAST($1 AS " + stats->key_type + ")" + stats->key_collate + ")::text",
            {key, stats->bounds, stats->common, stats->frequencies, stats->key_bounds})[0];
        if (row[0] == "0") return std::nullopt;
        // The common values' shares below the row, the part of its own value's share before it, and its
        // slice of the histogram (halfway between the bounds around it) over the remaining rows.
        const double bounds = std::stod(row[1]);
        const double bounds_above = std::stod(row[2]);
        const double histogram = Between(bounds, bounds - bounds_above);
        // Within a common value the index orders by key: the key's own histogram says how far in.
        const double own = std::stod(row[4]) * Between(std::stod(row[6]), std::stod(row[7]));
        const double place = std::stod(row[3]) + own + (1 - std::stod(row[5])) * histogram;
        return std::clamp(place, 0.0, 1.0);
    }

    std::optional<TagRow> TagRowAt(const std::string& table, const TagInfo& tag, double place) override {
        const auto stats = ReadStatistics(*connection_, table, tag);
        if (!stats) return std::nullopt;
        const double wanted = std::clamp(place, 0.0, 1.0);
        if (auto row = CommonRowAt(*connection_, *stats, wanted)) return row;
        // Each known value (a bound or a common value) placed as TagPlace places it; the nearest wins.
        const auto rows = connection_->Query(
            "WITH" + ValueLists(*stats, 1) + ", c AS (SELECT e FROM b UNION SELECT e FROM m),"
            " n AS (SELECT count(*) AS nb, (SELECT coalesce(sum(f), 0) FROM m) AS common FROM b)"
            " SELECT c.e::text FROM c, n ORDER BY abs((SELECT coalesce(sum(m.f), 0) FROM m WHERE c.e > m.e" +
                stats->collate + ") + (1 - n.common) * CASE WHEN n.nb < 2 THEN 0.5 ELSE"
                " greatest((SELECT count(*) FROM b WHERE c.e >= b.e" + stats->collate + ") - 1, 0)::float8 /"
                " (n.nb - 1) END - $4::float8) LIMIT 1",
            {stats->bounds, stats->common, stats->frequencies, std::to_string(wanted)});
        if (rows.empty()) return std::nullopt;
        return TagRow{rows[0][0], ""};
    }

    std::optional<std::int64_t> TagRowsBetween(const std::string& table, const TagInfo& tag, const std::string& from,
                                               const TagRow& row) override {
        const auto stats = ReadStatistics(*connection_, table, tag);
        if (!stats) return std::nullopt;
        // Values under the index's collation, keys as the index holds them (text keys bytewise).
        const std::string value = tag.order_sql;
        const std::string key = stats->key + stats->key_collate;
        const std::string value_type = stats->array_type.substr(0, stats->array_type.size() - 2);
        const auto count = connection_->Query(
            "WITH rowlark_from AS (SELECT " + value + " AS rowlark_v, " + key + " AS rowlark_k FROM " + stats->table +
                " WHERE " + stats->key + " = CAST($1 AS " + stats->key_type + ")), rowlark_to AS (SELECT CAST($2 AS " +
                value_type + ")" + stats->collate + " AS rowlark_v, CAST($3 AS " + stats->key_type + ")" +
                stats->key_collate + " AS rowlark_k) SELECT (" + RowsBetweenSql(stats->table, value, key) +
                ")::text, (SELECT count(*) FROM rowlark_from)::text",
            {from, row.value, row.key});
        if (count.empty() || count[0][1] == "0") return std::nullopt;
        return std::stoll(count[0][0]);
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
