// The numeric order of decimal texts (database/collation/decimal_order.h) and its SQLite collation:
// the comparison itself, a column of exact decimals on a real connection (order, comparisons with
// numbers and texts, a unique index), and another program writing to such a column.

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "database/collation/decimal_order.h"
#include "database/collation/sqlite_decimal_order.h"
#include "database/statement.h"
#include "platform/oledb/sqlite_decimal_columns.h"
#include "tests/database/database_fixture.h"

namespace rowlark::database::testing {
namespace {

using collation::CompareDecimalTexts;
using collation::IsDecimalText;

// Groups of equal values, each group below the next.
const std::vector<std::vector<std::string>> kAscending = {
    {"", "-", "-.", "1 ", " 1", "1,5", "1e", "abc"},  // not decimals: by their bytes, before every decimal
    {"-1e999999999999999999"},
    {"-99999999999999999999", "-9.9999999999999999999e19"},
    {"-40702810900000012346"},
    {"-40702810900000012345", "-40702810900000012345.0000"},
    {"-1.5", "-1.50", "-15e-1", "-.15E1"},
    {"-0.0001"},
    {"0", "-0", "0.000", "+0", "0e5", ".0"},
    {"0.000000000000000000001"},
    {"0.1", "1e-1", "0.10"},
    {"9"},
    {"10", "1e1", "10.", "+10"},
    {"922337203685477.5807"},
    {"9223372036854775807"},
    {"9223372036854775808", "9.223372036854775808e18"},
    {"40702810900000012345"},
    {"40702810900000012346"},
    {"99999999999999999999"},
    {"1.0e+20"},
    {"1e999999999999999999"}};

TEST(DecimalOrder, ValuesDecideWhateverTheirLengthScaleSignOrExponent) {
    for (std::size_t i = 0; i < kAscending.size(); ++i)
        for (std::size_t j = 0; j < kAscending.size(); ++j)
            for (const std::string& a : kAscending[i])
                for (const std::string& b : kAscending[j]) {
                    const int order = CompareDecimalTexts(a, b);
                    if (i != j || i > 0) {
                        EXPECT_EQ(order < 0, i < j) << '"' << a << "\" against \"" << b << '"';
                        EXPECT_EQ(order == 0, i == j) << '"' << a << "\" against \"" << b << '"';
                    } else {
                        EXPECT_EQ(order < 0, a < b) << '"' << a << "\" against \"" << b << "\" (by bytes)";
                    }
                }
}

TEST(DecimalOrder, DecimalTextsAreSignDigitsPointAndExponentWithNothingAround) {
    for (const char* text : {"0", "-12.50", "+7", ".5", "5.", "1e3", "1.0E-19", "007"}) EXPECT_TRUE(IsDecimalText(text)) << text;
    for (const char* text : {"", ".", "-", "e5", "1e", "1e+", " 1", "1 ", "1.2.3", "0x10", "1_000", "inf", "NaN", "--1"})
        EXPECT_FALSE(IsDecimalText(text)) << text;
}

class DecimalColumn : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(collation::EnsureDecimalOrder(db_.get()), SQLITE_OK);
        ASSERT_EQ(collation::EnsureDecimalOrder(db_.get()), SQLITE_OK);  // once there, kept
        Execute(db_.get(), "CREATE TABLE t (id INTEGER PRIMARY KEY, amount " +
                               oledb_backend::DecimalTextDeclaration(20, 4) + ")");
        Execute(db_.get(), "INSERT INTO t VALUES (1, '40702810900000012345'), (2, '-1.5'), (3, 12), (4, 0.25),"
                           " (5, '40702810900000012346'), (6, '9'), (7, NULL)");
    }
    std::vector<std::string> Ids(const std::string& sql) {
        std::vector<std::string> ids;
        Statement select(db_.get(), sql);
        while (select.Step()) ids.push_back(select.ColumnText(0));
        return ids;
    }

    DbHandle db_ = OpenMemoryDb();
};

