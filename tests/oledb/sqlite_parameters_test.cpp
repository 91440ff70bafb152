// The parameters of a text as SQLite reads and numbers them, beside a plain SQLite handle's own
// numbering of the same text.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "platform/oledb/sqlite_parameters.h"

namespace {

using oledb_backend::SqliteParametersIn;
using Refs = std::vector<std::pair<std::string, std::string>>;  // written, name

Refs RefsOf(const std::string& sql) {
    Refs out;
    for (const auto& ref : SqliteParametersIn(sql)) out.emplace_back(ref.written, ref.name);
    return out;
}

// The number SQLite gives each parameter name, and how many numbers the text uses.
int ParameterCount(const std::string& sql) {
    sqlite3* db = nullptr;
    sqlite3_open(":memory:", &db);
    sqlite3_stmt* stmt = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    const int count = sqlite3_bind_parameter_count(stmt);
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return count;
}

TEST(SqliteParameters, NamedOnesBindByTheirNameAndEachWrittenFormComesOnce) {
    EXPECT_EQ(RefsOf("SELECT :a, @a, $b, :a, #c, $d(x), $e::f, :Ж FROM t WHERE x = @a"),
              (Refs{{":a", "a"}, {"@a", "a"}, {"$b", "b"}, {"#c", "c"}, {"$d(x)", "d(x)"}, {"$e::f", "e::f"},
                    {":Ж", "Ж"}}));
}

TEST(SqliteParameters, MarksTakeTheNumbersSqliteGivesThem) {
    const std::string text = "SELECT ?, ?3, ?, :a, ?, ?01";
    EXPECT_EQ(RefsOf(text), (Refs{{"?", "1"}, {"?3", "3"}, {"?", "4"}, {":a", "a"}, {"?", "6"}, {"?01", "1"}}));
    EXPECT_EQ(ParameterCount(text), 6);
    EXPECT_EQ(RefsOf("SELECT $1, ?"), (Refs{{"$1", "1"}, {"?", "2"}}));
    EXPECT_EQ(ParameterCount("SELECT $1, ?"), 2);
}

TEST(SqliteParameters, NothingInsideStringsQuotedNamesAndCommentsIsAParameter) {
    EXPECT_TRUE(RefsOf("SELECT ':a', \":b\", [?], `@c`, x'3f' -- :d\n /* ? */").empty());
    EXPECT_TRUE(RefsOf("SELECT #1").empty()) << "SQLite refuses \"#1\" in a statement";
}

}  // namespace
