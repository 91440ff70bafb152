// The backend seam's catalogue, on both backends: tables, columns with their declared types and
// sizes, primary keys, index tags and row counts, names matched in any ASCII letter case; the rows of
// a tag's order that its statistics tell.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "database/index_tags.h"
#include "platform/oledb/connection.h"
#include "tests/oledb/backend_fixture.h"

namespace {

using oledb_backend::Catalogue;
using oledb_backend::ColumnInfo;

class CatalogueTest : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        connection_ = oledb_backend::Connection::Open(ConnectionText());
        connection_->Execute(Either(
            "CREATE TABLE Items (id INTEGER, code VARCHAR(12) NOT NULL, price NUMERIC(10, 2), note TEXT,"
            " PRIMARY KEY (id)); CREATE TABLE pairs (a INTEGER, b INTEGER, PRIMARY KEY (b, a));"
            " CREATE VIEW cheap AS SELECT * FROM Items",
            "CREATE TABLE \"Items\" (id integer, code varchar(12) NOT NULL, price numeric(10, 2), note text,"
            " PRIMARY KEY (id)); CREATE TABLE pairs (a integer, b integer, PRIMARY KEY (b, a));"
            " CREATE VIEW cheap AS SELECT * FROM \"Items\""));
        connection_->Execute("INSERT INTO \"Items\" VALUES (1, 'A', 1.50, NULL), (2, 'B', 2, 'x'), (3, 'C', 3, 'y')");
        catalogue_ = connection_->OpenCatalogue();
    }
    void TearDown() override {
        catalogue_.reset();
        connection_.reset();
        BackendTest::TearDown();
    }
    // Adds a text tag as each database adds its own.
    void AddTag(const std::string& table, const std::string& tag, const std::string& expression) {
        if (Postgres())
            connection_->Execute("SELECT public.rowlark_add_index_tag('" + table + "', '" + tag + "', '" + expression +
                                 "', 'id', 'text')");
        else
            rowlark::database::AddIndexTag(*connection_, table, tag, expression, "id", rowlark::database::TagKind::Text);
    }

    std::shared_ptr<oledb_backend::Connection> connection_;
    std::unique_ptr<Catalogue> catalogue_;
};

TEST_P(CatalogueTest, FindsTablesInAnyLetterCase) {
    EXPECT_EQ(catalogue_->Table("items").value_or("(none)"), "Items");
    EXPECT_EQ(catalogue_->Table("ITEMS").value_or("(none)"), "Items");
    // A SQLite view is no table; a server's relations are found as the server's tag functions find them.
    EXPECT_EQ(catalogue_->Table("cheap").value_or("(none)"), Either("(none)", "cheap"));
    EXPECT_FALSE(catalogue_->Table("nowhere"));
}

TEST_P(CatalogueTest, ColumnsComeInDeclaredOrderWithTypesAndSizes) {
    const std::vector<ColumnInfo> columns = catalogue_->Columns("Items");
    ASSERT_EQ(columns.size(), 4u);
    EXPECT_EQ(columns[0].name, "id");
    EXPECT_EQ(columns[1].name, "code");
    EXPECT_EQ(columns[1].size, 12);
    EXPECT_EQ(columns[1].declared_type, Either("VARCHAR(12)", "character varying(12)"));
    EXPECT_EQ(columns[2].size, 10);
    EXPECT_EQ(columns[2].scale, 2);
    EXPECT_EQ(columns[3].size, 0);
    EXPECT_EQ(catalogue_->Column("Items", "CODE").value_or(ColumnInfo{"(none)", "", 0, 0}).name, "code");
    EXPECT_FALSE(catalogue_->Column("Items", "nope"));
}

TEST_P(CatalogueTest, PrimaryKeyIsGivenInKeyOrder) {
    EXPECT_EQ(catalogue_->PrimaryKey("Items"), std::vector<std::string>{"id"});
    EXPECT_EQ(catalogue_->PrimaryKey("pairs"), (std::vector<std::string>{"b", "a"}));
}

TEST_P(CatalogueTest, TagsComeInTheOrderAddedWithTheirOrderSql) {
    EXPECT_TRUE(catalogue_->KeepsTags());
    EXPECT_TRUE(catalogue_->Tags("Items").empty());  // no tag catalogue yet on SQLite: none, and none made
    AddTag("Items", "ByNote", "note");
    AddTag("Items", "ByCode", "code");
    // A row of the catalogue written again (edited, or following its table's rename) keeps its place
    // among the tags, wherever the database stores it now.
    connection_->Execute(Either("UPDATE rowlark_index_tags SET expression = expression WHERE tag = 'ByNote'",
                                "UPDATE public.rowlark_index_tags SET expression = expression"
                                " WHERE tag = 'ByNote' AND table_schema = current_schema()"));
    const auto tags = catalogue_->Tags("Items");
    ASSERT_EQ(tags.size(), 2u);
    EXPECT_EQ(tags[0].tag, "ByNote");
    EXPECT_EQ(tags[1].tag, "ByCode");
    EXPECT_EQ(tags[1].key_field, "id");
    EXPECT_EQ(tags[1].expression, "code");
    EXPECT_EQ(tags[1].kind, "text");
    const auto code = catalogue_->Tag("Items", "BYCODE");
    ASSERT_TRUE(code);
    // The order SQL runs over the table and orders as the tag does (a NULL note as the empty text).
    auto cursor = connection_->RunStatement("SELECT id FROM \"Items\" ORDER BY " + tags[0].order_sql + ", id", {},
                                            oledb_backend::Reading::kWhole);
    std::vector<std::int64_t> ids;
    while (cursor->Step()) ids.push_back(cursor->Column(0).integer);
    EXPECT_EQ(ids, (std::vector<std::int64_t>{1, 2, 3}));
    EXPECT_TRUE(catalogue_->Tags("pairs").empty());
}

