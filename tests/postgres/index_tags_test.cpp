// The schema's index tags: adding one builds a real unique B-tree index on (value, key), all or
// nothing; listing and dropping; the refusals, and an expression that cannot smuggle in a statement.

#include "tests/postgres/postgres_fixture.h"

namespace rowlark::postgres::testing {
namespace {

class IndexTags : public PgTest {
protected:
    void SetUp() override {
        PgTest::SetUp();
        if (IsSkipped()) return;
        Exec("CREATE TABLE customers (id integer PRIMARY KEY, name text, city text, credit numeric)");
        Exec("INSERT INTO customers VALUES (1, 'Иванов', 'Тула', 10), (2, 'Петров', 'Орёл', 20), (3, 'Сидоров', 'Тула', 5)");
    }
    std::string Add(const std::string& table, const std::string& tag, const std::string& expression,
                    const std::string& key, const std::string& kind) {
        return Try("SELECT rowlark_add_index_tag($1, $2, $3, $4, $5)", {table, tag, expression, key, kind}).error;
    }
    std::string IndexesOf(const std::string& table) {
        std::string names;
        for (const auto& row : Exec("SELECT indexname FROM pg_indexes WHERE schemaname = $1 AND tablename = $2 "
                                    "ORDER BY indexname", {schema(), table}))
            names += row[0] + ";";
        return names;
    }
    std::string Tags() {
        std::string text;
        // The tags of this test's tables: the server may hold other tables that the search path shows.
        for (const auto& row : Exec("SELECT table_name, tag, expression, key_field, kind FROM rowlark_index_tag_list() l"
                                    " WHERE EXISTS (SELECT FROM pg_tables WHERE schemaname = $1 AND tablename = l.table_name)",
                                    {schema()}))
            text += row[0] + "." + row[1] + "(" + row[2] + " by " + row[3] + ", " + row[4] + ");";
        return text;
    }
};

TEST_F(IndexTags, AddBuildsAUniqueIndexOnValueAndKeyAndListsTheTag) {
    EXPECT_EQ(Add("Customers", "By_City", "city || ' ' || name", "ID", "text"), "");
    EXPECT_EQ(Add("customers", "credit", "credit", "id", "number"), "");
    EXPECT_EQ(Tags(), "customers.By_City(city || ' ' || name by id, text);customers.credit(credit by id, number);");
    const auto index = Exec("SELECT i.indisunique, i.indnatts, am.amname FROM pg_index i JOIN pg_class c ON c.oid = i.indexrelid"
                            " JOIN pg_am am ON am.oid = c.relam WHERE c.relname = (SELECT index_name FROM"
                            " rowlark_index_tags WHERE tag = 'By_City' AND table_schema = $1)", {schema()});
    ASSERT_EQ(index.size(), 1u);
    EXPECT_EQ(index[0], (std::vector<std::string>{"t", "2", "btree"}));
}

TEST_F(IndexTags, DropRemovesTagAndIndexButNoRows) {
    ASSERT_EQ(Add("customers", "name", "name", "id", "text"), "");
    const std::string before = IndexesOf("customers");
    EXPECT_NE(before.find("rowlark_tag_customers_name"), std::string::npos);
    EXPECT_EQ(Try("SELECT rowlark_drop_index_tag('CUSTOMERS', 'NAME')").error, "");
    EXPECT_EQ(IndexesOf("customers"), "customers_pkey;");
    EXPECT_EQ(Tags(), "");
    EXPECT_EQ(Exec("SELECT count(*) FROM customers")[0][0], "3");
    EXPECT_EQ(Try("SELECT rowlark_drop_index_tag('customers', 'name')").error,
              "index tag 'name' of table 'customers': no such tag");
}

TEST_F(IndexTags, RefusalsNameWhatIsWrongAndLeaveNothingBehind) {
    ASSERT_EQ(Add("customers", "name", "name", "id", "text"), "");
    const std::string indexes = IndexesOf("customers");
    EXPECT_EQ(Add("nowhere", "x", "name", "id", "text"), "index tag: unknown table 'nowhere'");
    EXPECT_EQ(Add("customers", "", "name", "id", "text"), "index tag of table 'customers': the tag name is empty");
    EXPECT_EQ(Add("customers", "x", "  ", "id", "text"), "index tag 'x' of table 'customers': the key expression is empty");
    EXPECT_EQ(Add("customers", "x", "name", "nr", "text"), "index tag 'x' of table 'customers': table has no key field 'nr'");
    EXPECT_EQ(Add("customers", "x", "name", "id", "date"),
              "index tag 'x' of table 'customers': the kind must be text or number, got 'date'");
    EXPECT_EQ(Add("customers", "NAME", "city", "id", "text"), "index tag 'NAME' of table 'customers': the tag exists already");
    EXPECT_EQ(Add("customers", "x", "city", "city", "text").rfind("index tag 'x' of table 'customers': the index cannot be built: ", 0), 0u)
        << "the key city is not unique within the values";
    EXPECT_EQ(Add("customers", "x", "name", "id", "number").rfind("index tag 'x' of table 'customers': the index cannot be built: ", 0), 0u)
        << "names are no numbers";
    EXPECT_EQ(Add("customers", "x", "nonesuch", "id", "text").rfind("index tag 'x' of table 'customers': the key expression is refused: ", 0), 0u);
    EXPECT_EQ(Add("rowlark_index_tags", "x", "tag", "tag", "text"),
              "index tag 'x' of table 'rowlark_index_tags': the tag catalogue takes no tags");
    EXPECT_EQ(IndexesOf("customers"), indexes);
    EXPECT_EQ(Tags(), "customers.name(name by id, text);");
}

TEST_F(IndexTags, ExpressionCannotCarryAnotherStatement) {
    for (const char* expression :
         {"name) FROM customers; DROP TABLE customers; SELECT (1", "name; DROP TABLE customers",
          "name /* unclosed", "name), (city", "name)), ((city"}) {
        EXPECT_NE(Add("customers", "evil", expression, "id", "text"), "") << expression;
    }
    EXPECT_EQ(Exec("SELECT count(*) FROM customers")[0][0], "3");
    EXPECT_EQ(Tags(), "");
    EXPECT_EQ(IndexesOf("customers"), "customers_pkey;");
    // A semicolon inside a text or a comment is no statement's end; a comment ends with its line.
    EXPECT_EQ(Add("customers", "fine", "name || ';'", "id", "text"), "");
    EXPECT_EQ(Add("customers", "noted", "name -- ; DROP TABLE customers", "id", "text"), "");
    EXPECT_EQ(Exec("SELECT count(*) FROM customers")[0][0], "3");
}

TEST_F(IndexTags, TagOfATableDroppedAndMadeAgainCanBeAddedAgain) {
    ASSERT_EQ(Add("customers", "name", "name", "id", "text"), "");
    Exec("DROP TABLE customers");
    Exec("CREATE TABLE customers (id integer PRIMARY KEY, name text)");
    EXPECT_EQ(Add("customers", "name", "name", "id", "text"), "");
    EXPECT_EQ(Tags(), "customers.name(name by id, text);");
}

TEST_F(IndexTags, LongNamesGetDistinctIndexes) {
    const std::string long_tag(70, 'n');
    EXPECT_EQ(Add("customers", long_tag, "name", "id", "text"), "");
    EXPECT_EQ(Add("customers", long_tag + "x", "city || name", "id", "text"), "");
    EXPECT_EQ(Exec("SELECT count(DISTINCT index_name) FROM rowlark_index_tags WHERE table_schema = $1", {schema()})[0][0], "2");
}

}  // namespace
}  // namespace rowlark::postgres::testing
