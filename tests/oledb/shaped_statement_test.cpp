// A statement whose IN-list literals the SQLite backend binds as parameters (and whose prepared
// statement it keeps for the next text of the same shape) answers exactly what the text itself
// answers through a plain SQLite handle: the same columns, the same rows in the same order, the
// same errors, also after the schema changed under a kept statement.

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/oledb/row_cursor.h"
#include "platform/oledb/sqlite_connection.h"

namespace {

using oledb_backend::CursorError;
using oledb_backend::RowCursor;
using oledb_backend::SqlValue;
using oledb_backend::SqliteConnection;

// Column names, then every row as typed texts; or the error's message.
struct Answer {
    std::vector<std::string> names;
    std::vector<std::vector<std::string>> rows;
    std::string error;
    bool operator==(const Answer& other) const {
        return names == other.names && rows == other.rows && error == other.error;
    }
};

std::ostream& operator<<(std::ostream& out, const Answer& answer) {
    if (!answer.error.empty()) return out << "error: " << answer.error;
    for (const auto& name : answer.names) out << name << " | ";
    for (const auto& row : answer.rows) {
        out << "\n ";
        for (const auto& value : row) out << value << " ";
    }
    return out;
}

std::string Typed(const SqlValue& value) {
    switch (value.kind) {
        case SqlValue::Kind::Null: return "N";
        case SqlValue::Kind::Integer: return "I" + std::to_string(value.integer);
        case SqlValue::Kind::Real: return "R" + std::to_string(value.real);
        default: return "T" + value.text;
    }
}

class ShapedStatement : public ::testing::Test {
protected:
    void SetUp() override {
        static int counter = 0;
        path_ = (std::filesystem::temp_directory_path() /
                 ("rowlark_shaped_" + std::to_string(getpid()) + "_" + std::to_string(++counter) + ".db"))
                    .string();
        std::filesystem::remove(path_);
        connection_ = SqliteConnection::Open(path_);
        ASSERT_EQ(sqlite3_open(path_.c_str(), &reference_), SQLITE_OK);
        Run("CREATE TABLE t (i INTEGER, t TEXT, r REAL, b BLOB, n)");
        Run("INSERT INTO t VALUES (5, '5', 5.0, '5', 5), (7, 'x', 7.5, x'61', '7'), (10, '10', 1e1, 'ab', 10.0),"
            " (9223372036854775807, 'Ёж''ик', 0.1, NULL, NULL), (1, NULL, NULL, '1', 'x'), (2, 'y', 2, 2, 2)");
    }
    void TearDown() override {
        connection_.reset();
        sqlite3_close(reference_);
        std::filesystem::remove(path_);
    }

    void Run(const std::string& sql) { connection_->Execute(sql); }

    // Through the backend, as the layer runs a statement.
    Answer Backend(const std::string& sql, const oledb_backend::NamedParams& params = {}) {
        Answer answer;
        try {
            const std::unique_ptr<RowCursor> cursor = connection_->RunStatement(sql, params, oledb_backend::Reading::kWhole);
            for (int c = 0; c < cursor->ColumnCount(); ++c) answer.names.push_back(cursor->ColumnName(c));
            while (cursor->Step()) {
                std::vector<std::string> row;
                for (int c = 0; c < cursor->ColumnCount(); ++c) row.push_back(Typed(cursor->Column(c)));
                answer.rows.push_back(std::move(row));
            }
        } catch (const CursorError& error) {
            answer = Answer();
            answer.error = error.what();
        }
        return answer;
    }

