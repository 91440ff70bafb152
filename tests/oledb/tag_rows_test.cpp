// The catalogue's rows of a tag's order, on both backends: the row at a place within a value that
// every row shares is told by its key (a SQLite tag's sample, the key column's own histogram on a
// server), TagPlace puts it back at that place, and the rows from another row up to it are counted
// exactly, for a text tag and a number tag.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "database/index_tags.h"
#include "platform/oledb/catalogue.h"
#include "platform/oledb/connection.h"
#include "tests/oledb/backend_fixture.h"

namespace {

using oledb_backend::TagInfo;
using oledb_backend::TagRow;

class TagRowsTest : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        connection_ = oledb_backend::Connection::Open(ConnectionText());
        // 300 parts of one kind and one weight, keyed 1 to 300, written in a shuffled order.
        connection_->Execute(Either(
            "CREATE TABLE parts (id INTEGER PRIMARY KEY, kind TEXT, weight NUMERIC);"
            " WITH RECURSIVE s(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM s WHERE i < 300)"
            " INSERT INTO parts SELECT (i * 37) % 300 + 1, 'винт', 2.5 FROM s",
            "CREATE TABLE parts (id integer PRIMARY KEY, kind text, weight numeric);"
            " INSERT INTO parts SELECT (i * 37) % 300 + 1, 'винт', 2.5 FROM generate_series(1, 300) i"));
        AddTag("by_kind", "kind", rowlark::database::TagKind::Text);
        AddTag("by_weight", "weight", rowlark::database::TagKind::Number);
        if (Postgres()) connection_->Execute("ANALYZE parts");
        catalogue_ = connection_->OpenCatalogue();
    }
    void TearDown() override {
        catalogue_.reset();
        connection_.reset();
        BackendTest::TearDown();
    }
    void AddTag(const std::string& tag, const std::string& expression, rowlark::database::TagKind kind) {
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
        const TagInfo tag = catalogue_->Tag("parts", tag_name).value();
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

    std::shared_ptr<oledb_backend::Connection> connection_;
    std::unique_ptr<oledb_backend::Catalogue> catalogue_;
};

TEST_P(TagRowsTest, ARowWithinAValueEveryRowSharesIsToldByItsKey) {
    for (double place : {0.25, 0.5, 0.9}) {
        ExpectRowAt("by_kind", place, "винт");
        ExpectRowAt("by_weight", place, "2.5");
    }
}

TEST_P(TagRowsTest, RowsAreCountedUpToAValuesFirstRowAndNoneFromAMissingRow) {
    const TagInfo tag = catalogue_->Tag("parts", "by_kind").value();
    // A row without a key is its value's first: from a row of the value itself, none lie before it.
    EXPECT_EQ(catalogue_->TagRowsBetween("parts", tag, "10", TagRow{"винт", ""}), 0);
    EXPECT_EQ(catalogue_->TagRowsBetween("parts", tag, "10", TagRow{"яблоко", ""}), 291);  // every row from key 10 on
    EXPECT_EQ(catalogue_->TagRowsBetween("parts", tag, "10", TagRow{"винт", "12"}), 2);
    EXPECT_FALSE(catalogue_->TagRowsBetween("parts", tag, "999", TagRow{"винт", "12"}));
}

ROWLARK_BOTH_BACKENDS(TagRowsTest);

}  // namespace
