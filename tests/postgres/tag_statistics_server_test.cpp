// Tag statistics on a server: before ANALYZE the catalogue tells no place (none rather than a wrong
// one); afterwards the index's histogram and common values place the rows of a skewed table within
// two points of their true rank, in the index's own collation (the rows of one value a fifth of the
// table shares too: the key's own histogram orders them within that share), and a value at a place
// starts near it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cmath>
#include <unistd.h>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/oledb/catalogue.h"
#include "platform/oledb/connection.h"
#include "postgres_fixture.h"

namespace {

class TagStatisticsServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string server = rowlark::postgres::testing::ServerConnectionString();
        if (server.empty()) GTEST_SKIP() << "ROWLARK_PG names no server";
        connection_ = oledb_backend::Connection::Open(server);
        table_ = "rowlark_place_words_" + std::to_string(::getpid());  // ctest runs the tests side by side
        Run("DROP TABLE IF EXISTS " + table_);
        // Statistics of the test's own ANALYZE only, and exact: no autovacuum analyses the table behind
        // the test's back, and ANALYZE reads every row (it samples 300 rows per point of the
        // statistics target, 30,000 here) instead of a random sample that differs from run to run.
        Run("SET default_statistics_target = 100");
        Run("CREATE TABLE " + table_ + " (id integer PRIMARY KEY, name text) WITH (autovacuum_enabled = false)");
        // 20 % of the names are one value, the rest squared: skewed towards the small ones.
        Run("INSERT INTO " + table_ + " SELECT i, CASE WHEN i % 5 = 0 THEN 'common' ELSE 'w' ||"
            " lpad((((i * 7919) % 10007)::bigint * ((i * 7919) % 10007))::text, 10, '0') END"
            " FROM generate_series(1, 30000) i");
        Run("SELECT public.rowlark_add_index_tag('" + table_ + "', 'name', 'name', 'id', 'text')");
        catalogue_ = connection_->OpenCatalogue();
        tag_ = catalogue_->Tag(table_, "name").value();
    }
    void TearDown() override {
        if (connection_) Run("DROP TABLE IF EXISTS " + table_ + "; DELETE FROM public.rowlark_index_tags"
                             " WHERE table_name = '" + table_ + "'");
    }
    void Run(const std::string& sql) { connection_->Execute(sql); }

    // The keys in the tag's order, each with whether its row holds the shared value. The table's id
    // breaks ties, as in the index: a bare "id" would order by the answer's column, the id as text.
    std::vector<std::pair<std::string, bool>> KeysInOrder() {
        auto cursor = connection_->RunStatement(
            "SELECT id::text, (name = 'common')::text FROM " + table_ + " ORDER BY " + tag_.order_sql + ", " + table_ +
                ".id",
            {}, oledb_backend::Reading::kWhole);
        std::vector<std::pair<std::string, bool>> keys;
        while (cursor->Step()) keys.emplace_back(cursor->Column(0).text, cursor->Column(1).text == "true");
        return keys;
    }

    std::string table_;
    std::shared_ptr<oledb_backend::Connection> connection_;
    std::unique_ptr<oledb_backend::Catalogue> catalogue_;
    oledb_backend::TagInfo tag_;
};

TEST_F(TagStatisticsServerTest, NoPlaceBeforeAnalyzeAndPlacesNearTheTrueRankAfter) {
    EXPECT_FALSE(catalogue_->TagPlace(table_, tag_, "5"));
    EXPECT_FALSE(catalogue_->TagValueAt(table_, tag_, 0.5));
    Run("ANALYZE " + table_);
    const auto keys = KeysInOrder();
    double worst = 0;
    double worst_shared = 0;  // the one value a fifth of the rows share is placed at its middle
    for (std::size_t rank = 0; rank < keys.size(); rank += 97) {
        const auto place = catalogue_->TagPlace(table_, tag_, keys[rank].first);
        ASSERT_TRUE(place) << keys[rank].first;
        const double distance = std::fabs(*place - static_cast<double>(rank) / (keys.size() - 1)) * 100;
        (keys[rank].second ? worst_shared : worst) = std::max(keys[rank].second ? worst_shared : worst, distance);
    }
    EXPECT_LT(worst, 2.0);
    EXPECT_LT(worst_shared, 10.5);
    std::printf("worst distance from the true rank: %.3f points, %.3f in the shared value\n", worst, worst_shared);
    EXPECT_FALSE(catalogue_->TagPlace(table_, tag_, "999999"));  // no such row
    const auto middle = catalogue_->TagValueAt(table_, tag_, 0.5);
    ASSERT_TRUE(middle);
    EXPECT_EQ(middle->rfind("w", 0), 0u) << *middle;
}

}  // namespace

namespace {

// Within one value a fifth of the rows share, the index orders its rows by key: the key column's own
// histogram places each of them within the value's share, not all at its middle.
TEST_F(TagStatisticsServerTest, RowsOfACommonValuePlaceByTheirKeyWithinItsShare) {
    Run("ANALYZE " + table_);
    const auto keys = KeysInOrder();
    double worst_shared = 0;
    int shared = 0;
    for (std::size_t rank = 0; rank < keys.size(); rank += 13) {
        if (!keys[rank].second) continue;
        ++shared;
        const auto place = catalogue_->TagPlace(table_, tag_, keys[rank].first);
        ASSERT_TRUE(place) << keys[rank].first;
        worst_shared = std::max(worst_shared, std::fabs(*place - static_cast<double>(rank) / (keys.size() - 1)) * 100);
    }
    EXPECT_GT(shared, 400);
    EXPECT_LT(worst_shared, 2.0);
    std::printf("worst distance from the true rank in the shared value: %.3f points\n", worst_shared);
}

}  // namespace
