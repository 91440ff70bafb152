#include "platform/oledb/catalogue.h"

namespace oledb_backend {

std::string QuotedName(std::string_view name) {
    std::string quoted = "\"";
    for (const char c : name) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string AsciiLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

std::optional<ColumnInfo> Catalogue::Column(const std::string& table, const std::string& name) {
    const std::vector<ColumnInfo> columns = Columns(table);
    for (const ColumnInfo& column : columns)
        if (column.name == name) return column;
    const std::string wanted = AsciiLower(name);
    for (const ColumnInfo& column : columns)
        if (AsciiLower(column.name) == wanted) return column;
    return std::nullopt;
}

std::optional<TagInfo> Catalogue::Tag(const std::string& table, const std::string& tag) {
    const std::string wanted = AsciiLower(tag);
    for (TagInfo& each : Tags(table))
        if (AsciiLower(each.tag) == wanted) return std::move(each);
    return std::nullopt;
}

std::string Catalogue::RowsBetweenSql(const std::string& table, const std::string& value, const std::string& key) {
    // Both ends first, so that each range has both its bounds when the index is searched.
    const std::string rows = "(SELECT count(*) FROM rowlark_from a CROSS JOIN rowlark_to b CROSS JOIN " + table + " WHERE ";
    const std::string v = "(" + value + ")";
    return rows + v + " = a.rowlark_v AND a.rowlark_v = b.rowlark_v AND " + key + " >= a.rowlark_k AND " + key +
           " < b.rowlark_k) + " + rows + v + " = a.rowlark_v AND a.rowlark_v < b.rowlark_v AND " + key +
           " >= a.rowlark_k) + " + rows + v + " > a.rowlark_v AND " + v + " < b.rowlark_v) + " + rows + v +
           " = b.rowlark_v AND b.rowlark_v > a.rowlark_v AND " + key + " < b.rowlark_k)";
}

std::optional<std::string> Catalogue::TagValueAt(const std::string& table, const TagInfo& tag, double place) {
    std::optional<TagRow> row = TagRowAt(table, tag, place);
    if (!row) return std::nullopt;
    return std::move(row->value);
}

}  // namespace oledb_backend
