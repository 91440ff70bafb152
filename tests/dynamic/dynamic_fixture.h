#pragma once
// The dynamic provider's tests: a real SQLite file with tagged tables, opened through a real
// COLEDBData with the database's QueryRows registered, and a provider configured over it.
//
// items: id 1..10, code "C" + (11 - id) in two digits, so the "code" tag orders ids 10, 9, ..., 1;
// people: a text key with apostrophes, tagged by name.

#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "addin/provider/dynamic/vfp_provider_dynamic.h"
#include "database/index_tags.h"
#include "database/query_rows.h"
#include "database/statement.h"
#include "platform/oledb/faults.h"
#include "platform/oledb/procedures.h"
#include "platform/runtime/module.h"
#include "tests/support/host_fixture.h"

namespace dynamic_test {

using OleDb::GridProvider::CDynamicDataRow;
using OleDb::GridProvider::CVfpProviderDynamic;
using test_support::Cp;
using test_support::Utf;

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
        static int counter = 0;
        path_ = (std::filesystem::temp_directory_path() /
                 ("rowlark_dynamic_" + std::to_string(getpid()) + "_" + std::to_string(++counter) + ".db"))
                    .string();
        std::filesystem::remove(path_);
        BuildDatabase();
        rowlark::database::RegisterDatabaseProcedures(oledb_backend::RegisterProcedure);
        data_.reset(new COLEDBData);
        ASSERT_TRUE(data_->Open(path_.c_str()));
        provider_.reset(new CVfpProviderDynamic);
    }

    void TearDown() override {
        provider_.reset();
        data_.reset();
        rowlark::database::RegisterDatabaseProcedures(oledb_backend::RegisterProcedure);  // undo a stand-in
        std::filesystem::remove(path_);
        HostTest::TearDown();
    }

    // Tables made with the database side's own tools, before the layer opens the file.
    virtual void BuildDatabase() {
        WithDatabase([](sqlite3* db) {
            using namespace rowlark::database;
            Execute(db, "CREATE TABLE items (id INTEGER PRIMARY KEY, code TEXT, name TEXT)");
            for (int id = 1; id <= 10; ++id) {
                const int code = 11 - id;
                Execute(db, "INSERT INTO items VALUES (" + std::to_string(id) + ", 'C" + (code < 10 ? "0" : "") +
                                std::to_string(code) + "', 'Товар " + std::to_string(id) + "')");
            }
            AddIndexTag(db, "items", "code", "code", "id", TagKind::Text);
            Execute(db, "CREATE TABLE people (code TEXT PRIMARY KEY, name TEXT)");
            Execute(db, "INSERT INTO people VALUES ('O''Brien', 'Alan'), ('Smith', 'Bob'), ('D''Arcy', 'Carl')");
            AddIndexTag(db, "people", "name", "name", "code", TagKind::Text);
        });
    }

    void WithDatabase(const std::function<void(sqlite3*)>& build) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(path_.c_str(), &db), SQLITE_OK);
        build(db);
        sqlite3_close(db);
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

    // Replaces QueryRows by a stand-in that answers rows and records its arguments.
    void AnswerQueryRows(Answer rows) {
        oledb_backend::RegisterProcedure("QueryRows", [this, rows](const oledb_backend::ProcedureSite&,
                                                                   const std::vector<oledb_backend::ProcArg>& args) {
            calls_.push_back(args);
            return std::make_unique<AnswerCursor>(rows);
        });
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

    struct DataRelease {
        void operator()(COLEDBData* data) const { data->DecrRef(); }
    };

    std::string path_;
    std::unique_ptr<COLEDBData, DataRelease> data_;
    std::unique_ptr<CVfpProviderDynamic> provider_;
    std::vector<std::vector<oledb_backend::ProcArg>> calls_;  // arguments the stand-in QueryRows received
};

}  // namespace dynamic_test
