// Index tags belong to their table, not to its name: a renamed table keeps its tags and is walked
// under its new name, a new table of the old name starts without any and takes its own, and a
// dropped table takes its tags along. Installing the schema file over a catalogue of an earlier
// version, which knew its tables by name only, ties each row to its table in place.

#include <unistd.h>

#include <fstream>
#include <sstream>

#include "tests/postgres/postgres_fixture.h"

namespace rowlark::postgres::testing {
namespace {

class TagsFollowTable : public PgTest {
protected:
    void SetUp() override {
        PgTest::SetUp();
        if (IsSkipped()) return;
        Exec("CREATE TABLE t (id integer PRIMARY KEY, code text)");
        Exec("INSERT INTO t SELECT i, 'C' || lpad(i::text, 2, '0') FROM generate_series(1, 20) AS i");
        index_ = Exec("SELECT rowlark_add_index_tag('t', 'code', 'code', 'id')").at(0).at(0);
    }
    // The catalogue's rows of this test's schema, as "table.tag;".
    std::string CatalogueRows() {
        std::string text;
        for (const auto& row : Exec("SELECT table_name, tag FROM rowlark_index_tags WHERE table_schema = $1"
                                    " ORDER BY table_name, tag", {schema()}))
            text += row[0] + "." + row[1] + ";";
        return text;
    }
    std::string Listed() {
        std::string text;
        for (const auto& row : Exec("SELECT l.table_name, l.tag FROM rowlark_index_tag_list() l"
                                    " WHERE EXISTS (SELECT FROM pg_tables WHERE schemaname = $1 AND tablename = l.table_name)",
                                    {schema()}))
            text += row[0] + "." + row[1] + ";";
        return text;
    }

    std::string index_;  // the index of t's tag
};

TEST_F(TagsFollowTable, ARenamedTableKeepsItsTagsUnderItsNewName) {
    Exec("ALTER TABLE t RENAME TO u");
    Call renamed = CodeCall("C05", "5", 3);
    renamed.table = "u";
    EXPECT_EQ(KeysOf(Answer(renamed)), "6;7;8;");
    EXPECT_EQ(CatalogueRows(), "u.code;");
    EXPECT_EQ(Listed(), "u.code;");
    EXPECT_EQ(Call_(CodeCall("C05", "5", 3)).error, "QueryRows: unknown table 't'");
    EXPECT_EQ(Try("SELECT rowlark_drop_index_tag('u', 'code')").error, "");
    EXPECT_EQ(Exec("SELECT count(*) FROM pg_indexes WHERE schemaname = $1 AND indexname = $2", {schema(), index_})[0][0], "0");
}

TEST_F(TagsFollowTable, ANewTableOfTheOldNameAddsAndWalksATagOfItsOwn) {
    Exec("ALTER TABLE t RENAME TO u");
    Exec("CREATE TABLE t (id integer PRIMARY KEY, code text)");
    Exec("INSERT INTO t SELECT i, 'D' || lpad(i::text, 2, '0') FROM generate_series(1, 20) AS i");
    EXPECT_EQ(Call_(CodeCall("D05", "5", 3)).error, "QueryRows: table 't' has no index tag 'code'");
    const Outcome added = Try("SELECT rowlark_add_index_tag('t', 'code', 'code', 'id')");
    ASSERT_EQ(added.error, "");
    const std::string own = added.rows.at(0).at(0);
    EXPECT_NE(own, index_);
    EXPECT_EQ(Listed(), "t.code;u.code;");
    EXPECT_EQ(Answer(CodeCall("D05", "5", 3)), (Rows{{"6", "D06"}, {"7", "D07"}, {"8", "D08"}}));
    EXPECT_EQ(Exec("SELECT indrelid::regclass::text FROM pg_index WHERE indexrelid = to_regclass($1)", {own}),
              (std::vector<std::vector<std::string>>{{"t"}}));
    Call renamed = CodeCall("C05", "5", 3);
    renamed.table = "u";
    EXPECT_EQ(KeysOf(Answer(renamed)), "6;7;8;");
    EXPECT_EQ(Answer(renamed).at(0).second, "C06");
}

TEST_F(TagsFollowTable, ADroppedTableTakesItsTagsAlong) {
    Exec("CREATE TABLE kept (id integer PRIMARY KEY, code text)");
    Exec("SELECT rowlark_add_index_tag('kept', 'code', 'code', 'id')");
    Exec("DROP TABLE t");
    EXPECT_EQ(CatalogueRows(), "kept.code;");
    Exec("CREATE TABLE t (id integer PRIMARY KEY, code text)");
    EXPECT_EQ(Listed(), "kept.code;");
    EXPECT_EQ(Try("SELECT rowlark_add_index_tag('t', 'code', 'code', 'id')").error, "");
}

// A database of its own, with the catalogue an earlier version of the schema file left.
class EarlierCatalogue : public PgTest {
protected:
    void SetUp() override {
        PgTest::SetUp();
        if (IsSkipped()) return;
        database_ = "rowlark_upgrade_" + std::to_string(::getpid());
        Exec("DROP DATABASE IF EXISTS " + database_);
        Exec("CREATE DATABASE " + database_ + " ENCODING 'UTF8' LC_COLLATE 'C' LC_CTYPE 'C' TEMPLATE template0");
        const std::string server = ServerConnectionString();
        const char* keywords[] = {"dbname", "dbname", nullptr};
        const char* values[] = {server.c_str(), database_.c_str(), nullptr};
        old_.reset(PQconnectdbParams(keywords, values, 1));
        ASSERT_EQ(PQstatus(old_.get()), CONNECTION_OK) << PQerrorMessage(old_.get());
    }
    void TearDown() override {
        old_.reset();
        if (!database_.empty()) Try("DROP DATABASE IF EXISTS " + database_ + " WITH (FORCE)");
        PgTest::TearDown();
    }
    void Run(const std::string& sql) {
        Result result(PQexec(old_.get(), sql.c_str()));
        const ExecStatusType status = PQresultStatus(result.get());
        ASSERT_TRUE(status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) << sql << ": " << PQerrorMessage(old_.get());
    }
    std::string Value(const std::string& sql) {
        Result result(PQexec(old_.get(), sql.c_str()));
        EXPECT_EQ(PQresultStatus(result.get()), PGRES_TUPLES_OK) << sql << ": " << PQerrorMessage(old_.get());
        std::string text;
        for (int row = 0; row < PQntuples(result.get()); ++row) text += std::string(PQgetvalue(result.get(), row, 0)) + ";";
        return text;
    }
    void Install() {
        std::ifstream file(ROWLARK_PG_SCHEMA_FILE);
        std::stringstream text;
        text << file.rdbuf();
        Run(text.str());
    }