    // The text itself through a plain handle of its own.
    Answer Reference(const std::string& sql) {
        Answer answer;
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(reference_, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
            answer.error = sqlite3_errmsg(reference_);
            return answer;
        }
        // Names after the first step: a handle learns of another's schema change only when it reads.
        int rc = sqlite3_step(stmt);
        for (int c = 0; c < sqlite3_column_count(stmt); ++c) answer.names.push_back(sqlite3_column_name(stmt, c));
        for (; rc == SQLITE_ROW; rc = sqlite3_step(stmt)) {
            std::vector<std::string> row;
            for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
                switch (sqlite3_column_type(stmt, c)) {
                    case SQLITE_NULL: row.push_back("N"); break;
                    case SQLITE_INTEGER: row.push_back("I" + std::to_string(sqlite3_column_int64(stmt, c))); break;
                    case SQLITE_FLOAT: row.push_back("R" + std::to_string(sqlite3_column_double(stmt, c))); break;
                    default:
                        row.push_back("T" + std::string(static_cast<const char*>(sqlite3_column_blob(stmt, c)),
                                                        static_cast<std::size_t>(sqlite3_column_bytes(stmt, c))));
                }
            }
            answer.rows.push_back(std::move(row));
        }
        if (rc != SQLITE_DONE) answer = Answer{{}, {}, sqlite3_errmsg(reference_)};
        sqlite3_finalize(stmt);
        return answer;
    }

    std::string path_;
    std::shared_ptr<SqliteConnection> connection_;
    sqlite3* reference_ = nullptr;
};

TEST_F(ShapedStatement, AnswersWhatTheTextAnswersAcrossAffinitiesTwiceOver) {
    const char* const texts[] = {
        "SELECT * FROM t WHERE i IN ('5', '7')",  // texts against an INTEGER column
        "SELECT * FROM t WHERE i IN (5, 7)",
        "SELECT * FROM t WHERE t IN (5, 10)",     // integers against a TEXT column
        "SELECT * FROM t WHERE t IN ('Ёж''ик', 'y')",
        "SELECT * FROM t WHERE n IN (5, '7', 10)",  // no affinity at all
        "SELECT * FROM t WHERE r IN (5, 10, 2)",
        "SELECT * FROM t WHERE b IN ('ab', '5', 2)",
        "SELECT * FROM t WHERE i IN (9223372036854775807, 1)",
        "SELECT * FROM t WHERE i IN (5, 5, 5)",
        "SELECT * FROM t WHERE i IN (7)",
        "SELECT i FROM t WHERE i NOT IN (1, 2) ORDER BY i DESC",
        "SELECT i, t IN ('x', 'y') AS flag FROM t",
        "SELECT i IN (1, 2) FROM t",               // a column named by its text
        "SELECT * FROM t WHERE i IN (SELECT i FROM t WHERE t IN ('x', '10'))",
        "SELECT count(*) FROM t WHERE i IN (1, 2, 5, 7, 10)",
    };
    for (const char* text : texts) {
        const Answer expected = Reference(text);
        ASSERT_TRUE(expected.error.empty()) << text << ": " << expected.error;
        EXPECT_EQ(Backend(text), expected) << text;
        EXPECT_EQ(Backend(text), expected) << text << " (again, from the kept statement)";
    }
}

TEST_F(ShapedStatement, OneShapeWithOtherLiteralsIsPreparedOnceAndAnswersEachText) {
    const std::size_t before = connection_->statements_prepared();
    const std::vector<std::string> keys = {"1", "2", "5", "7", "10", "9223372036854775807"};
    for (int round = 0; round < 50; ++round) {
        const std::string text = "SELECT i, t FROM t WHERE i IN (" + keys[round % 6] + ", " + keys[(round + 2) % 6] + ")";
        ASSERT_EQ(Backend(text), Reference(text)) << text;
    }
    EXPECT_EQ(connection_->statements_prepared() - before, 1u);
}

TEST_F(ShapedStatement, TwoOpenCursorsOfOneShapeEachReadTheirOwnRows) {
    auto first = connection_->RunStatement("SELECT i FROM t WHERE i IN (1, 2)", {}, oledb_backend::Reading::kStream);
    auto second = connection_->RunStatement("SELECT i FROM t WHERE i IN (5, 7)", {}, oledb_backend::Reading::kStream);
    std::vector<std::string> a, b;
    while (first->Step()) a.push_back(Typed(first->Column(0)));
    while (second->Step()) b.push_back(Typed(second->Column(0)));
    EXPECT_EQ(a, (std::vector<std::string>{"I1", "I2"}));
    EXPECT_EQ(b, (std::vector<std::string>{"I5", "I7"}));
}

