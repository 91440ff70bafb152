// Every shared table pgdbf reads, loaded into the server twice: pgdbf's SQL through psql into a schema
// of the test's own, and our import into the test's schema; the rows must agree column by column.
// Server runs only (postgresql.*); pgdbf cannot read dbase_31.dbf (its field array), so that one is out.
//
// Where the two differ, and how the comparison bridges it:
// - Types: pgdbf declares currency (Y) as DECIMAL(4), dropping the four places after the point, and
//   numbers (N) without places as NUMERIC(n) where we keep a SQLite-style integer only on SQLite. Our
//   value is cast to pgdbf's declared type before it is compared, so the server rounds both alike.
// - Names: pgdbf prefixes a column named like an SQL word with the table's name ("dbase_83_order");
//   columns are paired by position instead, our record-number column left out.
// - Trailing blanks: both readers drop them from C fields; in a memo we keep the blanks as stored, pgdbf
//   drops them, so a memo (pgdbf's "text") compares without its trailing blanks.
// - dBase III memos (.dbt): pgdbf writes some as empty text (every one of client.dbt, four of
//   dbase_83.dbt's); such a memo is left uncompared, every other one is compared.
// - Datetimes: pgdbf writes "J<julian day> HH:MM:SS", the milliseconds dropped; ours round to the second
//   the same way (tests/foxpro/pgdbf_test.cpp), so the server's timestamps compare as they are.
// - Code pages: pgdbf is told each table's; dbase_83.dbf has no mark, and we read an unmarked table
//   as 1251 (foxpro/table_reader.h), so pgdbf is told the same.
// - Deleted records: neither writes them; rows pair in file order (ours by record number, pgdbf's by
//   the order COPY stored them in).

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "tests/import/import_fixture.h"

namespace import_test {
namespace {

struct PgdbfCase {
    const char* dbf;
    const char* options;  // pgdbf's: the code page to convert from, the memo file
    bool dbt_memos;       // memos in a dBase III .dbt, some of which pgdbf leaves empty
};

std::optional<std::string> WithoutTrailingBlanks(std::optional<std::string> text) {
    if (text) text->erase(text->find_last_not_of(' ') + 1);
    return text;
}

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

class SameAsPgdbf : public ImportTest, public ::testing::WithParamInterface<PgdbfCase> {
protected:
    void SetUp() override {
        ImportTest::SetUp();
        if (IsSkipped()) return;
        if (!db_.on_server()) GTEST_SKIP() << "pgdbf's SQL is for PostgreSQL";
        if (std::system("command -v pgdbf >/dev/null 2>&1") != 0) GTEST_SKIP() << "pgdbf is not installed";
        theirs_ = db_.Column("SELECT current_schema()").at(0) + "_pgdbf";
        db_.Exec("CREATE SCHEMA " + Quoted(theirs_));
    }
    void TearDown() override {
        if (!theirs_.empty()) db_.Exec("DROP SCHEMA " + Quoted(theirs_) + " CASCADE");
    }

