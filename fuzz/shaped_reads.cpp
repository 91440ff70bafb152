// Read statements through the SQLite backend, as the layer runs them for the providers, against the
// same texts on a plain SQLite handle. A small database of several tables (every storage class,
// affinities, a quoted table name, a view) gets generated SELECT texts: result lists with
// parameters of every form (Tcl names with a "(...)" suffix, "::", "?NNN"), names in every quoting,
// IN lists of mixed literals (strings with quotes, blobs, reals, hexadecimal, signs), comments and
// odd blanks between tokens, subqueries, aggregates and groups, now and then EXPLAIN. Each text
// runs twice through the backend (the second time from a kept statement), beside a text of the
// same shape with other literals; every run answers the plain handle's column names, rows (typed)
// and error. An input that begins with "sql:" is one text as it is.

#include <sqlite3.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/support/check.h"
#include "fuzz/support/fuzz_input.h"
#include "platform/oledb/sqlite_connection.h"

namespace {

using oledb_backend::CursorError;
using oledb_backend::SqlValue;
using rowlark_fuzz::Escaped;
using rowlark_fuzz::FuzzInput;

// Column names, then every row as typed texts; or the error's message.
struct Answer {
    std::vector<std::string> names;
    std::vector<std::string> rows;
    std::string error;
    bool operator==(const Answer& other) const {
        return names == other.names && rows == other.rows && error == other.error;
    }
    std::string Describe() const {
        if (!error.empty()) return "error: " + error;
        std::string out;
        for (const auto& name : names) out += Escaped(name) + " | ";
        for (const auto& row : rows) out += "\n   " + Escaped(row);
        return out;
    }
};

std::string Typed(int type, std::int64_t integer, double real, const std::string& text) {
    char buffer[40];
    switch (type) {
        case SQLITE_NULL: return "N ";
        case SQLITE_INTEGER: return "I" + std::to_string(integer) + " ";
        case SQLITE_FLOAT: std::snprintf(buffer, sizeof buffer, "R%.17g ", real); return buffer;
        default: return "T" + text + " ";
    }
}

std::string Typed(const SqlValue& value) {
    switch (value.kind) {
        case SqlValue::Kind::Null: return Typed(SQLITE_NULL, 0, 0, "");
        case SqlValue::Kind::Integer: return Typed(SQLITE_INTEGER, value.integer, 0, "");
        case SqlValue::Kind::Real: return Typed(SQLITE_FLOAT, 0, value.real, "");
        default: return Typed(SQLITE_TEXT, 0, 0, value.text);
    }
}

// The parameters a host script would pass by name: ":a", "@a", "$a" and "#a" all read the value of
// "a"; "?" and "?1", where SQLite numbers them 1, the value of "1".
const oledb_backend::NamedParams& Params() {
    static const oledb_backend::NamedParams params = {
        {"a", SqlValue::Int(5)}, {"b", SqlValue::Text("x")}, {"k", SqlValue::Int(7)}, {"1", SqlValue::Int(3)}};
    return params;
}

const char* const kSchema =
    "CREATE TABLE t (i INTEGER PRIMARY KEY, t TEXT, r REAL, b BLOB, n);"
    "INSERT INTO t VALUES (1, 'x', 1.0, x'61', NULL), (2, '2', 2.5, '2', 2), (5, 'y', 5, 5, '5'),"
    " (7, 'it''s', -0.5, NULL, 7.0), (9, NULL, NULL, x'', 'x'), (10, '10', 1e10, 'ab', 10),"
    " (-3, 'Ёж', 3, x'00ff', -3), (9223372036854775807, '', 0.1, '', 'big');"
    "CREATE TABLE u (k TEXT COLLATE NOCASE, v INTEGER, w NUMERIC);"
    "CREATE INDEX u_v ON u (v);"
    "INSERT INTO u VALUES ('X', 1, '1'), ('y', 2, 2.0), ('it''s', 5, 'five'), (NULL, 7, NULL), ('a', 7, 1e3),"
    " ('10', 10, '10');"
    "CREATE TABLE \"odd name\" (\"in\" INTEGER, [a b] TEXT, `c` BLOB);"
    "INSERT INTO \"odd name\" VALUES (1, 'p', x'01'), (5, 'q', 'x'), (7, NULL, NULL), (2, '5', 5);"
    "CREATE VIEW vw AS SELECT i, t FROM t WHERE i IN (1, 2, 5, 7);";

// The database, made once per process; both sides open it anew for every input.
const std::string& DatabasePath() {
    static const std::string path = [] {
        const std::string made = "/tmp/rowlark_fuzz_shaped_" + std::to_string(getpid()) + ".db";
        std::remove(made.c_str());
        sqlite3* db = nullptr;
        char* message = nullptr;
        if (sqlite3_open(made.c_str(), &db) != SQLITE_OK ||
            sqlite3_exec(db, kSchema, nullptr, nullptr, &message) != SQLITE_OK)
            rowlark_fuzz::Fail(__FILE__, __LINE__, "schema", message ? message : sqlite3_errmsg(db));
        sqlite3_close(db);
        std::atexit([] { std::remove(("/tmp/rowlark_fuzz_shaped_" + std::to_string(getpid()) + ".db").c_str()); });
        return made;
    }();
    return path;
}

// ---- The generator: every choice reads the input; "variant" changes only the literals' values,
// so the two texts of one pass share their shape.

class Generator {
public:
    Generator(FuzzInput& in, bool variant) : in_(in), variant_(variant) {}

