// Which key texts read as exact doubles, and which IN lists are proven to stand against a REAL
// column (the probe that names their operand), so that only those get doubles.

#include "platform/oledb/sqlite_real_lists.h"

#include <gtest/gtest.h>

#include "platform/oledb/exact_real.h"

namespace {

using oledb_backend::ExactReal;
using oledb_backend::OperandProbe;
using oledb_backend::TakeOutInListLiterals;

TEST(ExactReal, ReadsThePlainDecimalsTheHostWritesAndNothingElse) {
    EXPECT_EQ(ExactReal("0.2655636860555112"), 0.2655636860555112);
    EXPECT_EQ(ExactReal("999807350250180900"), 999807350250180864.0);
    EXPECT_EQ(ExactReal("-1.7976931348623157e+308"), -1.7976931348623157e308);
    EXPECT_EQ(ExactReal("5e-324"), 5e-324);
    EXPECT_EQ(ExactReal("12E3"), 12000.0);
    for (const char* refused : {"", "-", "+1", " 1", "1 ", ".5", "5.", "1e", "1e+", "0x10", "1_000", "inf", "nan",
                                "1e999", "-1e999", "1e-999", "1.5x", "--1"})
        EXPECT_FALSE(ExactReal(refused)) << refused;
}

// The probe of the first list of sql; "<none>" when sql has none or the list is not proven.
std::string Probe(const std::string& sql) {
    const auto shaped = TakeOutInListLiterals(sql);
    if (!shaped || shaped->lists.empty()) return "<none>";
    const std::string probe = OperandProbe(shaped->shape, shaped->lists.front().in_at);
    return probe.empty() ? "<none>" : probe;
}

TEST(OperandProbe, NamesABareColumnOfAWhereClauseWithItsFromClause) {
    EXPECT_EQ(Probe("SELECT * FROM t WHERE id IN ('1.5', '2')"), "SELECT id FROM t ");
    EXPECT_EQ(Probe("SELECT a FROM t AS x JOIN u ON u.k = x.k WHERE x.a > 1 AND (u.id NOT IN ('1.5'))"),
              "SELECT u.id FROM t AS x JOIN u ON u.k = x.k ");
    EXPECT_EQ(Probe("SELECT * FROM t WHERE EXISTS (SELECT 1 FROM u WHERE main.u.id IN ('1.5')) ORDER BY 1"),
              "SELECT main.u.id FROM u ");
    EXPECT_EQ(Probe("SELECT * FROM t WHERE NOT \"id\" IN ('1.5') GROUP BY a"), "SELECT \"id\" FROM t ");
    EXPECT_EQ(Probe("DELETE FROM t WHERE id IN ('1.5')"), "SELECT id FROM t ");
}

TEST(OperandProbe, LeavesEveryOtherOperandAndPlaceUnproven) {
    for (const char* sql : {
             "SELECT * FROM t WHERE id + 0 IN ('1.5')",
             "SELECT * FROM t WHERE +id IN ('1.5')",
             "SELECT * FROM t WHERE id COLLATE nocase IN ('1.5')",
             "SELECT * FROM t WHERE CAST(id AS REAL) IN ('1.5')",
             "SELECT * FROM t WHERE a = id IN ('1.5')",
             "SELECT * FROM t WHERE a BETWEEN 1 AND id IN ('1.5')",
             "SELECT id IN ('1.5') FROM t",
             "SELECT * FROM t JOIN u ON u.id IN ('1.5')",
             "SELECT * FROM t GROUP BY id HAVING id IN ('1.5')",
             "SELECT * FROM t ORDER BY id IN ('1.5')",
             "WITH t AS (SELECT 'x' AS id) SELECT * FROM t WHERE id IN ('1.5')",
             "SELECT * FROM t WHERE id IN ('1.5') UNION SELECT * FROM u",
             "SELECT count(*) FILTER (WHERE id IN ('1.5')) FROM t",
             "SELECT CASE WHEN id IN ('1.5') THEN 1 END FROM t WHERE 1",
             "UPDATE t SET a = 1 WHERE id IN ('1.5')",
         })
        EXPECT_EQ(Probe(sql), "<none>") << sql;
}

TEST(InListLiterals, EachListKnowsWhereItsInWordStandsInTheShape) {
    const auto shaped = TakeOutInListLiterals("SELECT * FROM t WHERE a IN ('long text', 12345) AND b in ('x')");
    ASSERT_TRUE(shaped);
    ASSERT_EQ(shaped->lists.size(), 2u);
    EXPECT_EQ(shaped->shape.substr(shaped->lists[0].in_at, 2), "IN");
    EXPECT_EQ(shaped->shape.substr(shaped->lists[1].in_at, 2), "in");
    EXPECT_EQ(shaped->lists[0].first, 0u);
    EXPECT_EQ(shaped->lists[0].count, 2u);
    EXPECT_EQ(shaped->lists[1].first, 2u);
    EXPECT_EQ(shaped->lists[1].count, 1u);
}

}  // namespace
