#pragma once
// Shared by the server tests that work in SQL (the QueryRows contract on both databases is tested in
// tests/query_rows): a libpq connection to the server named by ROWLARK_PG (skipped without it), the
// schema file installed, and a schema of the test's own that is dropped afterwards; a builder for
// QueryRows calls bound as the OLE DB layer binds them (texts as text, numbers as bigint), and a reader
// that collects an answer as (key, index value) pairs.

#include <gtest/gtest.h>
#include <libpq-fe.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace rowlark::postgres::testing {

using Row = std::pair<std::string, std::string>;  // key text, index value text
using Rows = std::vector<Row>;

struct ClearResult {
    void operator()(PGresult* result) const { PQclear(result); }
};
using Result = std::unique_ptr<PGresult, ClearResult>;

struct FinishConnection {
    void operator()(PGconn* connection) const { PQfinish(connection); }
};
using Connection = std::unique_ptr<PGconn, FinishConnection>;

// The ten arguments of QueryRows ('T', 'G', 'I', 'K', n, 'F',D, 'A', 'B',E).
struct Call {
    std::string table, tag, index, key;
    std::int64_t count = 0;
    std::string key_field = "id";
    bool forward = true;
    std::string from, to;
    bool inclusive = false;
};

// A call on tag "code" of table "t" from (index, key), count rows.
inline Call CodeCall(const std::string& index, const std::string& key, std::int64_t count, bool forward = true) {
    Call call;
    call.table = "t";
    call.tag = "code";
    call.index = index;
    call.key = key;
    call.count = count;
    call.forward = forward;
    return call;
}

// The answer's keys, each followed by ';'.
inline std::string KeysOf(const Rows& rows) {
    std::string text;
    for (const auto& row : rows) text += row.first + ";";
    return text;
}

// What a statement answered: its rows as texts, or the server's primary message when it failed.
struct Outcome {
    std::vector<std::string> columns;
    std::vector<std::vector<std::string>> rows;
    std::string error;  // "" when it succeeded
};

// The connection string of the test server, or "" when none is given.
std::string ServerConnectionString();

class PgTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    PGconn* conn() const { return conn_.get(); }
    const std::string& schema() const { return schema_; }

    // Runs a statement (parameters as text, types inferred) and fails the test when it fails.
    std::vector<std::vector<std::string>> Exec(const std::string& sql, const std::vector<std::string>& params = {});
    // Runs a statement and answers its rows or its error, for tests of refusals.
    Outcome Try(const std::string& sql, const std::vector<std::string>& params = {});

    // Calls queryrows with the arguments bound by type; the rows, or the error's message.
    Outcome Call_(const Call& call);
    Rows Answer(const Call& call);
    // EXPLAIN of the statement the call runs, line by line.
    std::vector<std::string> Explain(const Call& call);

private:
    Connection conn_;
    std::string schema_;
};

}  // namespace rowlark::postgres::testing