TEST_F(ShapedStatement, ErrorsAreTheTextsOwnAlsoWhenTheSchemaChangedUnderAKeptStatement) {
    for (const char* text : {"SELECT * FROM nowhere WHERE i IN (1, 2)", "SELECT nothing FROM t WHERE i IN (1)",
                             "SELECT * FROM t WHERE i IN (1, 2) AND", "SELECT * FROM t WHERE i IN (1, 'a' 'b')"}) {
        EXPECT_FALSE(Backend(text).error.empty()) << text;
        EXPECT_EQ(Backend(text), Reference(text)) << text;
    }
    // The layer's own refusal, which a plain handle does not make, stands for shaped texts too.
    EXPECT_EQ(Backend("SELECT * FROM t WHERE i IN (1, 2); SELECT 1").error, "more than one statement in one command");
    const std::string star = "SELECT * FROM t WHERE i IN (5, 7)";
    ASSERT_EQ(Backend(star), Reference(star));
    Run("ALTER TABLE t ADD COLUMN extra DEFAULT 'new'");
    EXPECT_EQ(Backend(star), Reference(star)) << "a kept statement shows the new column";
    EXPECT_EQ(Backend(star).names.size(), 6u);
    Run("DROP TABLE t");
    const Answer gone = Backend(star);
    EXPECT_EQ(gone, Reference(star));
    EXPECT_EQ(gone.error, "no such table: t");
}

TEST_F(ShapedStatement, WritesAndNamedParametersKeepTheirMeaning) {
    oledb_backend::NamedParams params;
    params["name"] = SqlValue::Text("y");
    const Answer named = Backend("SELECT i FROM t WHERE i IN (1, 2, 5) AND t = :name", params);
    EXPECT_EQ(named.rows, (std::vector<std::vector<std::string>>{{"I2"}}));

    const std::size_t before = connection_->statements_prepared();
    Backend("DELETE FROM t WHERE i IN (1, 2)");
    Backend("DELETE FROM t WHERE i IN (5, 7)");
    Backend("DELETE FROM t WHERE i IN (8, 9)");
    EXPECT_EQ(connection_->statements_prepared() - before, 4u)
        << "a write's shape is tried once and refused; each write is then prepared from its own text";
    EXPECT_EQ(Backend("SELECT count(*) FROM t").rows, (std::vector<std::vector<std::string>>{{"I2"}}));
}

// SQLite reads "@a(in(5)" as one parameter name (a Tcl variable with its index), so its "in(5)"
// is no IN list; a "?NNN" hidden from a scanner that misreads quotes in such names numbers the
// anonymous parameters past gaps. Each text answers as it does through a plain handle.
TEST_F(ShapedStatement, ParameterNamesWithParenthesesAndNumberedParametersKeepEveryLiteralInItsPlace) {
    const char* const texts[] = {
        "SELECT @a(in(5) AS v, i FROM t WHERE i IN (7, 10)",
        "SELECT :a(in(5) AS v, i FROM t WHERE i IN (7, 10)",
        "SELECT $a(in(5) AS v, i FROM t WHERE i IN (7, 10)",
        "SELECT #a(in(5) AS v, i FROM t WHERE i IN (7, 10)",
        "SELECT $a::b(in(5) AS v, i FROM t WHERE i IN (7, 10)",
        "SELECT :k, @a(in('x') AS v, t FROM t WHERE t IN ('y', '10') AND :k IS NULL",
        "SELECT $a([) AS v, ?5 AS w, $b(]) AS u, i FROM t WHERE i IN (7, 10)",
        "SELECT $a(it's) AS v, ?5 AS w, $b(it's) AS u, i FROM t WHERE i IN (7, 10)",
        "SELECT i FROM t WHERE i IN (7, 10) AND 0x1in (1)",  // a hex number ends where its digits do
    };
    for (const char* text : texts) {
        const Answer expected = Reference(text);
        ASSERT_TRUE(expected.error.empty()) << text << ": " << expected.error;
        ASSERT_FALSE(expected.rows.empty()) << text;
        EXPECT_EQ(Backend(text), expected) << text;
        EXPECT_EQ(Backend(text), expected) << text << " (again, from the kept statement)";
    }
}

