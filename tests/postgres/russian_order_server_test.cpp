// Russian-order tags on the server: the tag's index is built under the ICU collation rowlark_ru, the
// order is checked when the tag is added, and a walk on such a tag stays a seek on the index.

#include "tests/postgres/postgres_fixture.h"

namespace rowlark::postgres::testing {
namespace {

class RussianOrderServer : public PgTest {
protected:
    void SetUp() override {
        PgTest::SetUp();
        if (IsSkipped()) return;
        Exec("CREATE TABLE people (id integer PRIMARY KEY, name text, credit numeric)");
        Exec("INSERT INTO people SELECT g, (ARRAY['Жук', 'жук', 'Ёлкин', 'Абрикос'])[g % 4 + 1] || g, g FROM "
             "generate_series(1, 2000) g");
    }
    std::string Add(const std::string& tag, const std::string& expression, const std::string& kind,
                    const std::string& order) {
        return Try("SELECT rowlark_add_index_tag('people', $1, $2, 'id', $3, $4)", {tag, expression, kind, order}).error;
    }
};

TEST_F(RussianOrderServer, TagIndexIsBuiltUnderTheIcuCollationAndCatalogued) {
    ASSERT_EQ(Add("name", "name", "text", "russian"), "");
    ASSERT_EQ(Add("plain", "name", "text", "bytes"), "");
    const auto rows = Exec("SELECT t.tag, t.text_order, c.collname, cp.collprovider::text, cp.collisdeterministic::text"
                           " FROM rowlark_index_tags t JOIN pg_index i ON i.indexrelid = format('%I.%I', t.table_schema,"
                           " t.index_name)::regclass JOIN pg_collation c ON c.oid = i.indcollation[0]"
                           " JOIN pg_collation cp ON cp.oid = c.oid WHERE t.table_schema = $1 ORDER BY t.tag",
                           {schema()});
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"name", "russian", "rowlark_ru", "i", "true"}));
    EXPECT_EQ(rows[1], (std::vector<std::string>{"plain", "bytes", "C", "c", "true"}));
}

TEST_F(RussianOrderServer, BadOrdersAreRefusedLeavingNothing) {
    EXPECT_EQ(Add("x", "name", "text", "RUSSIAN"),
              "index tag 'x' of table 'people': the order must be bytes or russian, got 'RUSSIAN'");
    EXPECT_EQ(Add("c", "credit", "number", "russian"),
              "index tag 'c' of table 'people': a number tag orders by number; the Russian order is for text tags");
    EXPECT_EQ(Exec("SELECT count(*) FROM rowlark_index_tags WHERE table_schema = $1", {schema()})[0][0], "0");
}

TEST_F(RussianOrderServer, WalkWithPrefixBoundsSeeksTheTagsIndex) {
    ASSERT_EQ(Add("name", "name", "text", "russian"), "");
    Exec("ANALYZE people");
    std::string plan;
    for (const auto& row : Exec("SELECT * FROM queryrows_explain('people', 'name', 'Жук1', '1', 20, 'id', 1, 'жук',"
                                " 'ЖУК', 0, true)"))
        plan += row[0] + "\n";
    EXPECT_NE(plan.find("Index Scan"), std::string::npos) << plan;
    EXPECT_EQ(plan.find("Sort"), std::string::npos) << plan;
    EXPECT_EQ(plan.find("Seq Scan"), std::string::npos) << plan;
    // 1000 names begin with Жук or жук, each a number after it; "жук" as lower bound starts at the first.
    const auto first = Exec("SELECT key, index_value FROM queryrows('people', 'name', '', '', 3, 'id', 1, 'Жук', 'жук', 0)");
    ASSERT_EQ(first.size(), 3u);
    EXPECT_EQ(first[0], (std::vector<std::string>{"1", "жук1"}));
    EXPECT_EQ(first[1], (std::vector<std::string>{"100", "Жук100"}));
}

}  // namespace
}  // namespace rowlark::postgres::testing