TEST_F(DecimalColumn, KeepsEveryValueAsTextAndOrdersByValue) {
    EXPECT_EQ(Ids("SELECT amount || ':' || typeof(amount) FROM t WHERE id IN (3, 4, 5) ORDER BY id"),
              (std::vector<std::string>{"12:text", "0.25:text", "40702810900000012346:text"}));
    EXPECT_EQ(Ids("SELECT id FROM t ORDER BY amount"), (std::vector<std::string>{"7", "2", "4", "6", "3", "1", "5"}));
    EXPECT_EQ(Ids("SELECT max(amount) FROM t"), std::vector<std::string>{"40702810900000012346"});
}

TEST_F(DecimalColumn, ComparesWithNumbersAndTextsByValue) {
    EXPECT_EQ(Ids("SELECT id FROM t WHERE amount > 9 ORDER BY id"), (std::vector<std::string>{"1", "3", "5"}));
    EXPECT_EQ(Ids("SELECT id FROM t WHERE amount = 12.0"), std::vector<std::string>{"3"});
    EXPECT_EQ(Ids("SELECT id FROM t WHERE amount BETWEEN -2 AND 0.25 ORDER BY id"), (std::vector<std::string>{"2", "4"}));
    EXPECT_EQ(Ids("SELECT id FROM t WHERE amount > '40702810900000012345'"), std::vector<std::string>{"5"});
    Statement bound(db_.get(), "SELECT id FROM t WHERE amount = ?1");
    bound.BindReal(1, -1.5);
    ASSERT_TRUE(bound.Step());
    EXPECT_EQ(bound.ColumnText(0), "2");
}

TEST_F(DecimalColumn, UniqueIndexRefusesTheSameValueWrittenAnotherWay) {
    Execute(db_.get(), "CREATE UNIQUE INDEX t_amount ON t (amount)");
    char* message = nullptr;
    EXPECT_NE(sqlite3_exec(db_.get(), "INSERT INTO t VALUES (8, '12.0000')", nullptr, nullptr, &message), SQLITE_OK);
    EXPECT_NE(std::string(message ? message : "").find("UNIQUE"), std::string::npos);
    sqlite3_free(message);
    EXPECT_EQ(Ids("SELECT id FROM t WHERE amount = '4.0702810900000012345e19'"), std::vector<std::string>{"1"});
}

#ifdef ROWLARK_RU_EXTENSION
// The plain sqlite3 shell writing to a table whose key is such a column: refused without the
// extension, in numeric order with it.
TEST(DecimalColumnOfAnotherProgram, WritesOnlyWithTheExtensionLoaded) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("rowlark_decimal_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string file = (dir / "t.db").string();
    {
        sqlite3* raw = nullptr;
        ASSERT_EQ(sqlite3_open(file.c_str(), &raw), SQLITE_OK);
        DbHandle db(raw);
        ASSERT_EQ(collation::EnsureDecimalOrder(raw), SQLITE_OK);
        Execute(raw, "CREATE TABLE t (acct " + oledb_backend::DecimalTextDeclaration(20, 0) + " PRIMARY KEY)");
    }
    const auto shell = [&](const std::string& options, const std::string& sql) {
        const std::string command = "sqlite3 " + options + " " + file + " \"" + sql + "\" >" + (dir / "out.txt").string() + " 2>&1";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_NE(shell("", "INSERT INTO t VALUES ('10')"), 0);
    const std::string load = std::string("-cmd '.load ") + ROWLARK_RU_EXTENSION + "'";
    EXPECT_EQ(shell(load, "INSERT INTO t VALUES ('10'), ('9'), ('40702810900000012345')"), 0);
    EXPECT_NE(shell(load, "INSERT INTO t VALUES ('10.00')"), 0);  // the same key
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &raw), SQLITE_OK);
    DbHandle db(raw);
    ASSERT_EQ(collation::EnsureDecimalOrder(raw), SQLITE_OK);
    std::vector<std::string> keys;
    Statement select(raw, "SELECT acct FROM t ORDER BY acct");
    while (select.Step()) keys.push_back(select.ColumnText(0));
    EXPECT_EQ(keys, (std::vector<std::string>{"9", "10", "40702810900000012345"}));
    fs::remove_all(dir);
}
#endif

}  // namespace
}  // namespace rowlark::database::testing