    std::string Statement() {
        std::string sql;
        const std::uint32_t lead = in_.Below(15);
        if (lead == 0) sql += "EXPLAIN" + Gap();
        if (lead == 1) sql += "EXPLAIN QUERY PLAN" + Gap();
        sql += Select(0);
        const std::uint32_t tail = in_.Below(15);
        if (tail == 0) sql += ";";
        if (tail == 1) sql += Gap() + "; -- done";
        if (tail == 2) sql += "; SELECT 1";
        return sql;
    }

private:
    std::string Pick(std::initializer_list<const char*> pool) {
        return *(pool.begin() + in_.Below(static_cast<std::uint32_t>(pool.size() - 1)));
    }
    // A literal's value: as the input chooses, or its neighbour in the pool for the variant.
    std::string PickLiteral(std::initializer_list<const char*> pool) {
        const auto size = static_cast<std::uint32_t>(pool.size());
        std::uint32_t index = in_.Below(size - 1);
        if (variant_) index = (index + 1) % size;
        return *(pool.begin() + index);
    }
    // What separates two tokens: never empty, so words do not run together.
    std::string Gap() {
        return Pick({" ", " ", " ", " ", " ", " ", "  ", "\n", "\t", " /* c */ ", "/**/", "-- note\n", " \v", "\r\n"});
    }
    // Blanks where punctuation already separates: may be nothing.
    std::string Tight() { return Pick({"", "", "", " ", "\n", "/*,)*/", " -- )\n"}); }
    // Blanks after punctuation: also a byte-order mark, which would run into a word before it.
    std::string AfterPunctuation() { return in_.Below(7) == 0 ? "\xEF\xBB\xBF" : Tight(); }