// The last guard against a misread text: a shape stands for its text only where SQLite numbers
// the shape's parameters as they were read. Here the shapes a misreading scanner once made.
TEST_F(ShapedStatement, AShapeWhoseParametersSqliteNumbersOtherwiseIsRefused) {
    using oledb_backend::NumbersParametersAsShaped;
    using oledb_backend::ShapedText;
    const auto prepared = [this](const std::string& sql) {
        sqlite3_stmt* stmt = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(reference_, sql.c_str(), -1, &stmt, nullptr), SQLITE_OK) << sql;
        return std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)>(stmt, sqlite3_finalize);
    };
    const auto literals = [](std::size_t count) { return std::vector<SqlValue>(count, SqlValue::Int(7)); };

    const auto tcl = prepared("SELECT @a(in(?) AS v, i FROM t WHERE i IN (?, ?)");
    EXPECT_FALSE(NumbersParametersAsShaped(tcl.get(), ShapedText{"", literals(3), {"", "", ""}, {}}))
        << "three literals taken out, but the first \"?\" is inside a name";
    EXPECT_FALSE(NumbersParametersAsShaped(tcl.get(), ShapedText{"", literals(2), {"", "", ""}, {}}));
    EXPECT_FALSE(NumbersParametersAsShaped(tcl.get(), ShapedText{"", literals(2), {"@a", "", ""}, {}}));
    EXPECT_TRUE(NumbersParametersAsShaped(tcl.get(), ShapedText{"", literals(2), {"@a(in(?)", "", ""}, {}}));

    // "?5" leaves the numbers 2 to 4 nameless: as many anonymous places, but not the expected ones.
    const auto gaps = prepared("SELECT $a([) AS v, ?5 AS w, $b(]) AS u, i FROM t WHERE i IN (?, ?)");
    EXPECT_FALSE(NumbersParametersAsShaped(gaps.get(), ShapedText{"", literals(2), {"$a([)", "", ""}, {}}));
    EXPECT_FALSE(
        NumbersParametersAsShaped(gaps.get(), ShapedText{"", literals(2), {"$a([)", "?5", "$b(])", "", ""}, {}}));

    const auto named = prepared("SELECT :k FROM t WHERE i IN (?) AND t = :k AND n IN (?, ?)");
    EXPECT_TRUE(NumbersParametersAsShaped(named.get(), ShapedText{"", literals(3), {":k", "", "", ""}, {}}));
    EXPECT_FALSE(NumbersParametersAsShaped(named.get(), ShapedText{"", literals(3), {"", ":k", "", ""}, {}}));
    EXPECT_FALSE(NumbersParametersAsShaped(named.get(), ShapedText{"", literals(3), {":k", "", "", "", ":k"}, {}}));
}

// EXPLAIN lists the program's instructions, and a bound literal is another instruction than an
// inline one: such a text runs as it is.
TEST_F(ShapedStatement, ExplainListsTheTextsOwnProgram) {
    for (const char* text : {"EXPLAIN SELECT * FROM t WHERE i IN (5, 7)",
                             "EXPLAIN QUERY PLAN SELECT * FROM t WHERE i IN (5, 7)"}) {
        const Answer expected = Reference(text);
        ASSERT_TRUE(expected.error.empty()) << text << ": " << expected.error;
        EXPECT_EQ(Backend(text), expected) << text;
    }
}

