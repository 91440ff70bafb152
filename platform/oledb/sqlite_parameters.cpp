#include "platform/oledb/sqlite_parameters.h"

#include <sqlite3.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>

#include "platform/oledb/catalogue.h"
#include "platform/oledb/sqlite_decimal_columns.h"
#include "platform/oledb/sqlite_handles.h"
#include "platform/oledb/sqlite_tokens.h"

namespace oledb_backend {

namespace {

// The digits of "?NNN" without leading zeros ("0" for none but zeros); the number, capped where
// SQLite refuses it anyway.
std::string Digits(std::string_view digits, long& number) {
    const std::size_t first = std::min(digits.find_first_not_of('0'), digits.size());
    number = 0;
    for (const char c : digits) number = std::min(number * 10 + (c - '0'), 1000000L);
    return first == digits.size() ? std::string("0") : std::string(digits.substr(first));
}

Statement Prepared(sqlite3* db, const std::string& sql) {
    sqlite3_stmt* raw = nullptr;
    sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &raw, nullptr);
    return Statement(raw);
}

// Whether the table or index at that root page of that database is, or indexes, a table with a
// column of exact decimal texts.
bool RootHasDecimalTexts(sqlite3* db, int database, int root) {
    const char* schema = sqlite3_db_name(db, database);
    if (!schema) return false;
    const Statement columns = Prepared(db, "SELECT c.type FROM " + QuotedName(schema) +
                                               ".sqlite_schema AS s, pragma_table_info(s.tbl_name, ?2) AS c"
                                               " WHERE s.rootpage = ?1");
    if (!columns) return false;
    sqlite3_bind_int(columns.get(), 1, root);
    sqlite3_bind_text(columns.get(), 2, schema, -1, SQLITE_TRANSIENT);
    while (sqlite3_step(columns.get()) == SQLITE_ROW)
        if (IsDecimalTextType(reinterpret_cast<const char*>(sqlite3_column_text(columns.get(), 0)))) return true;
    return false;
}

}  // namespace

bool HasDigitsBeyondDouble(std::string_view decimal) {
    std::string digits;
    for (const char c : decimal.substr(0, decimal.find_first_of("eE")))
        if (c >= '0' && c <= '9') digits += c;
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos) return false;
    return digits.find_last_not_of('0') - first + 1 > static_cast<std::size_t>(kSqliteExactDigits);
}

bool OpensDecimalTextTables(sqlite3_stmt* stmt) {
    const char* sql = sqlite3_sql(stmt);
    if (!sql) return false;
    sqlite3* db = sqlite3_db_handle(stmt);
    const Statement listing = Prepared(db, std::string("EXPLAIN ") + sql);
    if (!listing) return false;
    std::set<std::pair<int, int>> opened;  // database number (p3), root page (p2)
    while (sqlite3_step(listing.get()) == SQLITE_ROW) {
        const auto* opcode = reinterpret_cast<const char*>(sqlite3_column_text(listing.get(), 1));
        const std::string_view op = opcode ? opcode : "";
        if (op == "OpenRead" || op == "OpenWrite" || op == "ReopenIdx")
            opened.emplace(sqlite3_column_int(listing.get(), 4), sqlite3_column_int(listing.get(), 3));
    }
    for (const auto& [database, root] : opened)
        if (RootHasDecimalTexts(db, database, root)) return true;
    return false;
}

std::vector<ParameterRef> SqliteParametersIn(std::string_view sql) {
    std::vector<ParameterRef> refs;
    std::set<std::string_view> named;
    long highest = 0;  // SQLite's count of parameter numbers given so far
    std::size_t at = 0, end = 0;
    for (SqlToken token; (token = NextSqlToken(sql, at, end)) != SqlToken::kEnd; at = end) {
        if (token != SqlToken::kParameter) continue;
        const std::string_view written = sql.substr(at, end - at);
        if (written[0] == '#' && written[1] >= '0' && written[1] <= '9') continue;  // SQLite refuses "#1"
        if (written == "?") {
            refs.push_back({"?", std::to_string(++highest)});
        } else if (written[0] == '?') {
            long number = 0;
            std::string digits = Digits(written.substr(1), number);
            highest = std::max(highest, number);
            if (named.insert(written).second) refs.push_back({std::string(written), std::move(digits)});
        } else if (named.insert(written).second) {
            ++highest;
            refs.push_back({std::string(written), std::string(written.substr(1))});
        }
    }
    return refs;
}

}  // namespace oledb_backend
