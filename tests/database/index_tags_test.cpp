// The index tag catalogue: adding, finding in any letter case, and refusing bad tags
// without leaving anything half-made.

#include "database/database_error.h"
#include "tests/database/database_fixture.h"

namespace rowlark::database::testing {
namespace {

class IndexTags : public ::testing::Test {
protected:
    void SetUp() override {
        Execute(db(), "CREATE TABLE Goods (Id INTEGER PRIMARY KEY, name TEXT, price REAL, sku TEXT)");
        Execute(db(), "INSERT INTO Goods VALUES (1, 'b  ', 2.5, 'x'), (2, NULL, NULL, 'x'), (3, 'a', 10, 'y')");
    }
    sqlite3* db() const { return db_.get(); }
    int Count(const std::string& sql) {
        Statement count(db(), sql);
        count.Step();
        return static_cast<int>(count.ColumnInt(0));
    }
    DbHandle db_ = OpenMemoryDb();
};

TEST_F(IndexTags, AddedTagIsFoundInAnyLetterCaseWithDeclaredNames) {
    AddIndexTag(db(), "goods", "ByName", "upper(name)", "ID", TagKind::Text);
    const auto tag = FindIndexTag(db(), "GOODS", "byname");
    ASSERT_TRUE(tag.has_value());
    EXPECT_EQ(tag->table, "Goods");
    EXPECT_EQ(tag->tag, "ByName");
    EXPECT_EQ(tag->expression, "upper(name)");
    EXPECT_EQ(tag->key_field, "Id");
    EXPECT_EQ(tag->kind, TagKind::Text);
    EXPECT_EQ(Count("SELECT count(*) FROM sqlite_schema WHERE type = 'index' AND name = '" + tag->index_name + "'"), 1);
    EXPECT_FALSE(FindIndexTag(db(), "goods", "other").has_value());
    EXPECT_FALSE(FindIndexTag(db(), "other", "byname").has_value());
}

TEST_F(IndexTags, FindWithoutCatalogueFindsNothing) {
    EXPECT_FALSE(FindIndexTag(db(), "goods", "name").has_value());
}

TEST_F(IndexTags, TextValuesAreTrimmedAndNullIsEmptyNumberNullIsZero) {
    AddIndexTag(db(), "goods", "name", "name", "id", TagKind::Text);
    AddIndexTag(db(), "goods", "price", "price", "id", TagKind::Number);
    Call call;
    call.table = "goods";
    call.tag = "name";
    call.count = 10;
    EXPECT_EQ(Answer(db(), call), (Rows{{"2", ""}, {"3", "a"}, {"1", "b"}}));
    call.tag = "price";
    EXPECT_EQ(Answer(db(), call), (Rows{{"2", "0"}, {"1", "2.5"}, {"3", "10"}}));
}

TEST_F(IndexTags, ExistingTagInAnyCaseIsRefusedAndTheFirstStays) {
    AddIndexTag(db(), "goods", "name", "name", "id", TagKind::Text);
    try {
        AddIndexTag(db(), "goods", "NAME", "price", "id", TagKind::Number);
        ADD_FAILURE() << "no error";
    } catch (const DatabaseError& error) {
        EXPECT_STREQ(error.what(), "index tag 'NAME' of table 'goods': the tag exists already");
    }
    EXPECT_EQ(FindIndexTag(db(), "goods", "name")->expression, "name");
}

TEST_F(IndexTags, BadTagsAreRefusedAndLeaveNothingBehind) {
    EXPECT_THROW(AddIndexTag(db(), "nothing", "t", "name", "id", TagKind::Text), DatabaseError);
    EXPECT_THROW(AddIndexTag(db(), "goods", "t", "name", "nokey", TagKind::Text), DatabaseError);
    EXPECT_THROW(AddIndexTag(db(), "goods", "", "name", "id", TagKind::Text), DatabaseError);
    EXPECT_THROW(AddIndexTag(db(), "goods", "t", "  ", "id", TagKind::Text), DatabaseError);
    EXPECT_THROW(AddIndexTag(db(), "goods", "t", "no_such_column", "id", TagKind::Text), DatabaseError);
    EXPECT_THROW(AddIndexTag(db(), "goods", "t", "random()", "id", TagKind::Number), DatabaseError);
    // sku repeats, so (name, sku) would not tell two rows apart.
    try {
        AddIndexTag(db(), "goods", "t", "'same'", "sku", TagKind::Text);
        ADD_FAILURE() << "no error";
    } catch (const DatabaseError& error) {
        EXPECT_EQ(std::string(error.what()).rfind("index tag 't' of table 'goods': UNIQUE constraint failed", 0), 0u)
            << error.what();
    }
    EXPECT_FALSE(FindIndexTag(db(), "goods", "t").has_value());
    EXPECT_EQ(Count("SELECT count(*) FROM sqlite_schema WHERE type = 'index' AND name LIKE 'rowlark_tag_%'"), 0);
}

TEST_F(IndexTags, AddingInsideTheCallersTransactionRollsBackWithIt) {
    Execute(db(), "BEGIN");
    AddIndexTag(db(), "goods", "name", "name", "id", TagKind::Text);
    EXPECT_THROW(AddIndexTag(db(), "goods", "name", "name", "id", TagKind::Text), DatabaseError);
    EXPECT_TRUE(FindIndexTag(db(), "goods", "name").has_value()) << "a refused tag keeps the earlier one";
    Execute(db(), "ROLLBACK");
    EXPECT_FALSE(FindIndexTag(db(), "goods", "name").has_value());
}

TEST(TagKinds, NamesReadBack) {
    EXPECT_EQ(ParseTagKind(TagKindName(TagKind::Text)), TagKind::Text);
    EXPECT_EQ(ParseTagKind(TagKindName(TagKind::Number)), TagKind::Number);
    EXPECT_FALSE(ParseTagKind("Number").has_value());
}

}  // namespace
}  // namespace rowlark::database::testing