    std::string database_;
    Connection old_;
};

TEST_F(EarlierCatalogue, InstallingAgainTiesEachRowToTheTableItsIndexIsOn) {
    // Rows by name: a table as it was, one renamed since its tag was added, one dropped, and one
    // renamed whose tag was added again under its new name.
    Run("SET client_min_messages = warning;"
        "CREATE TABLE public.rowlark_index_tags (table_schema text NOT NULL, table_name text NOT NULL,"
        " tag text NOT NULL, expression text NOT NULL, key_field text NOT NULL, kind text NOT NULL,"
        " index_name text NOT NULL, text_order text NOT NULL DEFAULT 'bytes', PRIMARY KEY (table_schema, table_name, tag));"
        "CREATE TABLE stays (id integer PRIMARY KEY, code text);"
        "CREATE TABLE before (id integer PRIMARY KEY, code text);"
        "CREATE TABLE once (id integer PRIMARY KEY, code text);"
        "INSERT INTO before SELECT i, 'B' || i FROM generate_series(1, 9) AS i;"
        "CREATE UNIQUE INDEX tag_stays ON stays (code, id);"
        "CREATE UNIQUE INDEX tag_before ON before (code, id);"
        "CREATE UNIQUE INDEX tag_once ON once (code, id);"
        "ALTER TABLE before RENAME TO after; ALTER TABLE once RENAME TO twice;"
        "CREATE UNIQUE INDEX tag_twice ON twice (code, id);"
        "INSERT INTO public.rowlark_index_tags VALUES"
        " ('public', 'stays', 'code', 'code', 'id', 'text', 'tag_stays'),"
        " ('public', 'before', 'code', 'code', 'id', 'text', 'tag_before'),"
        " ('public', 'dropped', 'code', 'code', 'id', 'text', 'tag_dropped'),"
        " ('public', 'once', 'code', 'code', 'id', 'text', 'tag_once'),"
        " ('public', 'twice', 'code', 'code', 'id', 'text', 'tag_twice');");
    Install();
    const std::string rows = "SELECT table_name || '.' || index_name || ' ' || (table_oid::oid = to_regclass(table_name)::oid)"
                             " FROM rowlark_index_tags ORDER BY 1";
    EXPECT_EQ(Value(rows), "after.tag_before true;stays.tag_stays true;twice.tag_twice true;");
    EXPECT_EQ(Value("SELECT count(*) FROM pg_class WHERE relname = 'tag_once'"), "0;");
    EXPECT_EQ(Value("SELECT key FROM queryrows('after', 'code', 'B3', '3', 2, 'id', 1, '', '', 0)"), "4;5;");
    Install();
    EXPECT_EQ(Value(rows), "after.tag_before true;stays.tag_stays true;twice.tag_twice true;");
}

}  // namespace
}  // namespace rowlark::postgres::testing
