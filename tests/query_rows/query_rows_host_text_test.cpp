// The SQLite QueryRows hands its key and index text to the layer in the host's code page itself
// (platform/oledb/host_text_cursor.h). What it hands must be byte for byte what the layer makes of
// the row's plain value (Column(), then the conversion to CP1251): every character the code page
// holds or lacks, the token's escapes, ill-formed bytes, NUL, numbers of either kind, NULL.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>
#include <string>
#include <vector>

#include "database/index_tags.h"
#include "database/query_rows.h"
#include "database/statement.h"
#include "platform/oledb/host_text_cursor.h"
#include "platform/oledb/text_out.h"
#include "text/cp1251_literal.h"
#include "tests/support/backend_database.h"

namespace query_rows_test {
namespace {

namespace db = rowlark::database;
using oledb_backend::ProcArg;

class HostTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (test_support::TestBackend() != test_support::Backend::kSQLite)
            GTEST_SKIP() << "the SQLite procedure's own road to the host";
        ASSERT_EQ(sqlite3_open(":memory:", &db_), SQLITE_OK);
    }
    void TearDown() override { sqlite3_close(db_); }

    // Adds a row to t, binding v as given (a text may hold any bytes, NUL too).
    void InsertText(long long id, const std::string& value) {
        db::Statement insert(db_, "INSERT INTO t (id, v) VALUES (?1, ?2)");
        insert.BindInt(1, id);
        insert.BindText(2, value);
        insert.Step();
    }

    // Walks the whole tag and checks each row's host texts against the layer's conversion of Column().
    // The number of rows walked.
    int CheckEveryRow(const std::string& table, const std::string& tag, const std::string& key_field) {
        const std::vector<ProcArg> args = {{true, table, 0}, {true, tag, 0},       {true, "", 0}, {true, "", 0},
                                           {false, "", 1000000}, {true, key_field, 0}, {false, "", 1},
                                           {true, "", 0},        {true, "", 0},        {false, "", 0}};
        const std::unique_ptr<oledb_backend::RowCursor> cursor = db::QueryRows(db_, args);
        const auto* host = dynamic_cast<const oledb_backend::HostTextCursor*>(cursor.get());
        if (!host) {
            ADD_FAILURE() << "QueryRows gives no host texts";
            return 0;
        }
        int rows = 0;
        while (cursor->Step()) {
            ++rows;
            for (int column : {0, 1}) {
                const std::string plain = cursor->Column(column).text;
                std::string expected;
                EXPECT_TRUE(oledb_backend::AppendCp1251(plain, expected)) << "row " << rows << ", column " << column;
                std::string_view given;
                const bool gives = host->HostText(column, given);
                EXPECT_TRUE(gives) << "row " << rows << ", column " << column;
                if (!gives) continue;
                EXPECT_EQ(std::string(given), expected) << "row " << rows << ", column " << column << ": " << plain;
            }
        }
        return rows;
    }

    sqlite3* db_ = nullptr;
};

TEST_F(HostTextTest, TextTagGivesWhatTheLayerMakesOfEveryCharacter) {
    db::Execute(db_, "CREATE TABLE t (id INTEGER PRIMARY KEY, v TEXT)");
    long long id = 0;
    // Every character below U+2300 (the code page's last one lies below U+2200) between two letters,
    // then the escape, NUL, characters beyond the plane, and ill-formed UTF-8.
    for (char32_t point = 1; point < 0x2300; ++point) {
        std::string value = "a";
        cp1251::detail::AppendUtf8(value, point);
        InsertText(++id, value + "Я");
    }
    const std::vector<std::string> odd = {"¤",       "a¤¤b",     std::string("a\0b", 3), "😀 смайл",   "\xF4\x8F\xBF\xBF",
                                          "\x80",    "\xC3",     "\xED\xA0\x80",         "Ёжик\xFF",   "",
                                          "плain ",  "¤4E2D;",   "中文"};
    for (const std::string& value : odd) InsertText(++id, value);
    db::AddIndexTag(db_, "t", "v", "v", "id", db::TagKind::Text);
    EXPECT_EQ(CheckEveryRow("t", "v", "id"), static_cast<int>(id));
}

TEST_F(HostTextTest, NumberTagAndTextKeysGiveWhatTheLayerMakesOfThem) {
    db::Execute(db_, "CREATE TABLE t (id INTEGER PRIMARY KEY, v)");
    db::Execute(db_, "INSERT INTO t VALUES (1, 12.5), (2, 3.0), (3, 1e300), (4, -7), (5, 0.1 + 0.2), "
                     "(6, 9223372036854775807), (7, -9223372036854775808), (8, 5e-324)");
    db::AddIndexTag(db_, "t", "v", "v", "id", db::TagKind::Number);
    EXPECT_EQ(CheckEveryRow("t", "v", "id"), 8);

    db::Execute(db_, "CREATE TABLE p (code TEXT PRIMARY KEY, name TEXT)");
    db::Execute(db_, "INSERT INTO p VALUES ('O''Brien', 'Алан'), ('Ёж', NULL), ('042', 'x'), ('', 'пусто'), "
                     "('a¤b', 'знак')");
    db::AddIndexTag(db_, "p", "name", "name", "code", db::TagKind::Text);
    EXPECT_EQ(CheckEveryRow("p", "name", "code"), 5);
}

}  // namespace
}  // namespace query_rows_test