TEST_F(ShapedStatement, MoreShapesThanAreKeptStillAnswerEachText) {
    for (int round = 0; round < 3; ++round) {
        for (std::size_t shape = 1; shape <= SqliteConnection::kShapesKept + 4; ++shape) {
            std::string list = "1";
            for (std::size_t k = 1; k < shape; ++k) list += ", " + std::to_string(k % 11);
            const std::string text = "SELECT i FROM t WHERE i IN (" + list + ") ORDER BY i";
            ASSERT_EQ(Backend(text), Reference(text)) << text;
        }
    }
}

}  // namespace

// Numbers SQLite 3.40 reads one unit off as texts, and an integer text beyond 2^53 whose double
// is another integer: as quoted keys they compare by affinity, each column as a plain handle does.
class NumberTextKeys : public ShapedStatement {
protected:
    void SetUp() override {
        ShapedStatement::SetUp();
        Run("CREATE TABLE m (t TEXT, i INTEGER, n NUMERIC, u, b BLOB, r REAL)");
        for (const char* text : kTexts) {
            const std::string quoted = std::string("'") + text + "'";
            Run("INSERT INTO m VALUES (" + quoted + ", " + quoted + ", " + quoted + ", " + quoted + ", " + quoted +
                ", " + quoted + ")");
            Run(std::string("INSERT INTO m VALUES (") + text + ", " + text + ", " + text + ", " + text + ", " + text +
                ", " + text + ")");
        }
        // The exact doubles, bound as the layer writes them.
        sqlite3_stmt* insert = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(reference_, "INSERT INTO m VALUES (?1, ?1, ?1, ?1, ?1, ?1)", -1, &insert, nullptr),
                  SQLITE_OK);
        for (const double exact : {0.2655636860555112, 3.402149250892514e+46, 999807350250180900.0}) {
            sqlite3_bind_double(insert, 1, exact);
            ASSERT_EQ(sqlite3_step(insert), SQLITE_DONE);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
    }
    static constexpr const char* kTexts[] = {"0.2655636860555112", "3.402149250892514e+46", "999807350250180900",
                                             "12.5"};
    const std::string keys_ = "'0.2655636860555112', '3.402149250892514e+46', '999807350250180900', '12.5',"
                              " '0.265563686055511', '3.40214925089251e+46', '9.9980735025018e+17'";
};

TEST_F(NumberTextKeys, EveryOtherAffinityAndEveryExpressionComparesAsAPlainHandleDoes) {
    const std::string texts[] = {
        "SELECT rowid, t FROM m WHERE t IN (" + keys_ + ")",
        "SELECT rowid, i FROM m WHERE i IN (" + keys_ + ")",
        "SELECT rowid, n FROM m WHERE n IN (" + keys_ + ")",
        "SELECT rowid, u FROM m WHERE u IN (" + keys_ + ")",
        "SELECT rowid, b FROM m WHERE b IN (" + keys_ + ")",
        "SELECT rowid FROM m WHERE m.n NOT IN (" + keys_ + ")",
        "SELECT rowid FROM m WHERE r + 0 IN (" + keys_ + ")",
        "SELECT rowid FROM m WHERE +r IN (" + keys_ + ")",
        "SELECT rowid FROM m WHERE CAST(r AS REAL) IN (" + keys_ + ")",
        "SELECT rowid FROM m WHERE r COLLATE BINARY IN (" + keys_ + ")",
        "SELECT rowid FROM m WHERE 0 BETWEEN -1 AND r IN (" + keys_ + ")",
        "SELECT rowid, r IN (" + keys_ + ") FROM m",
        "SELECT k FROM (SELECT CAST(r AS TEXT) AS k FROM m) WHERE k IN (" + keys_ + ")",
        "SELECT k FROM (SELECT t AS k FROM m) AS s WHERE s.k IN (" + keys_ + ")",
        "WITH t AS (SELECT n AS r FROM m) SELECT r FROM t WHERE r IN (" + keys_ + ")",
        "SELECT rowid FROM m WHERE i IN (" + keys_ + ") OR r IN ('12.5', '5')",
    };
    for (const std::string& text : texts) {
        const Answer expected = Reference(text);
        ASSERT_TRUE(expected.error.empty()) << text << ": " << expected.error;
        EXPECT_EQ(Backend(text), expected) << text;
        EXPECT_EQ(Backend(text), expected) << text << " (again, from the kept statement)";
    }
}

