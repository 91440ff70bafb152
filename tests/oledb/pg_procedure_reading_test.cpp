// How the server backend reads: a server function's answer arrives whole, so the session is free at
// once and a long answer still comes complete and in order; a statement still streams and holds the
// session until read. Errors of both stay the server's own.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>

#ifdef ROWLARK_POSTGRES
#include "platform/oledb/call_text.h"
#include "platform/oledb/pg_connection.h"

namespace {

using oledb_backend::CursorError;
using oledb_backend::PgConnection;
using oledb_backend::Reading;

class ServerReading : public ::testing::Test {
protected:
    void SetUp() override {
        const char* server = std::getenv("ROWLARK_PG");
        if (!server) GTEST_SKIP() << "ROWLARK_PG is not set (a connection string to a test database)";
        connection_ = PgConnection::Open(server);
        function_ = "rowlark_reading_" + std::to_string(getpid());
        connection_->Execute("CREATE OR REPLACE FUNCTION " + function_ +
                             "(n integer) RETURNS SETOF integer LANGUAGE plpgsql AS $$ BEGIN "
                             "IF n < 0 THEN RAISE EXCEPTION 'negative %', n; END IF; "
                             "RETURN QUERY SELECT generate_series(1, n); END $$");
    }
    void TearDown() override {
        if (connection_) connection_->Execute("DROP FUNCTION IF EXISTS " + function_ + "(integer)");
    }
    std::unique_ptr<oledb_backend::RowCursor> Call(long n) {
        return connection_->CallProcedure(oledb_backend::ParseCall(function_ + "(" + std::to_string(n) + ")"),
                                          Reading::kStream);
    }

    std::shared_ptr<PgConnection> connection_;
    std::string function_;
};

TEST_F(ServerReading, FunctionAnswerIsReadWholeAndComesCompleteInOrder) {
    constexpr long kRows = 50000;
    auto answer = Call(kRows);
    EXPECT_EQ(connection_->streaming(), nullptr) << "the answer holds no session";
    ASSERT_TRUE(answer->Step());
    EXPECT_EQ(answer->Column(0).integer, 1);
    // Another query between the answer's rows changes nothing in it.
    EXPECT_EQ(connection_->Query("SELECT 7", {}), (std::vector<std::vector<std::string>>{{"7"}}));
    long rows = 1;
    while (answer->Step()) {
        ++rows;
        ASSERT_EQ(answer->Column(0).integer, rows);
    }
    EXPECT_EQ(rows, kRows);
}

TEST_F(ServerReading, FunctionErrorIsTheServersAndTheSessionGoesOn) {
    try {
        Call(-3);
        FAIL() << "a failing function must throw";
    } catch (const CursorError& error) {
        EXPECT_NE(std::string(error.what()).find("negative -3"), std::string::npos) << error.what();
    }
    auto answer = Call(2);
    ASSERT_TRUE(answer->Step());
    ASSERT_TRUE(answer->Step());
    EXPECT_FALSE(answer->Step());
}

TEST_F(ServerReading, HugeStatementStillStreamsAndHoldsTheSessionUntilRead) {
    auto rows = connection_->RunStatement("SELECT generate_series(1, 100000000)", {}, Reading::kStream);
    EXPECT_NE(connection_->streaming(), nullptr) << "a statement's rows come one by one";
    for (long i = 1; i <= 3; ++i) {
        ASSERT_TRUE(rows->Step());
        EXPECT_EQ(rows->Column(0).integer, i);
    }
    rows.reset();  // stops the query on the server
    EXPECT_EQ(connection_->streaming(), nullptr);
    EXPECT_EQ(connection_->Query("SELECT 8", {}), (std::vector<std::vector<std::string>>{{"8"}}));
}

}  // namespace
#endif
