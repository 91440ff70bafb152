// Installing the schema file again, as every new version of it is installed over a running server,
// replaces each function in place: a session that is calling one meanwhile never finds it gone
// ("cache lookup failed for function"), and the catalogue's rows stay.

#include <fstream>
#include <sstream>

#include "tests/postgres/postgres_fixture.h"

namespace rowlark::postgres::testing {
namespace {

class SchemaInstall : public PgTest {
protected:
    // Every function of the file, by its signature, with its oid.
    std::vector<std::vector<std::string>> Functions() {
        return Exec("SELECT p.oid::regprocedure::text, p.oid::text FROM pg_proc p"
                    " WHERE p.pronamespace = 'public'::regnamespace"
                    " AND (p.proname LIKE 'rowlark\\_%' OR p.proname LIKE 'queryrows%') ORDER BY 1");
    }
    void InstallAgain() {
        std::ifstream file(ROWLARK_PG_SCHEMA_FILE);
        std::stringstream text;
        text << file.rdbuf();
        // Under the lock the test processes install under, so that none replaces a function meanwhile.
        const std::string script = "BEGIN; SELECT pg_advisory_xact_lock(71402026); " + text.str() + "; COMMIT;";
        const Result result(PQexec(conn(), script.c_str()));
        EXPECT_EQ(PQresultStatus(result.get()), PGRES_COMMAND_OK) << PQerrorMessage(conn());
    }
};

TEST_F(SchemaInstall, InstallingAgainReplacesEveryFunctionInPlaceAndKeepsTheTags) {
    Exec("CREATE TABLE t (id integer PRIMARY KEY, code text)");
    Exec("SELECT rowlark_add_index_tag('t', 'code', 'code', 'id')");
    const auto before = Functions();
    ASSERT_GT(before.size(), 20u);
    InstallAgain();
    EXPECT_EQ(Functions(), before);
    EXPECT_EQ(Exec("SELECT tag FROM rowlark_index_tag_list() WHERE table_name = 't'"),
              (std::vector<std::vector<std::string>>{{"code"}}));
}

}  // namespace
}  // namespace rowlark::postgres::testing
