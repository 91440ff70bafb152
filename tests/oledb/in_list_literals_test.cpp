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

}  // namespace
