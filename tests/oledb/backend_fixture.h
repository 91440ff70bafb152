#pragma once
// The fixture of the layer's tests that hold for both backends: each test runs once over a fresh
// SQLite file and once over a fresh schema of the PostgreSQL database named by the environment
// variable ROWLARK_PG (skipped, with the reason, when it is unset or the build has no server
// backend). Every open of the test's database (ConnectionText) lands in that schema, which the
// test drops at its end, so runs side by side never meet.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/oledb/layer_calls.h"
#include "tests/support/server_text.h"

enum class Backend { kSqlite, kPostgres };

inline std::string BackendName(const ::testing::TestParamInfo<Backend>& info) {
    return info.param == Backend::kSqlite ? "Sqlite" : "Postgres";
}

// The test database's connection string, or empty when the tests of the server are skipped.
inline std::string ServerUnderTest() {
    const char* text = std::getenv("ROWLARK_PG");
    return text ? text : "";
}

class BackendTest : public ::testing::TestWithParam<Backend>, protected LayerCalls {
protected:
    void SetUp() override {
        static int counter = 0;
        ++counter;
        CleanHost();
        if (Postgres()) {
#ifndef ROWLARK_POSTGRES
            GTEST_SKIP() << "this build has no PostgreSQL backend (the 32-bit build is made without libpq)";
#endif
            server_ = ServerUnderTest();
            if (server_.empty()) GTEST_SKIP() << "ROWLARK_PG is not set (a connection string to a test database)";
            schema_ = "rowlark_oledb_" + std::to_string(getpid()) + "_" + std::to_string(counter);
            COLEDBData admin;
            ASSERT_TRUE(admin.Open(server_.c_str())) << LastError();
            ASSERT_TRUE(admin.Execute(("DROP SCHEMA IF EXISTS " + schema_ + " CASCADE; CREATE SCHEMA " + schema_).c_str()))
                << LastError();
        } else {
            path_ = (std::filesystem::temp_directory_path() /
                     ("rowlark_backend_" + std::to_string(getpid()) + "_" + std::to_string(counter) + ".db"))
                        .string();
            std::filesystem::remove(path_);
        }
        ASSERT_TRUE(data_->Open(ConnectionText().c_str())) << LastError();
        command_ = OleDb::CCommandProxy(data_->CreateCommand());
    }

    void TearDown() override {
        command_ = OleDb::CCommandProxy();
        data_->Close();
        CleanHost();
        if (!schema_.empty()) {
            COLEDBData admin;
            EXPECT_TRUE(admin.Open(server_.c_str()) && admin.Execute(("DROP SCHEMA " + schema_ + " CASCADE").c_str()))
                << LastError();
        }
        if (!path_.empty()) std::filesystem::remove(path_);
    }

    bool Postgres() const { return GetParam() == Backend::kPostgres; }
    // What opens this test's database: the file, or the server with the test's schema first in
    // its search path (as libpq's "options", which the layer keeps beside its own).
    std::string ConnectionText() const {
        return Postgres() ? test_support::WithSearchPath(server_, schema_, false) : path_;
    }
    // The text for this backend: the two databases word their own messages differently.
    std::string Either(const std::string& sqlite, const std::string& postgres) const {
        return Postgres() ? postgres : sqlite;
    }

    std::string path_;
    std::string server_;
    std::string schema_;
};

// BackendTest over a table t(id, name, qty) holding (1, 'one', 10), (2, 'two', 20), (3, 'три', 30).
class BackendWithRows : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped()) return;
        Exec("CREATE TABLE t(id INTEGER PRIMARY KEY, name TEXT, qty INTEGER);"
             "INSERT INTO t VALUES (1, 'one', 10), (2, 'two', 20), (3, 'три', 30);");
    }
};

#define ROWLARK_BOTH_BACKENDS(suite) \
    INSTANTIATE_TEST_SUITE_P(Backends, suite, ::testing::Values(Backend::kSqlite, Backend::kPostgres), BackendName)
