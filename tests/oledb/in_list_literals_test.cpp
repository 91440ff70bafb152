// Which statement texts have their IN-list literals taken out, and which are left as they are.

#include "platform/oledb/in_list_literals.h"

#include <gtest/gtest.h>

namespace {

using oledb_backend::SqlValue;
using oledb_backend::TakeOutInListLiterals;

std::string Describe(const SqlValue& value) {
    return value.kind == SqlValue::Kind::Integer ? "I" + std::to_string(value.integer) : "T" + value.text;
}

std::vector<std::string> Values(const std::string& sql) {
    std::vector<std::string> out;
    if (const auto shaped = TakeOutInListLiterals(sql))
        for (const auto& value : shaped->values) out.push_back(Describe(value));
    return out;
}

std::string Shape(const std::string& sql) {
    const auto shaped = TakeOutInListLiterals(sql);
    return shaped ? shaped->shape : "<none>";
}

// The shape's parameters as SQLite numbers them: a name, or "?" for a taken-out literal.
std::vector<std::string> Parameters(const std::string& sql) {
    std::vector<std::string> out;
    if (const auto shaped = TakeOutInListLiterals(sql))
        for (const auto& name : shaped->parameters) out.push_back(name.empty() ? "?" : name);
    return out;
}

TEST(InListLiterals, PlainIntegersAndStringsBecomeParametersInTextOrder) {
    EXPECT_EQ(Shape("SELECT * FROM t WHERE id IN (1, 22,333)"), "SELECT * FROM t WHERE id IN (?, ?,?)");
    EXPECT_EQ(Values("SELECT * FROM t WHERE id IN (1, 22,333)"), (std::vector<std::string>{"I1", "I22", "I333"}));
    EXPECT_EQ(Shape("select a from t where k in ( 'x' , 'it''s' )"), "select a from t where k in ( ? , ? )");
    EXPECT_EQ(Values("select a from t where k in ( 'x' , 'it''s' )"), (std::vector<std::string>{"Tx", "Tit's"}));
    EXPECT_EQ(Values("SELECT 1 WHERE 'Ёж' IN ('Ёж', '')"), (std::vector<std::string>{"TЁж", "T"}));
    EXPECT_EQ(Values("SELECT 1 WHERE 0 IN (0, 9223372036854775807)"),
              (std::vector<std::string>{"I0", "I9223372036854775807"}));
    // NOT IN, two lists, a list inside a subquery, a named parameter beside them.
    EXPECT_EQ(Shape("SELECT * FROM t WHERE a NOT IN (1) AND b IN ('q') AND c IN (SELECT c FROM u WHERE d IN (2))"
                    " AND e = :e"),
              "SELECT * FROM t WHERE a NOT IN (?) AND b IN (?) AND c IN (SELECT c FROM u WHERE d IN (?)) AND e = :e");
}

TEST(InListLiterals, ListsWithAnythingButPlainLiteralsStayAsTheyAre) {
    for (const char* sql : {
             "SELECT * FROM t",
             "SELECT * FROM t WHERE id IN (SELECT id FROM u)",
             "SELECT * FROM t WHERE id IN (-1)",                    // a sign is an operator
             "SELECT * FROM t WHERE id IN (1.5)",                   // a real
             "SELECT * FROM t WHERE id IN (1e3)",
             "SELECT * FROM t WHERE id IN (.5)",
             "SELECT * FROM t WHERE id IN (0x10)",                  // hexadecimal
             "SELECT * FROM t WHERE id IN (007)",                   // leading zeros
             "SELECT * FROM t WHERE id IN (9223372036854775808)",   // read as a REAL by SQLite
             "SELECT * FROM t WHERE id IN (X'00')",                 // a blob
             "SELECT * FROM t WHERE id IN (a)",                     // a name
             "SELECT * FROM t WHERE id IN (\"a\")",
             "SELECT * FROM t WHERE id IN (1, /* two */ 2)",        // a comment
             "SELECT * FROM t WHERE id IN ()",
             "SELECT * FROM t WHERE id IN (1,)",
             "SELECT * FROM t WHERE id IN (1 2)",
             "SELECT * FROM t WHERE id IN ('a' || 'b')",
             "SELECT * FROM t WHERE id IN (NULL)",
             "SELECT * FROM t WHERE id IN ('unterminated)",
             "SELECT * FROM t WHERE id \"IN\" (1)",                 // a quoted name, not the keyword
             "SELECT 'id IN (1)' FROM t",                           // inside a string
             "SELECT 1 -- id IN (1)\n FROM t",                      // inside a comment
             "SELECT * FROM t JOIN (u) ON 1 WHERE 1",
             "SELECT * FROM t WHERE id IN (1, 2) AND k = ?",       // a "?" of the text's own
             "SELECT * FROM t WHERE id IN (1, 2) AND k = ?3",
         }) {
        EXPECT_EQ(Shape(sql), "<none>") << sql;
    }
    // One list qualifies, the other does not: only the first is shaped.
    EXPECT_EQ(Shape("SELECT * FROM t WHERE a IN (1, b) AND c IN (2)"), "SELECT * FROM t WHERE a IN (1, b) AND c IN (?)");
}

// A parameter name runs as far as SQLite reads it: "$", "@", ":" and "#" names, "::" inside them,
// and a parenthesised suffix up to its ")" (a Tcl array index), so nothing inside is an IN list.
TEST(InListLiterals, ParameterNamesEndWhereSqliteEndsThem) {
    for (const char* prefix : {"@", ":", "$", "#"}) {
        const std::string sql = std::string("SELECT ") + prefix + "a(in(5) AS v, i FROM t WHERE i IN (7, 9)";
        EXPECT_EQ(Shape(sql), std::string("SELECT ") + prefix + "a(in(5) AS v, i FROM t WHERE i IN (?, ?)") << sql;
        EXPECT_EQ(Values(sql), (std::vector<std::string>{"I7", "I9"})) << sql;
    }
    EXPECT_EQ(Shape("SELECT $a::b(in(5) FROM t WHERE i IN (7)"), "SELECT $a::b(in(5) FROM t WHERE i IN (?)");
    EXPECT_EQ(Shape("SELECT :a::in (5) FROM t WHERE i IN (7)"), "SELECT :a::in (5) FROM t WHERE i IN (?)");
    // Quotes and brackets inside a name's suffix open nothing; a "?NNN" after them is seen.
    EXPECT_EQ(Shape("SELECT $a(it's), ?5, $b(it's) FROM t WHERE i IN (7)"), "<none>");
    EXPECT_EQ(Shape("SELECT $a([), ?5, $b(]) FROM t WHERE i IN (7)"), "<none>");
    EXPECT_EQ(Shape("SELECT $a(x) FROM t WHERE i IN (7) AND '?'"), "SELECT $a(x) FROM t WHERE i IN (?) AND '?'");
    // A suffix cut by a blank, or a name with nothing after its prefix, is a token SQLite refuses.
    for (const char* sql : {"SELECT @a(x y) FROM t WHERE i IN (7)", "SELECT @ FROM t WHERE i IN (7)",
                            "SELECT $(x) FROM t WHERE i IN (7)", "SELECT :: FROM t WHERE i IN (7)"}) {
        EXPECT_EQ(Shape(sql), "<none>") << sql;
    }
    // Named parameters keep their SQLite numbers: first use only, taken-out literals between them.
    EXPECT_EQ(Parameters("SELECT :k, @a(in(5) FROM t WHERE i IN (7) AND j = :k AND m IN ('x', 'y') AND $z"),
              (std::vector<std::string>{":k", "@a(in(5)", "?", "?", "?", "$z"}));
}

// Numbers, blobs, blanks and the rest end where SQLite's tokenizer ends them.
TEST(InListLiterals, OtherTokensEndWhereSqliteEndsThem) {
    EXPECT_EQ(Shape("SELECT 0x1in (5)"), "SELECT 0x1in (?)");  // a hex number stops after its digits
    EXPECT_EQ(Shape("SELECT 0x1_in (5)"), "<none>");           // "_in" is a name
    EXPECT_EQ(Shape("SELECT x'00' IN (1)"), "SELECT x'00' IN (?)");
    EXPECT_EQ(Shape("SELECT 1 \xEF\xBB\xBFIN (5)"), "SELECT 1 \xEF\xBB\xBFIN (?)");  // a byte-order mark is a blank
    EXPECT_EQ(Shape("SELECT 1 IN ( \v5)"), "SELECT 1 IN ( \v?)");  // a vertical tab only continues a blank
    // A zero byte ends the text for SQLite: what follows is kept as it is.
    const std::string zero("SELECT 1 WHERE 1 IN (1)\0 AND 2 IN (2)", 37);
    EXPECT_EQ(Shape(zero), std::string("SELECT 1 WHERE 1 IN (?)\0 AND 2 IN (2)", 37));
    EXPECT_EQ(Values(zero), (std::vector<std::string>{"I1"}));
    for (const char* sql : {
             "SELECT 1 IN (\v5)",                    // a vertical tab alone is no blank
             "SELECT 1 IN (5) !",                     // tokens SQLite refuses
             "SELECT 1in IN (5)",
             "SELECT 1.5e IN (5)",
             "SELECT 1_000 IN (5)",
             "SELECT x'0' IN (5)",
             "SELECT [a IN (5)",
             "SELECT \"a IN (5)",
             "SELECT 1 IN [in] (5)",                  // quoted names are never the keyword
             "SELECT 1 IN `in` (5)",
             "SELECT x'00' IN (x'01')",               // a blob is no plain literal
             "SELECT 1 \xEF\xBBIN (5)",              // half a byte-order mark begins a name
         }) {
        EXPECT_EQ(Shape(sql), "<none>") << sql;
    }
}

}  // namespace