// Against a REAL column the keys are the exact doubles: each finds the row that holds it, where a
// plain handle's reading of the text misses it.
TEST_F(NumberTextKeys, KeysAgainstARealColumnFindTheExactDouble) {
    // Rows 9 to 11 hold the exact doubles; the rows written from texts hold SQLite's reading.
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
        {"SELECT rowid FROM m WHERE r IN (" + keys_ + ")", {"I9", "I10", "I11"}},
        {"SELECT rowid FROM m AS x WHERE 1 AND (x.r IN (" + keys_ + "))", {"I9", "I10", "I11"}},
        {"SELECT rowid FROM m WHERE rowid > 0 AND main.m.r NOT IN (" + keys_ + ")", {}},
        {"SELECT rowid FROM m WHERE r IN ('999807350250180900')", {"I11"}},
    };
    for (const auto& [text, held] : cases) {
        const Answer found = Backend(text);
        ASSERT_TRUE(found.error.empty()) << text << ": " << found.error;
        EXPECT_FALSE(found == Reference(text)) << text << ": a plain handle misses the exact doubles";
        std::vector<std::string> rows;
        for (const auto& row : found.rows) rows.push_back(row[0]);
        for (const std::string& row : held)
            EXPECT_NE(std::find(rows.begin(), rows.end(), row), rows.end()) << text << " misses row " << row;
        if (text.find("NOT IN") == std::string::npos) continue;
        for (const char* row : {"I9", "I10", "I11"})
            EXPECT_EQ(std::find(rows.begin(), rows.end(), row), rows.end()) << text << " keeps row " << row;
    }
}

// The column a key list stands against is asked once per shape, and asked again once the schema
// changed: a REAL column made TEXT under a remembered shape compares as text from then on.
TEST_F(NumberTextKeys, AShapeIsProbedOnceUntilItsSchemaChanges) {
    const std::string text = "SELECT rowid FROM m WHERE r IN (" + keys_ + ")";
    Backend(text);
    const std::size_t probes = connection_->real_list_probes();
    for (int i = 0; i < 5; ++i) {
        std::string other_keys;  // as many keys as keys_ holds: the same shape
        for (int k = 0; k < 7; ++k) other_keys += (k ? ", '" : "'") + std::to_string(i * 7 + k) + ".5'";
        Backend("SELECT rowid FROM m WHERE r IN (" + other_keys + ")");
    }
    EXPECT_EQ(probes, connection_->real_list_probes()) << "the same shape was probed again";

    const std::string retype = "ALTER TABLE m RENAME TO m_old; CREATE TABLE m (r TEXT); "
                               "INSERT INTO m SELECT CAST(r AS TEXT) FROM m_old";
    for (const bool by_another : {true, false}) {
        if (by_another) {
            ASSERT_EQ(sqlite3_exec(reference_, retype.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
        } else {
            Run("DROP TABLE m_old");
            for (const char* step : {"ALTER TABLE m RENAME TO m_old", "CREATE TABLE m (r TEXT)",
                                     "INSERT INTO m VALUES ('0.2655636860555112'), ('12.5')"})
                Run(step);
        }
        const Answer expected = Reference(text);
        ASSERT_FALSE(expected.rows.empty()) << "the text column holds the keys' very texts";
        EXPECT_EQ(Backend(text), expected) << (by_another ? "after another connection" : "after this connection");
        EXPECT_GT(connection_->real_list_probes(), probes);
    }
}
