// Every table of the shared data imported: what lands in the database equals what the reader reads
// (itself checked against other programs' readers in tests/foxpro), in each backend's own types.

#include "tests/import/import_fixture.h"

namespace import_test {
namespace {

struct TableCase {
    const char* dbf;
    std::size_t rows;  // live records
};

class ImportedValues : public ImportTest, public ::testing::WithParamInterface<TableCase> {};

TEST_P(ImportedValues, EqualTheReadersValues) {
    const auto report = Import({GetParam().dbf});
    ASSERT_EQ(report.tables.size(), 1u);
    EXPECT_EQ(report.tables[0].rows, GetParam().rows);
    ExpectSameAsReader(GetParam().dbf, report.tables[0]);
}

INSTANTIATE_TEST_SUITE_P(SharedData, ImportedValues,
                         ::testing::Values(TableCase{"cp1251.dbf", 4}, TableCase{"dbase_30.dbf", 34},
                                           TableCase{"dbase_31.dbf", 77}, TableCase{"dbase_03.dbf", 12},
                                           TableCase{"dbase_83.dbf", 67}, TableCase{"client.dbf", 8},
                                           TableCase{"foxpro_currency_01.dbf", 3},
                                           TableCase{"vfp_database/calls.dbf", 16},
                                           TableCase{"vfp_database/contacts.dbf", 5}),
                         [](const auto& info) {
                             std::string name = info.param.dbf;
                             for (char& c : name) if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

TEST_F(ImportTest, DeclaredTypesKeepEachKindExactly) {
    Import({"dbase_31.dbf", "dbase_30.dbf"});
    const auto type = [&](const std::string& table, const std::string& column) {
        const std::string sql = db_.on_server()
            ? "SELECT format_type(atttypid, atttypmod) FROM pg_attribute WHERE attrelid = '\"" + table +
                  "\"'::regclass AND attname = '" + column + "'"
            : "SELECT type FROM pragma_table_info('" + table + "') WHERE name = '" + column + "'";
        const auto found = db_.Column(sql);
        return found.empty() ? std::string("(none)") : found.front();
    };
    const bool server = db_.on_server();
    // Currency: nineteen digits, more than a double holds, so SQLite keeps its exact decimal text.
    EXPECT_EQ(type("dbase_31", "unitprice"), server ? "numeric(19,4)" : "DECIMAL TEXT(19, 4)");
    EXPECT_EQ(type("dbase_31", "productid"), server ? "integer" : "INTEGER");
    EXPECT_EQ(type("dbase_31", "discontinu"), server ? "boolean" : "BOOLEAN");
    EXPECT_EQ(type("dbase_31", "double"), server ? "double precision" : "REAL");
    EXPECT_EQ(type("dbase_30", "curvalue"), server ? "numeric(12,2)" : "NUMERIC(12, 2)");
    // A whole number: an integer on SQLite, which keeps 18 digits exactly as one.
    EXPECT_EQ(type("dbase_30", "earlydate"), server ? "numeric(4,0)" : "INTEGER");
    EXPECT_EQ(type("dbase_30", "catdate"), server ? "date" : "DATE");
    EXPECT_EQ(type("dbase_30", "updated"), server ? "timestamp without time zone" : "DATETIME");
    EXPECT_EQ(type("dbase_30", "notes"), server ? "text" : "TEXT");
    EXPECT_EQ(type("dbase_30", "accessno"), server ? "character varying(15)" : "VARCHAR(15)");
}

TEST_F(ImportTest, RepeatedFieldNamesGetColumnsOfTheirOwn) {
    // dbase_03 has two fields named Point_ID (a text and a number).
    Import({"dbase_03.dbf"});
    const auto first = db_.Column("SELECT point_id FROM dbase_03 WHERE recno = 1");
    const auto second = db_.Column("SELECT point_id_2 FROM dbase_03 WHERE recno = 1");
    ASSERT_EQ(first.size(), 1u);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(first[0], "0507121");
    EXPECT_EQ(second[0], "401");
}

}  // namespace
}  // namespace import_test
