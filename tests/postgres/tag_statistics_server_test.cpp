// Tag statistics on a server: before ANALYZE the catalogue tells no place (none rather than a wrong
// one); afterwards the index's histogram and common values place the rows of a skewed table within
// two points of their true rank, in the index's own collation (the rows of one value a fifth of the
// table shares within half that share), and a value at a place starts near it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cmath>
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
        Run("DROP TABLE IF EXISTS rowlark_place_words");
        Run("CREATE TABLE rowlark_place_words (id integer PRIMARY KEY, name text)");
        // 20 % of the names are one value, the rest squared: skewed towards the small ones.
        Run("INSERT INTO rowlark_place_words SELECT i, CASE WHEN i % 5 = 0 THEN 'common' ELSE 'w' ||"
            " lpad((((i * 7919) % 10007)::bigint * ((i * 7919) % 10007))::text, 10, '0') END"
            " FROM generate_series(1, 100000) i");
        Run("SELECT public.rowlark_add_index_tag('rowlark_place_words', 'name', 'name', 'id', 'text')");
        catalogue_ = connection_->OpenCatalogue();
        tag_ = catalogue_->Tag("rowlark_place_words", "name").value();
    }
    void TearDown() override {
        if (connection_) Run("DROP TABLE IF EXISTS rowlark_place_words; DELETE FROM public.rowlark_index_tags"
                             " WHERE table_name = 'rowlark_place_words'");
    }
    void Run(const std::string& sql) { connection_->Execute(sql); }

    // The keys in the tag's order, each with whether its row holds the shared value.
    std::vector<std::pair<std::string, bool>> KeysInOrder() {
        auto cursor = connection_->RunStatement(
            "SELECT id::text, (name = 'common')::text FROM rowlark_place_words ORDER BY " + tag_.order_sql + ", id",
            {}, oledb_backend::Reading::kWhole);
        std::vector<std::pair<std::string, bool>> keys;
        while (cursor->Step()) keys.emplace_back(cursor->Column(0).text, cursor->Column(1).text == "true");
        return keys;
    }

    std::shared_ptr<oledb_backend::Connection> connection_;
    std::unique_ptr<oledb_backend::Catalogue> catalogue_;
    oledb_backend::TagInfo tag_;
};

TEST_F(TagStatisticsServerTest, NoPlaceBeforeAnalyzeAndPlacesNearTheTrueRankAfter) {
    EXPECT_FALSE(catalogue_->TagPlace("rowlark_place_words", tag_, "5"));
    EXPECT_FALSE(catalogue_->TagValueAt("rowlark_place_words", tag_, 0.5));
    Run("ANALYZE rowlark_place_words");
    const auto keys = KeysInOrder();
    double worst = 0;
    double worst_shared = 0;  // the one value a fifth of the rows share is placed at its middle
    for (std::size_t rank = 0; rank < keys.size(); rank += 97) {
        const auto place = catalogue_->TagPlace("rowlark_place_words", tag_, keys[rank].first);
        ASSERT_TRUE(place) << keys[rank].first;
        const double distance = std::fabs(*place - static_cast<double>(rank) / (keys.size() - 1)) * 100;
        (keys[rank].second ? worst_shared : worst) = std::max(keys[rank].second ? worst_shared : worst, distance);
    }
    EXPECT_LT(worst, 2.0);
    EXPECT_LT(worst_shared, 10.5);
    std::printf("worst distance from the true rank: %.3f points, %.3f in the shared value\n", worst, worst_shared);
    EXPECT_FALSE(catalogue_->TagPlace("rowlark_place_words", tag_, "999999"));  // no such row
    const auto middle = catalogue_->TagValueAt("rowlark_place_words", tag_, 0.5);
    ASSERT_TRUE(middle);
    EXPECT_EQ(middle->rfind("w", 0), 0u) << *middle;
}

}  // namespace