    // pgdbf's output for the file piped to psql, inside the schema of pgdbf's rows.
    void LoadWithPgdbf(const std::string& dbf, const std::string& options) {
        const char* server = std::getenv("ROWLARK_PG");
        ASSERT_NE(server, nullptr);
        const std::string command = "{ echo 'SET search_path TO " + Quoted(theirs_) + ";'; pgdbf " + options + " '" +
                                    kData + "/" + dbf + "'; } | psql -q -X -v ON_ERROR_STOP=1 '" + server +
                                    "' >/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }

    // The declared types of a table's columns, in order, as format_type writes them.
    std::vector<std::string> Types(const std::string& schema, const std::string& table) {
        return db_.Column("SELECT format_type(atttypid, atttypmod) FROM pg_attribute WHERE attrelid = '" +
                          Quoted(schema) + "." + Quoted(table) + "'::regclass AND attnum > 0 AND NOT attisdropped "
                          "ORDER BY attnum");
    }
    std::vector<std::string> Names(const std::string& schema, const std::string& table) {
        return db_.Column("SELECT attname FROM pg_attribute WHERE attrelid = '" + Quoted(schema) + "." +
                          Quoted(table) + "'::regclass AND attnum > 0 AND NOT attisdropped ORDER BY attnum");
    }

    std::string theirs_;  // the schema pgdbf's tables go to
};

TEST_P(SameAsPgdbf, RowsAgreeColumnByColumn) {
    const std::string dbf = GetParam().dbf;
    const std::string base = dbf.substr(dbf.rfind('/') + 1, dbf.size() - dbf.rfind('/') - 5);
    ASSERT_NO_FATAL_FAILURE(LoadWithPgdbf(dbf, GetParam().options));
    const auto report = Import({dbf});
    ASSERT_EQ(report.tables.size(), 1u);
    const auto& ours = report.tables[0];
    const std::string ours_schema = db_.Column("SELECT current_schema()").at(0);

    const auto their_types = Types(theirs_, base);
    const auto their_names = Names(theirs_, base);
    const auto our_names = Names(ours_schema, ours.name);
    const std::size_t first = ours.recno ? 1 : 0;
    ASSERT_EQ(our_names.size() - first, their_names.size()) << dbf;

    std::string our_list, their_list;
    for (std::size_t i = 0; i < their_names.size(); ++i) {
        our_list += (i ? ", " : "") + std::string("CAST(") + Quoted(our_names[first + i]) + " AS " + their_types[i] + ")::text";
        their_list += (i ? ", " : "") + Quoted(their_names[i]) + "::text";
    }
    const std::string order = ours.recno ? Quoted(our_names[0]) : "ctid";
    const auto our_rows = db_.Query("SELECT " + our_list + " FROM " + Quoted(ours.name) + " ORDER BY " + order);
    const auto their_rows =
        db_.Query("SELECT " + their_list + " FROM " + Quoted(theirs_) + "." + Quoted(base) + " ORDER BY ctid");
    ASSERT_EQ(our_rows.size(), their_rows.size()) << dbf;
    ASSERT_EQ(our_rows.size(), ours.rows) << dbf;
    for (std::size_t r = 0; r < our_rows.size(); ++r)
        for (std::size_t i = 0; i < their_names.size(); ++i) {
            const bool memo = their_types[i] == "text";
            if (memo && GetParam().dbt_memos && their_rows[r][i].value_or("").empty()) continue;
            EXPECT_EQ(memo ? WithoutTrailingBlanks(our_rows[r][i]) : our_rows[r][i], their_rows[r][i])
                << dbf << " row " << r + 1 << " " << their_names[i] << " (" << their_types[i] << ")";
        }
}

INSTANTIATE_TEST_SUITE_P(
    SharedData, SameAsPgdbf,
    ::testing::Values(PgdbfCase{"cp1251.dbf", "-s cp1251", false},
                      PgdbfCase{"client.dbf", "-s cp1252 -m '" ROWLARK_FOXPRO_DATA "/client.dbt'", true},
                      PgdbfCase{"dbase_03.dbf", "-s cp1252", false},
                      PgdbfCase{"dbase_30.dbf", "-s cp1252 -m '" ROWLARK_FOXPRO_DATA "/dbase_30.fpt'", false},
                      PgdbfCase{"dbase_83.dbf", "-s cp1251 -m '" ROWLARK_FOXPRO_DATA "/dbase_83.dbt'", true},
                      PgdbfCase{"foxpro_currency_01.dbf", "-s cp1252", false},
                      PgdbfCase{"vfp_database/calls.dbf", "-s cp1252 -m '" ROWLARK_FOXPRO_DATA "/vfp_database/calls.FPT'", false},
                      PgdbfCase{"vfp_database/contacts.dbf",
                                "-s cp1252 -m '" ROWLARK_FOXPRO_DATA "/vfp_database/contacts.FPT'", false}),
    [](const auto& info) {
        std::string name = info.param.dbf;
        for (char& c : name) if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        return name;
    });

}  // namespace
}  // namespace import_test
