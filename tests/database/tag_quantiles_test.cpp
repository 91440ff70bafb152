// Tag statistics of SQLite tags: the sample taken when a tag is added places every row of a skewed
// table within two points of its true rank, in the tag's own collation, goes stale and is renewed by
// a refresh, leaves with its tag, and a database without samples answers no place at all.
#include "database/tag_quantiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "database/database_error.h"
#include "database/index_tags.h"
#include "database/statement.h"
#include "platform/oledb/catalogue.h"
#include "platform/oledb/connection.h"
#include "platform/oledb/sqlite_connection.h"

namespace rowlark::database {
namespace {

using oledb_backend::Catalogue;
using oledb_backend::Connection;
using oledb_backend::TagInfo;

class TagQuantilesTest : public ::testing::Test {
protected:
    TagQuantilesTest() : connection_(Connection::Open(":memory:")), db_(oledb_backend::SqliteHandle(*connection_)) {}

    // rows goods: 20 % of the names are one value, the rest squared (skewed towards the small ones).
    void MakeSkewedGoods(int rows) {
        Execute(db_, "CREATE TABLE goods (id INTEGER PRIMARY KEY, name TEXT, price NUMERIC)");
        Execute(db_, "WITH RECURSIVE s(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM s WHERE i < " + std::to_string(rows) +
                         ") INSERT INTO goods SELECT i, CASE WHEN i % 5 = 0 THEN 'common' ELSE"
                         " printf('w%010d', ((i * 7919) % 10007) * ((i * 7919) % 10007)) END,"
                         " ((i * 31) % 1000) * ((i * 31) % 1000) / 100.0 FROM s");
    }

    TagInfo Tag(const std::string& name) { return catalogue_->Tag("goods", name).value(); }

    // The keys in the tag's order, as its index walks them.
    std::vector<std::string> KeysInOrder(const TagInfo& tag) {
        std::vector<std::string> keys;
        rowlark::database::Statement walk(db_, "SELECT id FROM goods ORDER BY " + tag.order_sql + ", id");
        while (walk.Step()) keys.push_back(walk.ColumnText(0));
        return keys;
    }

    // The largest distance, in points, between a sampled key's place and its true rank.
    double WorstError(const TagInfo& tag, int step) {
        const std::vector<std::string> keys = KeysInOrder(tag);
        double worst = 0;
        for (std::size_t rank = 0; rank < keys.size(); rank += static_cast<std::size_t>(step)) {
            const auto place = catalogue_->TagPlace("goods", tag, keys[rank]);
            if (!place) return 100;
            const double truth = static_cast<double>(rank) / static_cast<double>(keys.size() - 1);
            worst = std::max(worst, std::fabs(*place - truth) * 100);
        }
        return worst;
    }