    std::string PlainLiteral() {
        switch (in_.Below(2)) {
            case 0: return PickLiteral({"1", "2", "5", "7", "9", "10", "0", "9223372036854775807", "3"});
            case 1: return PickLiteral({"'x'", "'y'", "'it''s'", "''", "'10'", "'5'", "'Ёж'", "'X'", "'a b'"});
            default: return PickLiteral({"'2'", "'(in(5)'", "'?'", "'-- x'", "'/*'", "'$a(in(5)'", "'x''y'"});
        }
    }
    std::string OtherLiteral() {
        return PickLiteral({"-1", "1.5", "1e1", ".5", "0x10", "0x7", "007", "9223372036854775808", "x'61'", "X'00ff'",
                            "NULL", "+5", "- 7", "'a' || 'b'", "1.0", "5e0", "\"i\"", "CAST(5 AS TEXT)"});
    }
    std::string Parameter() {
        return Pick({":a",       "@a",       "$a",       "#a",          ":b",    "@k",       "$a(in(5)",
                     "@a(in(5)", ":a(in(5)", "#a(in(5)", "$a::b(in(5)", ":a::b", "$a(it's)", "$a([)",
                     "$b(])",    "@a(x)",    "?",        "?5",          "?2",    ":k",       "$a(\"x)"});
    }
    // A column of the table the statement reads, in any quoting.
    std::string Column() {
        static const char* const kColumns[][6] = {{"i", "t", "\"r\"", "[b]", "`n`", "t.i"},
                                                  {"k", "v", "w", "\"k\"", "[v]", "u.w"},
                                                  {"\"in\"", "[a b]", "`c`", "\"odd name\".\"in\"", "[in]", "`a b`"},
                                                  {"i", "t", "\"i\"", "[t]", "vw.i", "I"},
                                                  {"i", "t", "r", "b", "n", "\"n\""}};
        return kColumns[table_][in_.Below(5)];
    }
    // The table a statement reads; Column() then names its columns.
    std::string Table() {
        table_ = in_.Below(4);
        switch (table_) {
            case 0: return Pick({"t", "\"t\"", "[t]", "`t`", "main.t"});
            case 1: return Pick({"u", "[u]"});
            case 2: return Pick({"\"odd name\"", "[odd name]", "`odd name`"});
            case 3: return "vw";
            default: return "(SELECT * FROM t WHERE i IN (" + List() + "))";
        }
    }
    std::string Operand(int depth) {
        switch (in_.Below(depth < 2 ? 6 : 3)) {
            case 0:
            case 1: return Column();
            case 2: return in_.Flag() ? PlainLiteral() : OtherLiteral();
            case 3: return Parameter();
            case 4: return "(" + Tight() + Expression(depth + 1) + Tight() + ")";
            case 5:
                return Pick({"abs(", "typeof(", "coalesce(NULL,", "length(", "quote(", "count(", "max(", "min(",
                             "group_concat("}) +
                       Expression(depth + 1) + ")";
            default: return "(SELECT v FROM u WHERE v IN (" + List() + ") LIMIT 1)";
        }
    }
    std::string List() {
        std::string list;
        for (std::uint32_t n = in_.Below(4) + 1; n > 0; --n) {
            if (!list.empty()) list += Tight() + "," + AfterPunctuation();
            list += in_.Below(5) == 0 ? (in_.Flag() ? OtherLiteral() : Parameter()) : PlainLiteral();
        }
        return list;
    }
    std::string InTest(int depth) {
        std::string test = Operand(depth) + Gap() + (in_.Flag() ? "NOT" + Gap() : "") + Pick({"IN", "in", "In"});
        switch (in_.Below(4)) {
            case 0:
                return test + Gap() + "(SELECT " +
                       Pick({"i FROM t WHERE i", "v FROM u WHERE v", "k FROM u WHERE w",
                             "\"in\" FROM \"odd name\" WHERE [a b]"}) +
                       " IN (" + List() + "))";
            default: return test + Tight() + "(" + AfterPunctuation() + List() + Tight() + ")";
        }
    }
    std::string Expression(int depth) {
        switch (in_.Below(depth < 2 ? 5 : 2)) {
            case 0:
            case 1:
            case 2: return InTest(depth);
            case 3:
                return Operand(depth) + Gap() + Pick({"=", "<>", "<", ">=", "IS", "IS NOT", "||", "+", "AND", "OR"}) +
                       Gap() + Operand(depth);
            default: return Expression(depth + 1) + Gap() + Pick({"AND", "OR"}) + Gap() + Expression(depth + 1);
        }
    }
    std::string ResultList(int depth) {
        std::string list;
        for (std::uint32_t n = in_.Below(3) + 1; n > 0; --n) {
            if (!list.empty()) list += Tight() + "," + Tight();
            switch (in_.Below(4)) {
                case 0: list += "*"; break;
                case 1: list += Operand(depth); break;
                case 2:
                    list += Expression(depth) + Gap() + "AS" + Gap() + Pick({"v", "\"w x\"", "[y]", "`z`", "\"?\""});
                    break;
                default: list += Parameter() + Gap() + "AS" + Gap() + Pick({"p", "q"}); break;
            }
        }
        return list;
    }
    std::string Select(int depth) {
        std::string sql =
            std::string(in_.Flag() ? "SELECT" : "select") + Gap() + (in_.Below(5) == 0 ? "DISTINCT" + Gap() : "");
        const std::string from = Gap() + "FROM" + Gap() + Table();  // first: the result list names its columns
        sql += ResultList(depth) + from;
        if (in_.Below(4) != 0) sql += Gap() + "WHERE" + Gap() + Expression(depth);
        if (in_.Below(5) == 0) sql += Gap() + "GROUP BY" + Gap() + (in_.Flag() ? Column() : Expression(depth + 1));
        if (in_.Flag())
            sql += Gap() + "ORDER BY" + Gap() + (in_.Flag() ? Column() : Pick({"1", "1 DESC", "2", "rowid"}));
        if (in_.Below(4) == 0) sql += Gap() + "LIMIT" + Gap() + PickLiteral({"1", "2", "0", "3"});
        return sql;
    }

    FuzzInput& in_;
    bool variant_;
    std::uint32_t table_ = 0;  // which table Column() names: t, u, "odd name", vw, a subquery of t
};

// ---- The two sides.

Answer Backend(oledb_backend::SqliteConnection& connection, const std::string& sql, bool stream) {
    Answer answer;
    try {
        const auto reading = stream ? oledb_backend::Reading::kStream : oledb_backend::Reading::kWhole;
        const auto cursor = connection.RunStatement(sql, Params(), reading);
        for (int c = 0; c < cursor->ColumnCount(); ++c) answer.names.push_back(cursor->ColumnName(c));
        while (cursor->Step()) {
            std::string row;
            for (int c = 0; c < cursor->ColumnCount(); ++c) row += Typed(cursor->Column(c));
            answer.rows.push_back(row);
        }
    } catch (const CursorError& error) {
        answer = Answer();
        answer.error = error.what();
    }
    return answer;
}

using StatementHandle = std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)>;

