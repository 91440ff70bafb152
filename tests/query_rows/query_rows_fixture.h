#pragma once
// The fixture of the QueryRows contract's tests, one set for both databases: each test gets a fresh
// database of the run's backend (tests/support/backend_database.h) and calls that database's own
// QueryRows — the SQLite procedure (database/query_rows.h) on a connection of its own, or the
// server's function queryrows (database/postgres/rowlark.sql, installed from the source tree once
// per process) with its arguments bound as the OLE DB layer binds them. Tables and tags are made
// through the database's side session; an answer is read as (key, index value) pairs.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/backend_database.h"
#include "tests/support/page_through.h"

namespace query_rows_test {

using test_support::BackendDatabase;
using Row = std::pair<std::string, std::string>;  // key text, index value text
using Rows = std::vector<Row>;
using Keys = std::vector<std::string>;

// The ten arguments of QueryRows ('T', 'G', 'I', 'K', n, 'F',D, 'A', 'B',E). D and E are numbers, so
// that a call may also give one the contract refuses.
struct Call {
    std::string table, tag, index, key;
    std::int64_t count = 0;
    std::string key_field = "id";
    std::int64_t forward = 1;
    std::string from, to;
    std::int64_t inclusive = 0;
};

// What a call answered: its column names, the rows it served, and the message it ended with ("" when
// it ended well). A call may serve rows before its error (the SQLite procedure streams them).
struct Outcome {
    std::vector<std::string> columns;
    Rows rows;
    std::string error;
};

// One database's way in to its QueryRows.
class Door {
public:
    virtual ~Door() = default;
    virtual Outcome Run(const Call& call) = 0;
};

class QueryRowsTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    BackendDatabase& db() { return *db_; }
    bool on_server() const { return db_->on_server(); }
    // The text for this backend, where the two databases' SQL differs.
    std::string Either(const std::string& sqlite, const std::string& server) const {
        return on_server() ? server : sqlite;
    }

    Outcome Try(const Call& call) { return door_->Run(call); }
    // The rows of a call that must succeed (fails the test with the message otherwise).
    Rows Answer(const Call& call);
    Keys KeysOf(const Call& call);
    // The message a call fails with, "" when it succeeds.
    std::string ErrorOf(const Call& call) { return Try(call).error; }
    // (column 0, column 1) of every row of a query, NULL as "": expected orders, computed without any tag.
    Rows Select(const std::string& sql);
    // Pages through the tag with pages of `page` rows as the providers do, each page after the previous
    // page's last row; a walk still going after max_pages pages fails the test and stops there.
    Rows PageThrough(Call call, std::int64_t page, std::int64_t max_pages);

private:
    std::unique_ptr<BackendDatabase> db_ = std::make_unique<BackendDatabase>();
    std::unique_ptr<Door> door_;
};

// Pages with answer(call) as PageThrough does; the paging itself, apart from any database.
template <typename Answerer>
Rows PageThroughWith(const Answerer& answer, Call call, std::int64_t page, std::int64_t max_pages) {
    return test_support::PageThroughWith<Rows>(answer, std::move(call), page, max_pages);
}

inline Keys KeysOfRows(const Rows& rows) {
    Keys keys;
    for (const Row& row : rows) keys.push_back(row.first);
    return keys;
}

inline Rows Reversed(Rows rows) { return Rows(rows.rbegin(), rows.rend()); }

inline Rows Slice(const Rows& rows, std::size_t from, std::size_t count) {
    if (from >= rows.size()) return {};
    return Rows(rows.begin() + static_cast<std::ptrdiff_t>(from),
                rows.begin() + static_cast<std::ptrdiff_t>(std::min(rows.size(), from + count)));
}

// A number as a number tag hands it out: no trailing zeros of a fraction ("12.50" -> "12.5", "3.00" -> "3").
inline std::string Plain(std::string number) {
    if (number.find('.') == std::string::npos || number.find_first_of("eE") != std::string::npos) return number;
    while (number.back() == '0') number.pop_back();
    if (number.back() == '.') number.pop_back();
    return number;
}

// Skips a test of what only one database does, with the reason.
#define ROWLARK_ONLY_ON_SQLITE(reason) \
    if (on_server()) GTEST_SKIP() << "on SQLite only: " << reason
#define ROWLARK_ONLY_ON_SERVER(reason) \
    if (!on_server()) GTEST_SKIP() << "on the server only: " << reason

}  // namespace query_rows_test
