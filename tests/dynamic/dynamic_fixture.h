#pragma once
// The dynamic provider's tests: a real database with tagged tables on the backend this run is for (a
// SQLite file with the database's QueryRows registered, or a schema on a PostgreSQL server with its
// queryrows function; tests/support/backend_database.h), opened through a real COLEDBData, and a
// provider configured over it.
//
// items: id 1..10, code "C" + (11 - id) in two digits, so the "code" tag orders ids 10, 9, ..., 1;
// people: a text key with apostrophes, tagged by name.

#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "addin/provider/dynamic/vfp_provider_dynamic.h"
#include "database/query_rows.h"
#include "platform/oledb/faults.h"
#include "platform/oledb/procedures.h"
#include "platform/runtime/module.h"
#include "tests/support/backend_database.h"
#include "tests/support/host_fixture.h"

namespace dynamic_test {

using OleDb::GridProvider::CDynamicDataRow;
using OleDb::GridProvider::CVfpProviderDynamic;
using test_support::Cp;
using test_support::Utf;
using test_support::BackendDatabase;

using RowPtr = std::unique_ptr<::CDataRow>;  // the grid owns rows and deletes them virtually

inline const CDynamicDataRow& Dyn(const RowPtr& row) { return dynamic_cast<const CDynamicDataRow&>(*row); }

// Display text (UTF-8) of a row's column.
inline std::string Cell(::CDataRow& row, int column) {
    CString text;
    return Utf(std::string(row.FormatField(column, text).view()));
}

// Rows a test procedure answers: (key, index value), UTF-8.
using Answer = std::vector<std::pair<std::string, std::string>>;

// Streams a fixed answer as the columns "key" and "index_value".
class AnswerCursor : public oledb_backend::RowCursor {
public:
    explicit AnswerCursor(Answer rows) : rows_(std::move(rows)) {}
    int ColumnCount() const override { return 2; }
    std::string ColumnName(int column) const override { return column == 0 ? "key" : "index_value"; }
    bool Step() override { return ++at_ < rows_.size(); }
    oledb_backend::SqlValue Column(int column) const override {
        const auto& row = rows_[at_];
        return oledb_backend::SqlValue::Text(column == 0 ? row.first : row.second);
    }

private:
    Answer rows_;
    std::size_t at_ = static_cast<std::size_t>(-1);
};

class DynamicTest : public test_support::HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        backend_ = std::make_unique<test_support::BackendDatabase>();
        if (!backend_->skip_reason().empty()) GTEST_SKIP() << backend_->skip_reason();
        BuildDatabase();
        if (HasFatalFailure()) return;
        rowlark::database::RegisterDatabaseProcedures(oledb_backend::RegisterProcedure);
        data_.reset(new COLEDBData);
        ASSERT_TRUE(data_->Open(backend_->connection_text().c_str()));
        provider_.reset(new CVfpProviderDynamic);
    }

    void TearDown() override {
        provider_.reset();
        data_.reset();
        backend_.reset();
        HostTest::TearDown();
    }

    // Tables made through the database's side session, before the layer opens it.
    virtual void BuildDatabase() {
        backend_->Exec("CREATE TABLE items (id INTEGER PRIMARY KEY, code TEXT, name TEXT)");
        BackendDatabase::Rows items;
        for (int id = 1; id <= 10; ++id) {
            const int code = 11 - id;
            items.push_back({std::to_string(id), std::string("C") + (code < 10 ? "0" : "") + std::to_string(code),
                             "Товар " + std::to_string(id)});
        }
        backend_->Insert("items", {"id", "code", "name"}, items);
        backend_->AddIndexTag("items", "code", "code", "id");
        backend_->Exec("CREATE TABLE people (code TEXT PRIMARY KEY, name TEXT)");
        backend_->Exec("INSERT INTO people VALUES ('O''Brien', 'Alan'), ('Smith', 'Bob'), ('D''Arcy', 'Carl')");
        backend_->AddIndexTag("people", "name", "name", "code");
    }

    // Runs a statement (UTF-8) through the open connection.
    void Exec(const std::string& sql) { ASSERT_TRUE(data_->Execute(Cp(sql).c_str())) << sql; }

    // The items table, every setting made, connected; not yet loaded.
    void Configure(const std::string& query = "SELECT id, code, name FROM items WHERE id IN (%СписокИД%)") {
        provider_->SetQueryText(Cp(query));
        provider_->SetKeyFieldQuery("id");
        provider_->SetKeyFieldBaseTable("id");
        provider_->SetBaseTable("items");
        provider_->SetIndexTag("code");
        provider_->SetConnection(data_.get());
    }

    // Replaces QueryRows by a stand-in that answers rows and records its arguments: a procedure of
    // the layer over SQLite, a function of the test's own schema (ahead of public) on the server.
    void AnswerQueryRows(Answer rows) {
        if (backend_->on_server()) {
            AnswerOnServer(rows);
            return;
        }
        oledb_backend::AddProcedure(*data_->connection(), "QueryRows", [this, rows](const oledb_backend::ProcedureSite&,
                                                                   const std::vector<oledb_backend::ProcArg>& args) {
            calls_.push_back(args);
            return std::make_unique<AnswerCursor>(rows);
        });
    }

    // The arguments the stand-in QueryRows received, call by call.
    std::vector<std::vector<oledb_backend::ProcArg>> QueryRowsCalls() {
        if (!backend_->on_server()) return calls_;
        std::vector<std::vector<oledb_backend::ProcArg>> calls;
        for (const auto& row : backend_->Query("SELECT t, g, i, k, n, f, d, a, b, e FROM queryrows_calls ORDER BY call")) {
            std::vector<oledb_backend::ProcArg> args;
            for (std::size_t at = 0; at < row.size(); ++at) {
                const bool number = at == 4 || at == 6 || at == 9;  // n, d and e are bigint
                args.push_back({!number, number ? "" : row[at].value_or(""), number ? std::stoll(*row[at]) : 0});
            }
            calls.push_back(std::move(args));
        }
        return calls;
    }

    RowPtr Next() { return RowPtr(provider_->NextRow()); }

    // Takes every row left in the window; their key texts, in order.
    std::vector<std::string> Drain() {
        std::vector<std::string> keys;
        while (RowPtr row = Next()) keys.push_back(Utf(Dyn(row).GetKeyText()));
        return keys;
    }

    // The row for the key, reached from the start of the range (loads the provider as GetData does).
    RowPtr RowOf(const std::string& key) {
        provider_->PrepareRows(nullptr, 100, 0);
        RowPtr found;
        while (RowPtr row = Next())
            if (Utf(Dyn(row).GetKeyText()) == key) found = std::move(row);
        return found;
    }

    // Message lines (UTF-8) that begin with prefix.
    static std::vector<std::string> LinesStartingWith(const std::string& prefix) {
        std::vector<std::string> out;
        for (const auto& line : test_support::MessageLines())
            if (line.rfind(prefix, 0) == 0) out.push_back(line);
        return out;
    }

    void AnswerOnServer(const Answer& rows) {
        backend_->Exec(
            "CREATE TABLE queryrows_answer (n integer PRIMARY KEY, key text, index_value text);"
            "CREATE TABLE queryrows_calls (call serial PRIMARY KEY, t text, g text, i text, k text, n bigint, f text,"
            " d bigint, a text, b text, e bigint);"
            "CREATE FUNCTION queryrows(t text, g text, i text, k text, n bigint, f text, d bigint, a text, b text,"
            " e bigint) RETURNS TABLE (key text, index_value text) LANGUAGE plpgsql AS $$ BEGIN"
            " INSERT INTO queryrows_calls (t, g, i, k, n, f, d, a, b, e) VALUES (t, g, i, k, n, f, d, a, b, e);"
            " RETURN QUERY SELECT r.key, r.index_value FROM queryrows_answer r ORDER BY r.n; END $$");
        BackendDatabase::Rows answer;
        for (const auto& [key, index_value] : rows) answer.push_back({std::to_string(answer.size()), key, index_value});
        backend_->Insert("queryrows_answer", {"n", "key", "index_value"}, answer);
    }

    struct DataRelease {
        void operator()(COLEDBData* data) const { data->DecrRef(); }
    };

    std::unique_ptr<BackendDatabase> backend_;
    std::unique_ptr<COLEDBData, DataRelease> data_;
    std::unique_ptr<CVfpProviderDynamic> provider_;
    std::vector<std::vector<oledb_backend::ProcArg>> calls_;  // arguments the stand-in QueryRows received
};

}  // namespace dynamic_test
