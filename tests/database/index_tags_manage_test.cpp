// Listing and dropping index tags, and the key expression refused when it is more than one
// value: every refusal leaves the catalogue, the indexes and the table's rows as they were.

#include "database/database_error.h"
#include "tests/database/database_fixture.h"

namespace rowlark::database::testing {
namespace {

class ManagedTags : public ::testing::Test {
protected:
    void SetUp() override {
        Execute(db(), "CREATE TABLE goods (id INTEGER PRIMARY KEY, name TEXT, price REAL)");
        Execute(db(), "CREATE TABLE other (code TEXT PRIMARY KEY, name TEXT)");
        Execute(db(), "INSERT INTO goods VALUES (1, 'b', 2.5), (2, 'a', 1), (3, 'c', 10)");
        Execute(db(), "INSERT INTO other VALUES ('x', 'one'), ('y', 'two')");
    }
    sqlite3* db() const { return db_.get(); }
    // The schema and every row of both tables: what no tag operation may change.
    std::string UserData() const {
        std::string all;
        for (const auto& [a, b] : Select(db(), "SELECT name, coalesce(sql, '') FROM sqlite_schema"
                                               " WHERE name IN ('goods', 'other') ORDER BY name"))
            all += a + ":" + b + ";";
        for (const auto& [a, b] : Select(db(), "SELECT id, name || '/' || price FROM goods ORDER BY id"))
            all += a + "=" + b + ";";
        for (const auto& [a, b] : Select(db(), "SELECT code, name FROM other ORDER BY code")) all += a + "=" + b + ";";
        return all;
    }
    int IndexCount() const { return static_cast<int>(Select(db(), "SELECT name, 0 FROM sqlite_schema WHERE type = 'index'"
                                                                  " AND name LIKE 'rowlark_tag_%'").size()); }
    DbHandle db_ = OpenMemoryDb();
};

TEST_F(ManagedTags, ListWithoutCatalogueIsEmptyAndCreatesNothing) {
    EXPECT_TRUE(ListIndexTags(db()).empty());
    EXPECT_FALSE(TableExists(db(), kTagCatalogue));
}

TEST_F(ManagedTags, ListHoldsEveryTagOrderedByTableThenTagInAnyCase) {
    AddIndexTag(db(), "other", "Name", "name", "code", TagKind::Text);
    AddIndexTag(db(), "goods", "price", "price", "id", TagKind::Number);
    AddIndexTag(db(), "goods", "Name", "upper(name)", "id", TagKind::Text);
    const auto tags = ListIndexTags(db());
    ASSERT_EQ(tags.size(), 3u);
    EXPECT_EQ(tags[0].table + "." + tags[0].tag, "goods.Name");
    EXPECT_EQ(tags[0].expression, "upper(name)");
    EXPECT_EQ(tags[1].table + "." + tags[1].tag, "goods.price");
    EXPECT_EQ(tags[1].kind, TagKind::Number);
    EXPECT_EQ(tags[2].table + "." + tags[2].tag, "other.Name");
    EXPECT_EQ(tags[2].key_field, "code");
}

TEST_F(ManagedTags, DropRemovesTagAndIndexOnlyLeavingRowsAndOtherTags) {
    const std::string before = UserData();
    AddIndexTag(db(), "goods", "name", "name", "id", TagKind::Text);
    AddIndexTag(db(), "other", "name", "name", "code", TagKind::Text);
    const IndexTag dropped = DropIndexTag(db(), "GOODS", "NAME");
    EXPECT_EQ(dropped.table, "goods");
    EXPECT_EQ(dropped.tag, "name");
    EXPECT_FALSE(FindIndexTag(db(), "goods", "name").has_value());
    EXPECT_TRUE(FindIndexTag(db(), "other", "name").has_value());
    EXPECT_EQ(IndexCount(), 1);
    EXPECT_EQ(UserData(), before);

    // The same tag can be added again once dropped, and serves QueryRows.
    AddIndexTag(db(), "goods", "name", "name", "id", TagKind::Text);
    Call call;
    call.table = "goods";
    call.tag = "name";
    call.count = 5;
    EXPECT_EQ(Answer(db(), call), (Rows{{"2", "a"}, {"1", "b"}, {"3", "c"}}));
}

TEST_F(ManagedTags, DropOfUnknownTagIsRefusedAndChangesNothing) {
    EXPECT_THROW(DropIndexTag(db(), "goods", "name"), DatabaseError);  // no catalogue yet
    AddIndexTag(db(), "goods", "name", "name", "id", TagKind::Text);
    try {
        DropIndexTag(db(), "goods", "price");
        ADD_FAILURE() << "no error";
    } catch (const DatabaseError& error) {
        EXPECT_STREQ(error.what(), "index tag 'price' of table 'goods': no such tag");
    }
    EXPECT_THROW(DropIndexTag(db(), "other", "name"), DatabaseError);
    EXPECT_EQ(ListIndexTags(db()).size(), 1u);
    EXPECT_EQ(IndexCount(), 1);
}

TEST_F(ManagedTags, DropOfTagWhoseIndexIsGoneStillEmptiesTheCatalogue) {
    AddIndexTag(db(), "goods", "name", "name", "id", TagKind::Text);
    Execute(db(), "DROP INDEX " + QuoteIdentifier(FindIndexTag(db(), "goods", "name")->index_name));
    DropIndexTag(db(), "goods", "name");
    EXPECT_TRUE(ListIndexTags(db()).empty());
}

TEST_F(ManagedTags, ExpressionThatIsNotExactlyOneValueIsRefusedAndRunsNothing) {
    const std::string before = UserData();
    const char* bad[] = {
        "name); DROP TABLE other; --",                      // a second statement
        "name), '')); DELETE FROM goods; --",               // closes the index early, then a statement
        "name), '')), id) --",                              // a different index behind a comment
        "name; SELECT 1",                                   // a statement behind a semicolon
        "name, price",                                      // a list of values
        "name) FROM goods; SELECT (1",                      // a second statement in the probe's own shape
    };
    for (const char* expression : bad) {
        for (TagKind kind : {TagKind::Text, TagKind::Number}) {
            EXPECT_THROW(AddIndexTag(db(), "goods", "bad", expression, "id", kind), DatabaseError) << expression;
        }
    }
    EXPECT_EQ(UserData(), before);
    EXPECT_TRUE(ListIndexTags(db()).empty());
    EXPECT_EQ(IndexCount(), 0);
    // A semicolon inside a text is part of the value.
    AddIndexTag(db(), "goods", "labelled", "name || ';' || '--'", "id", TagKind::Text);
    EXPECT_EQ(FindIndexTag(db(), "goods", "labelled")->expression, "name || ';' || '--'");
}

TEST_F(ManagedTags, ExpressionOverUnknownColumnNamesTheColumn) {
    try {
        AddIndexTag(db(), "goods", "bad", "title", "id", TagKind::Text);
        ADD_FAILURE() << "no error";
    } catch (const DatabaseError& error) {
        EXPECT_STREQ(error.what(), "index tag 'bad' of table 'goods': the key expression is refused: no such column: title");
    }
}

TEST_F(ManagedTags, CatalogueItselfTakesNoTags) {
    AddIndexTag(db(), "goods", "name", "name", "id", TagKind::Text);
    EXPECT_THROW(AddIndexTag(db(), "ROWLARK_INDEX_TAGS", "t", "tag", "index_name", TagKind::Text), DatabaseError);
    EXPECT_EQ(ListIndexTags(db()).size(), 1u);
}

}  // namespace
}  // namespace rowlark::database::testing
