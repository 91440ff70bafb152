#pragma once
// The static provider over a fresh in-memory database, and a message window that records the grid
// notifications the provider sends, as the grid would see them while handling each one.

#include <memory>
#include <string>
#include <vector>

#include "addin/provider/static/vfp_provider_static.h"
#include "platform/runtime/module.h"
#include "platform/win/windows.h"
#include "tests/support/backend_database.h"
#include "tests/support/host_fixture.h"

namespace static_test {

using OleDb::GridProvider::CVfpProviderStatic;
using test_support::Cp;
using test_support::Utf;
using RowPtr = std::unique_ptr<::CDataRow>;

inline CValue Number(long n) {
    CValue value;
    value = n;
    return value;
}

inline CValue Text(const std::string& utf8) {
    CValue value;
    value = Cp(utf8).c_str();
    return value;
}

// One WM_USER + 16 as the window received it. For code 2 the row is read while the message is
// handled, since it is gone once SendMessageA returns.
struct Notification {
    WPARAM code;
    LPARAM lparam;
    int row_id = -1;
    std::string first_cell;  // FormatField(0), UTF-8
};

class NotificationWindow {
public:
    NotificationWindow() : handle_(win::CreateMessageWindow(&Procedure, this)) {}
    ~NotificationWindow() { win::DestroyMessageWindow(handle_); }
    NotificationWindow(const NotificationWindow&) = delete;
    NotificationWindow& operator=(const NotificationWindow&) = delete;

    HWND handle() const { return handle_; }
    const std::vector<Notification>& received() const { return received_; }
    // What the procedure answers to every message.
    void set_answer(LRESULT answer) { answer_ = answer; }

private:
    static LRESULT Procedure(HWND, UINT message, WPARAM code, LPARAM lparam, void* user) {
        auto* self = static_cast<NotificationWindow*>(user);
        if (message != WM_USER + 16) return 0;
        Notification n{code, lparam, -1, std::string()};
        if (code == 2 && lparam != 0) {
            auto* row = reinterpret_cast<::CDataRow*>(lparam);
            n.row_id = row->GetRowId();
            CString text;
            n.first_cell = Utf(std::string(row->FormatField(0, text).view()));
        }
        self->received_.push_back(n);
        return self->answer_;
    }

    HWND handle_;
    std::vector<Notification> received_;
    LRESULT answer_ = 1;
};

// Table "goods" of ten rows: id 100..109 (row k holds id 100 + k) and a Russian name, in a fresh
// database of the backend this run is for (tests/support/backend_database.h).
class StaticProviderTest : public test_support::HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        backend_ = std::make_unique<test_support::BackendDatabase>();
        if (!backend_->skip_reason().empty()) GTEST_SKIP() << backend_->skip_reason();
        db_ = std::make_unique<test_support::TestDatabase>(backend_->connection_text());
        db_->Exec("CREATE TABLE goods(id INTEGER, name TEXT)");
        static const char* const kNames[] = {"Арбуз",  "Банан", "Вишня", "Груша",  "Дыня",
                                             "Ежевика", "Ёлка",  "Жёлудь", "Земляника", "Изюм"};
        for (int k = 0; k < 10; ++k)
            db_->Exec("INSERT INTO goods VALUES(" + std::to_string(100 + k) + ", '" + kNames[k] + "')");
        provider_ = std::make_unique<CVfpProviderStatic>();
    }
    void TearDown() override {
        provider_.reset();
        db_.reset();
        backend_.reset();
        HostTest::TearDown();
    }

    // Connects, sets the query (UTF-8) and key field, and loads.
    void Load(const std::string& utf8_query, const std::string& utf8_key = "id") {
        provider_->SetConnection(db_->connection());
        provider_->SetQueryText(Cp(utf8_query));
        provider_->SetKeyField(Cp(utf8_key));
        provider_->GetData();
    }
    void LoadGoods() { Load("SELECT id, name FROM goods ORDER BY id"); }

    // Prepares a run and drains it; the row numbers in the order NextRow handed them out.
    std::vector<int> Run(const ::CDataRow* from, int count) {
        provider_->PrepareRows(from, count, 0);
        return Drain();
    }
    std::vector<int> Drain() {
        std::vector<int> ids;
        for (RowPtr row(provider_->NextRow()); row; row.reset(provider_->NextRow())) {
            ids.push_back(row->GetRowId());
            if (ids.size() > 1000) break;  // a run that never ends fails the comparison instead of hanging
        }
        return ids;
    }
    // A new row for result row number, found through its key 100 + number.
    RowPtr RowNumber(int number) {
        RowPtr row(provider_->FindRowByKey(Number(100 + number)));
        EXPECT_TRUE(row) << "no row " << number;
        return row;
    }
    int RowCount() {
        int count = -1;
        EXPECT_TRUE(provider_->GetRowCount(count));
        return count;
    }
    static std::vector<std::string> Errors() { return test_support::RaisedErrors(); }
    static std::vector<std::string> StatusHistory() {
        std::vector<std::string> out;
        for (const auto& text : GetBkEndUI()->StatusHistory()) out.push_back(Utf(text));
        return out;
    }

    std::unique_ptr<test_support::BackendDatabase> backend_;
    std::unique_ptr<test_support::TestDatabase> db_;
    std::unique_ptr<CVfpProviderStatic> provider_;
};

}  // namespace static_test