// The text prepared as the layer prepares it: one statement, nothing but blanks and comments after it.
StatementHandle PrepareOne(sqlite3* db, const std::string& sql, std::string& error) {
    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &raw, &tail);
    StatementHandle stmt(raw, sqlite3_finalize);
    if (rc != SQLITE_OK)
        error = sqlite3_errmsg(db);
    else if (!stmt)
        error = "empty statement text";
    if (!error.empty()) return StatementHandle(nullptr, sqlite3_finalize);
    sqlite3_stmt* next = nullptr;
    const int rest = static_cast<int>(sql.data() + sql.size() - tail);
    const int rc_next = sqlite3_prepare_v2(db, tail, rest, &next, nullptr);
    const StatementHandle following(next, sqlite3_finalize);
    if (rc_next != SQLITE_OK || following) error = "more than one statement in one command";
    return error.empty() ? std::move(stmt) : StatementHandle(nullptr, sqlite3_finalize);
}

void BindByName(sqlite3_stmt* stmt) {
    for (int i = 1; i <= sqlite3_bind_parameter_count(stmt); ++i) {
        // A named parameter by its name without its first byte, a numbered one ("?", "?NNN") by its number.
        const char* name = sqlite3_bind_parameter_name(stmt, i);
        const auto it = !name || name[0] == '?' ? Params().find(std::to_string(i)) : Params().find(name + 1);
        if (it == Params().end()) continue;
        if (it->second.kind == SqlValue::Kind::Integer)
            sqlite3_bind_int64(stmt, i, it->second.integer);
        else
            sqlite3_bind_text(stmt, i, it->second.text.c_str(), -1, SQLITE_TRANSIENT);
    }
}

Answer Reference(sqlite3* db, const std::string& sql) {
    Answer answer;
    const StatementHandle stmt = PrepareOne(db, sql, answer.error);
    if (!stmt) return answer;
    BindByName(stmt.get());
    int rc = sqlite3_step(stmt.get());
    for (int c = 0; c < sqlite3_column_count(stmt.get()); ++c)
        answer.names.push_back(sqlite3_column_name(stmt.get(), c));
    for (; rc == SQLITE_ROW; rc = sqlite3_step(stmt.get())) {
        std::string row;
        for (int c = 0; c < sqlite3_column_count(stmt.get()); ++c) {
            // The type first: reading a value as another type converts it in place.
            const int type = sqlite3_column_type(stmt.get(), c);
            std::int64_t integer = 0;
            double real = 0;
            std::string text;
            if (type == SQLITE_INTEGER) integer = sqlite3_column_int64(stmt.get(), c);
            if (type == SQLITE_FLOAT) real = sqlite3_column_double(stmt.get(), c);
            if (type == SQLITE_TEXT || type == SQLITE_BLOB) {
                const auto* bytes = static_cast<const char*>(sqlite3_column_blob(stmt.get(), c));
                text.assign(bytes ? bytes : "", static_cast<std::size_t>(sqlite3_column_bytes(stmt.get(), c)));
            }
            row += Typed(type, integer, real, text);
        }
        answer.rows.push_back(row);
    }
    if (rc != SQLITE_DONE) answer = Answer{{}, {}, sqlite3_errmsg(db)};
    return answer;
}

void Compare(oledb_backend::SqliteConnection& connection, sqlite3* db, const std::string& sql, bool stream,
             const char* when) {
    const Answer expected = Reference(db, sql);
    const Answer got = Backend(connection, sql, stream);
    FUZZ_CHECK(got == expected, std::string(when) + ": " + Escaped(sql) + "\n  backend: " + got.Describe() +
                                    "\n  sqlite:  " + expected.Describe());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = DatabasePath();
    const auto connection = oledb_backend::SqliteConnection::Open(path);
    sqlite3* raw = nullptr;
    FUZZ_CHECK(sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK, path);
    const std::unique_ptr<sqlite3, int (*)(sqlite3*)> reference(raw, sqlite3_close);

    // "sql:" and a text: that text as it is (the corpus keeps known faults that way), run twice.
    const std::string input(reinterpret_cast<const char*>(data), size);
    if (input.compare(0, 4, "sql:") == 0) {
        Compare(*connection, reference.get(), input.substr(4), false, "first run");
        Compare(*connection, reference.get(), input.substr(4), true, "again, from the kept statement");
        return 0;
    }
    FuzzInput in(data, size);
    for (int pass = 0; pass < 4 && !in.Empty(); ++pass) {
        FuzzInput again = in;
        const std::string text = Generator(in, false).Statement();
        const std::string other = Generator(again, true).Statement();
        const bool stream = (pass & 1) != 0;
        Compare(*connection, reference.get(), text, stream, "first run");
        Compare(*connection, reference.get(), other, !stream, "same shape, other literals");
        Compare(*connection, reference.get(), text, stream, "again, from the kept statement");
    }
    return 0;
}