    std::shared_ptr<Connection> connection_;
    sqlite3* db_;
    std::unique_ptr<Catalogue> catalogue_ = connection_->OpenCatalogue();
};

TEST_F(TagQuantilesTest, PlacesOnSkewedDataAreWithinTwoPointsOfTheTrueRankForTextAndNumberTags) {
    MakeSkewedGoods(100000);
    AddIndexTag(db_, "goods", "name", "name", "id", TagKind::Text);
    AddIndexTag(db_, "goods", "price", "price", "id", TagKind::Number);
    EXPECT_LT(WorstError(Tag("name"), 97), 2.0);
    EXPECT_LT(WorstError(Tag("price"), 97), 2.0);
    // The ends are the ends: the first and the last row are always in the sample.
    const auto keys = KeysInOrder(Tag("name"));
    EXPECT_EQ(catalogue_->TagPlace("goods", Tag("name"), keys.front()), 0.0);
    EXPECT_EQ(catalogue_->TagPlace("goods", Tag("name"), keys.back()), 1.0);
}

TEST_F(TagQuantilesTest, ValueAtAPlaceStartsWithinTwoPointsOfItAndAtTheEnds) {
    MakeSkewedGoods(20000);
    AddIndexTag(db_, "goods", "name", "name", "id", TagKind::Text);
    const TagInfo tag = Tag("name");
    for (double place : {0.0, 0.25, 0.5, 0.9, 1.0}) {
        const auto value = catalogue_->TagValueAt("goods", tag, place);
        ASSERT_TRUE(value) << place;
        // Where that value's first row stands truly.
        rowlark::database::Statement rank(db_, "SELECT count(*) FROM goods WHERE " + tag.order_sql + " < ?1");
        rank.BindText(1, *value);
        rank.Step();
        const double truth = static_cast<double>(rank.ColumnInt(0)) / (20000 - 1);
        // A value many rows share starts at its first row: within its share of the table (20 %).
        rowlark::database::Statement share(db_, "SELECT count(*) FROM goods WHERE " + tag.order_sql + " = ?1");
        share.BindText(1, *value);
        share.Step();
        EXPECT_LT(std::fabs(truth - place) * 100, 2.0 + 100.0 * static_cast<double>(share.ColumnInt(0)) / 20000)
            << place << " gave " << *value;
    }
    EXPECT_EQ(catalogue_->TagValueAt("goods", tag, 0.0), "common");
}

TEST_F(TagQuantilesTest, PlacesFollowTheTagsCollationNotTheBytes) {
    // Upper- and lower-case names alternate: in byte order every upper-case one comes first.
    Execute(db_, "CREATE TABLE goods (id INTEGER PRIMARY KEY, name TEXT)");
    Execute(db_, "WITH RECURSIVE s(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM s WHERE i < 3000)"
                 " INSERT INTO goods SELECT i, CASE WHEN i % 2 THEN printf('N%05d', i) ELSE printf('n%05d', i) END FROM s");
    AddIndexTag(db_, "goods", "folded", "name COLLATE NOCASE", "id", TagKind::Text);
    EXPECT_LT(WorstError(Tag("folded"), 7), 2.0);
}

TEST_F(TagQuantilesTest, ASampleGoesStaleAsTheTableChangesAndARefreshRenewsIt) {
    MakeSkewedGoods(5000);
    AddIndexTag(db_, "goods", "name", "name", "id", TagKind::Text);
    // As many rows again, all before every old one in the tag's order.
    Execute(db_, "INSERT INTO goods SELECT id + 100000, 'a' || name, price FROM goods");
    EXPECT_GT(WorstError(Tag("name"), 37), 10.0);
    EXPECT_EQ(RefreshTagQuantiles(db_, "GOODS", "NAME"), 10000);
    EXPECT_LT(WorstError(Tag("name"), 37), 2.0);
    EXPECT_THROW(RefreshTagQuantiles(db_, "goods", "nothing"), DatabaseError);
}

TEST_F(TagQuantilesTest, ASampleLeavesWithItsTagAndARefusedTagLeavesNone) {
    MakeSkewedGoods(1000);
    AddIndexTag(db_, "goods", "name", "name", "id", TagKind::Text);
    AddIndexTag(db_, "goods", "price", "price", "id", TagKind::Number);
    // A key field not unique within the values: the index is refused, and the sample with it.
    EXPECT_THROW(AddIndexTag(db_, "goods", "twice", "1", "name", TagKind::Text), DatabaseError);
    DropIndexTag(db_, "goods", "name");
    rowlark::database::Statement tags(db_, "SELECT DISTINCT tag FROM rowlark_tag_quantiles");
    std::vector<std::string> sampled;
    while (tags.Step()) sampled.push_back(tags.ColumnText(0));
    EXPECT_EQ(sampled, std::vector<std::string>{"price"});
}

TEST_F(TagQuantilesTest, WithoutASampleOrARowThereIsNoPlace) {
    MakeSkewedGoods(1000);
    AddIndexTag(db_, "goods", "name", "name", "id", TagKind::Text);
    const TagInfo tag = Tag("name");
    EXPECT_FALSE(catalogue_->TagPlace("goods", tag, "999999"));  // no such row
    // A database tagged before samples were kept.
    Execute(db_, "DROP TABLE rowlark_tag_quantiles");
    EXPECT_FALSE(catalogue_->TagPlace("goods", tag, "5"));
    EXPECT_FALSE(catalogue_->TagValueAt("goods", tag, 0.5));
}

// The same measure on a database of the user's (ROWLARK_TAG_PLACE_DB: a goods table tagged by name,
// as make_sample_db makes it), e.g. the million-row sample; skipped without one.
TEST_F(TagQuantilesTest, PlacesOnTheGivenDatabaseAreWithinTwoPoints) {
    const char* path = std::getenv("ROWLARK_TAG_PLACE_DB");
    if (path == nullptr) GTEST_SKIP() << "ROWLARK_TAG_PLACE_DB names no database";
    connection_ = Connection::Open(oledb_backend::FileUri(path));
    db_ = oledb_backend::SqliteHandle(*connection_);
    catalogue_ = connection_->OpenCatalogue();
    for (const char* name : {"name", "price"}) {
        const double worst = WorstError(Tag(name), 997);
        std::printf("tag %s: worst distance from the true rank %.3f points\n", name, worst);
        EXPECT_LT(worst, 2.0) << name;
    }
}

}  // namespace
}  // namespace rowlark::database