TEST_P(CatalogueTest, CountsRowsAndRefusesAnUnknownTable) {
    EXPECT_EQ(catalogue_->RowCount("Items"), 3);
    EXPECT_EQ(catalogue_->RowCount("pairs"), 0);
    EXPECT_THROW(catalogue_->RowCount("nowhere"), oledb_backend::CursorError);
}

ROWLARK_BOTH_BACKENDS(CatalogueTest);

}  // namespace

namespace {

TEST_P(CatalogueTest, DatabaseSideTagCallsTakeOnlyASqliteConnection) {
    if (!Postgres()) {
        EXPECT_TRUE(rowlark::database::ListIndexTags(*connection_).empty());
        return;
    }
    try {
        rowlark::database::ListIndexTags(*connection_);
        FAIL() << "a server connection was taken for a SQLite file";
    } catch (const oledb_backend::CursorError& error) {
        EXPECT_STREQ(error.what(), "this works on SQLite databases only");
    }
}

}  // namespace

namespace {

// The rows of a tag's order: within a value that every row shares, the row at a place is told by its key
// (a SQLite tag's sample, the key column's own histogram on a server), TagPlace puts it back at that
// place, and the rows from another row up to it are counted exactly, for a text tag and a number tag.
class TagRowsTest : public CatalogueTest {
protected:
    void SetUp() override {
        CatalogueTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        // 300 parts of one kind and one weight, keyed 1 to 300, written in a shuffled order.
        connection_->Execute(Either(
            "CREATE TABLE parts (id INTEGER PRIMARY KEY, kind TEXT, weight NUMERIC);"
            " WITH RECURSIVE s(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM s WHERE i < 300)"
            " INSERT INTO parts SELECT (i * 37) % 300 + 1, 'винт', 2.5 FROM s",
            "CREATE TABLE parts (id integer PRIMARY KEY, kind text, weight numeric);"
            " INSERT INTO parts SELECT (i * 37) % 300 + 1, 'винт', 2.5 FROM generate_series(1, 300) i"));
        AddPartsTag("by_kind", "kind", rowlark::database::TagKind::Text);
        AddPartsTag("by_weight", "weight", rowlark::database::TagKind::Number);
        if (Postgres()) connection_->Execute("ANALYZE parts");
    }
    // A text tag in the Russian order or a number tag, as each database adds its own.
    void AddPartsTag(const std::string& tag, const std::string& expression, rowlark::database::TagKind kind) {
        const bool text = kind == rowlark::database::TagKind::Text;
        if (Postgres())
            connection_->Execute("SELECT public.rowlark_add_index_tag('parts', '" + tag + "', '" + expression +
                                 "', 'id', '" + (text ? "text', 'russian')" : "number')"));
        else
            rowlark::database::AddIndexTag(*connection_, "parts", tag, expression, "id", kind,
                                           text ? rowlark::database::TextOrder::Russian
                                                : rowlark::database::TextOrder::Bytes);
    }

    // Checks the row at place: its key is that far into the 300 rows (within 2 points: a server's
    // histogram has 100 slices), TagPlace puts it back there, and the rows up to it count exactly.
    void ExpectRowAt(const std::string& tag_name, double place, const std::string& value) {
        const oledb_backend::TagInfo tag = catalogue_->Tag("parts", tag_name).value();
        const auto row = catalogue_->TagRowAt("parts", tag, place);
        ASSERT_TRUE(row) << tag_name << " at " << place;
        EXPECT_EQ(row->value, value);
        ASSERT_FALSE(row->key.empty()) << tag_name << " at " << place << ": no key within the value";
        const long key = std::stol(row->key);  // keys 1 to 300 stand in key order
        EXPECT_LT(std::fabs((key - 1) / 299.0 - place) * 100, 2.0) << tag_name << " at " << place << ": key " << key;
        const auto back = catalogue_->TagPlace("parts", tag, row->key);
        ASSERT_TRUE(back);
        EXPECT_LT(std::fabs(*back - place) * 100, 1.0) << tag_name << " at " << place;
        EXPECT_EQ(catalogue_->TagRowsBetween("parts", tag, "1", *row), key - 1) << tag_name;
        EXPECT_EQ(catalogue_->TagRowsBetween("parts", tag, "40", *row), key - 40) << tag_name;
    }
};

TEST_P(TagRowsTest, ARowWithinAValueEveryRowSharesIsToldByItsKey) {
    for (double place : {0.25, 0.5, 0.9}) {
        ExpectRowAt("by_kind", place, "винт");
        ExpectRowAt("by_weight", place, "2.5");
    }
}

TEST_P(TagRowsTest, RowsAreCountedUpToARowOfAnotherValueAndNoneFromAMissingRow) {
    const oledb_backend::TagInfo tag = catalogue_->Tag("parts", "by_kind").value();
    EXPECT_EQ(catalogue_->TagRowsBetween("parts", tag, "10", oledb_backend::TagRow{"винт", "12"}), 2);
    // Every row from key 10 on stands before a value after theirs, and none before one before it.
    EXPECT_EQ(catalogue_->TagRowsBetween("parts", tag, "10", oledb_backend::TagRow{"яблоко", "1"}), 291);
    EXPECT_EQ(catalogue_->TagRowsBetween("parts", tag, "10", oledb_backend::TagRow{"абрикос", "300"}), 0);
    EXPECT_FALSE(catalogue_->TagRowsBetween("parts", tag, "999", oledb_backend::TagRow{"винт", "12"}));
}

ROWLARK_BOTH_BACKENDS(TagRowsTest);

}  // namespace
