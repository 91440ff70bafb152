// The layer's connections and the Russian order, on both backends: every SQLite connection the layer
// opens has the collation rowlark_ru, and the catalogue's order SQL of a Russian-order tag orders as
// its index does (the static provider and the grid order through it).

#include <gtest/gtest.h>

#include "database/index_tags.h"
#include "platform/oledb/connection.h"
#include "tests/oledb/backend_fixture.h"

namespace {

class RussianOrderLayerTest : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        connection_ = oledb_backend::Connection::Open(ConnectionText());
    }
    void TearDown() override {
        connection_.reset();
        BackendTest::TearDown();
    }
    std::vector<std::string> Column(const std::string& sql) {
        auto cursor = connection_->RunStatement(sql, {}, oledb_backend::Reading::kWhole);
        std::vector<std::string> values;
        while (cursor->Step()) values.push_back(cursor->Column(0).text);
        return values;
    }

    std::shared_ptr<oledb_backend::Connection> connection_;
};

TEST_P(RussianOrderLayerTest, ConnectionComparesInTheRussianOrder) {
    // In byte order every one of these is the other way round.
    const std::string collate = Either(" COLLATE rowlark_ru", " COLLATE public.rowlark_ru");
    EXPECT_EQ(Column("SELECT CASE WHEN 'ёж' < 'Жук'" + collate + " AND 'Жук' < 'ЖУКОВ'" + collate +
                     " AND 'Бабёнка' < 'Бабушкин'" + collate + " THEN 'yes' ELSE 'no' END"),
              std::vector<std::string>{"yes"});
}

TEST_P(RussianOrderLayerTest, CatalogueOrderSqlOfARussianTagOrdersAsItsIndex) {
    connection_->Execute("CREATE TABLE w (id integer PRIMARY KEY, name text)");
    connection_->Execute("INSERT INTO w VALUES (1, 'Ёлкин'), (2, 'жук'), (3, 'Абрикос'), (4, 'Жук'), (5, 'ель')");
    if (Postgres())
        connection_->Execute("SELECT public.rowlark_add_index_tag('w', 'name', 'name', 'id', 'text', 'russian')");
    else
        rowlark::database::AddIndexTag(*connection_, "w", "name", "name", "id", rowlark::database::TagKind::Text,
                                       rowlark::database::TextOrder::Russian);
    const auto tag = connection_->OpenCatalogue()->Tag("w", "name");
    ASSERT_TRUE(tag);
    EXPECT_EQ(Column("SELECT name FROM w ORDER BY " + tag->order_sql + ", id"),
              (std::vector<std::string>{"Абрикос", "Ёлкин", "ель", "жук", "Жук"}));
}

ROWLARK_BOTH_BACKENDS(RussianOrderLayerTest);

}  // namespace
