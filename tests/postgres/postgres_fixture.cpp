#include "tests/postgres/postgres_fixture.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace rowlark::postgres::testing {

namespace {

std::string ReadSchemaFile() {
    std::ifstream file(ROWLARK_PG_SCHEMA_FILE);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

Outcome Collect(PGresult* raw) {
    Result result(raw);
    Outcome outcome;
    const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
    if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
        const char* message = result ? PQresultErrorField(result.get(), PG_DIAG_MESSAGE_PRIMARY) : nullptr;
        outcome.error = message ? message : "no result";
        return outcome;
    }
    for (int column = 0; column < PQnfields(result.get()); ++column) outcome.columns.emplace_back(PQfname(result.get(), column));
    for (int row = 0; row < PQntuples(result.get()); ++row) {
        std::vector<std::string> values;
        for (int column = 0; column < PQnfields(result.get()); ++column)
            values.emplace_back(PQgetvalue(result.get(), row, column));
        outcome.rows.push_back(std::move(values));
    }
    return outcome;
}

Outcome RunSql(PGconn* conn, const std::string& sql, const std::vector<std::string>& params) {
    std::vector<const char*> values;
    for (const std::string& param : params) values.push_back(param.c_str());
    return Collect(PQexecParams(conn, sql.c_str(), static_cast<int>(values.size()), nullptr, values.data(), nullptr,
                                nullptr, 0));
}

// The schema file, installed once per test process; the lock keeps parallel test processes from
// replacing the same functions at once.
bool InstallSchema(PGconn* conn) {
    static const bool installed = [conn] {
        const std::string script = "BEGIN; SELECT pg_advisory_xact_lock(71402026); " + ReadSchemaFile() + "; COMMIT;";
        Result result(PQexec(conn, script.c_str()));
        const bool ok = result && PQresultStatus(result.get()) == PGRES_COMMAND_OK;
        if (!ok) ADD_FAILURE() << "cannot install the schema file: " << PQerrorMessage(conn);
        return ok;
    }();
    return installed;
}

}  // namespace

std::string ServerConnectionString() {
    const char* text = std::getenv("ROWLARK_PG");
    return text ? text : "";
}

void PgTest::SetUp() {
    const std::string where = ServerConnectionString();
    if (where.empty()) GTEST_SKIP() << "ROWLARK_PG is not set: no PostgreSQL server to test against "
                                       "(scripts/pg_cluster start DIR prints a connection string for it)";
    conn_.reset(PQconnectdb(where.c_str()));
    ASSERT_EQ(PQstatus(conn()), CONNECTION_OK) << "cannot connect to " << where << ": " << PQerrorMessage(conn());
    ASSERT_TRUE(InstallSchema(conn()));
    static int made = 0;
    schema_ = "rowlark_test_" + std::to_string(::getpid()) + "_" + std::to_string(++made);
    Exec("SET client_min_messages = warning");
    Exec("DROP SCHEMA IF EXISTS \"" + schema_ + "\" CASCADE");
    Exec("CREATE SCHEMA \"" + schema_ + "\"");
    Exec("SET search_path TO \"" + schema_ + "\", public");
}

void PgTest::TearDown() {
    if (!conn_ || schema_.empty()) return;
    Try("DELETE FROM public.rowlark_index_tags WHERE table_schema = $1", {schema_});
    Try("DROP SCHEMA IF EXISTS \"" + schema_ + "\" CASCADE");
}

std::vector<std::vector<std::string>> PgTest::Exec(const std::string& sql, const std::vector<std::string>& params) {
    Outcome outcome = Try(sql, params);
    EXPECT_EQ(outcome.error, "") << sql;
    return outcome.rows;
}

Outcome PgTest::Try(const std::string& sql, const std::vector<std::string>& params) {
    return RunSql(conn(), sql, params);
}

Outcome PgTest::Call_(const Call& call) {
    // Typed as the OLE DB layer binds a call's arguments: quoted texts as text, numbers as bigint.
    constexpr Oid kText = 25, kBigint = 20;
    const Oid types[10] = {kText, kText, kText, kText, kBigint, kText, kBigint, kText, kText, kBigint};
    const std::string texts[10] = {call.table, call.tag, call.index, call.key, std::to_string(call.count),
                                   call.key_field, call.forward ? "1" : "0", call.from, call.to,
                                   call.inclusive ? "1" : "0"};
    const char* values[10];
    for (int i = 0; i < 10; ++i) values[i] = texts[i].c_str();
    return Collect(PQexecParams(conn(), "SELECT * FROM queryrows($1, $2, $3, $4, $5, $6, $7, $8, $9, $10)", 10, types,
                                values, nullptr, nullptr, 0));
}

Rows PgTest::Answer(const Call& call) {
    Outcome outcome = Call_(call);
    EXPECT_EQ(outcome.error, "");
    Rows rows;
    for (const auto& row : outcome.rows) rows.emplace_back(row.at(0), row.at(1));
    return rows;
}

std::vector<std::string> PgTest::Explain(const Call& call) {
    const auto rows = Exec("SELECT * FROM queryrows_explain($1, $2, $3, $4, $5, $6, $7, $8, $9, $10)",
                           {call.table, call.tag, call.index, call.key, std::to_string(call.count), call.key_field,
                            call.forward ? "1" : "0", call.from, call.to, call.inclusive ? "1" : "0"});
    std::vector<std::string> lines;
    for (const auto& row : rows) lines.push_back(row.at(0));
    return lines;
}

}  // namespace rowlark::postgres::testing
