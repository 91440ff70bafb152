// Another connection writes the base table while the grid scrolls it: inserts, deletes and renames
// (a new index value for an existing row), under SQLite's rollback journal and WAL, and on the server.
// Every row served must be a real row as it stood at some moment, a lock must come as a run-time
// error and not a crash, and once the writer is done the grid must see the table's new state exactly.
//
// Each row keeps name = "Name " + code + " #" + id in every version the writer makes, so a row
// put together from two versions shows.

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <thread>
#include <tuple>

#include "database/database_error.h"
#include "dynamic_fixture.h"

namespace dynamic_test {
namespace {

constexpr int kRows = 300;
constexpr int kWindow = 20;

// (index value, id): the tag's order.
using Place = std::pair<std::string, long long>;

std::string CodeFor(unsigned number) {
    // Cyrillic and Latin codes, some with trailing blanks the tag drops.
    static const char* const kHeads[] = {"К", "A", "Ж", "b", "Я"};
    std::string code = kHeads[number % 5] + std::to_string(number % 997);
    if (number % 7 == 0) code += "  ";
    return code;
}

std::string TrimBlanks(std::string text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

class OtherWriter : public DynamicTest, public ::testing::WithParamInterface<const char*> {
protected:
    using Session = BackendDatabase::Session;

    void BuildDatabase() override {
        if (!backend_->on_server()) backend_->Exec(std::string("PRAGMA journal_mode = ") + GetParam());
        backend_->Exec("CREATE TABLE goods (id INTEGER PRIMARY KEY, code TEXT, name TEXT)");
        const std::unique_ptr<Session> builder = backend_->OpenSession();
        builder->Exec("BEGIN");
        for (int id = 1; id <= kRows; ++id) Insert(*builder, id, CodeFor(static_cast<unsigned>(id) * 7919u));
        builder->Exec("COMMIT");
        backend_->AddIndexTag("goods", "code", "code", "id");
    }

    void SetUp() override {
        if (test_support::TestBackend() == test_support::Backend::kPostgreSQL && std::string(GetParam()) == "WAL")
            GTEST_SKIP() << "journal modes are SQLite's: the server runs these once";
        DynamicTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        writer_ = backend_->OpenSession();
        next_id_ = kRows + 1;
        provider_->SetQueryText(Cp("SELECT id, code, name FROM goods WHERE id IN (%СписокИД%)"));
        provider_->SetKeyFieldQuery("id");
        provider_->SetKeyFieldBaseTable("id");
        provider_->SetBaseTable("goods");
        provider_->SetIndexTag("code");
        provider_->SetConnection(data_.get());
        provider_->GetData();
        ASSERT_TRUE(test_support::RaisedErrors().empty());
        Next();  // GetData's own row
    }

    void TearDown() override {
        writer_.reset();
        DynamicTest::TearDown();
    }

    // How long the provider's connection waits for the writer's lock before it reports.
    void ProviderLockWait(int milliseconds) {
        Exec(backend_->on_server() ? "SET lock_timeout = " + std::to_string(milliseconds)
                                   : "PRAGMA busy_timeout = " + std::to_string(milliseconds));
    }
    // The writer's BEGIN: SQLite's takes the write lock at once, as the rounds below expect.
    std::string Begin() const { return backend_->on_server() ? "BEGIN" : "BEGIN IMMEDIATE"; }

    void Insert(Session& session, long long id, const std::string& code) {
        {
            std::lock_guard<std::mutex> lock(history_mutex_);
            history_[id].insert(TrimBlanks(code));
        }
        session.Query("INSERT INTO goods VALUES ($1, $2, $3)",
                      {std::to_string(id), code, "Name " + code + " #" + std::to_string(id)});
    }

    // One transaction of the writer: three inserts, two deletes and three renames; true when committed
    // (else its error is in writer_error_).
    bool WriteRound(std::mt19937& random) {
        try {
            writer_->Exec(Begin());
        } catch (const rowlark::database::DatabaseError& error) {
            writer_error_ = error.what();
            return false;
        }
        try {
            for (int i = 0; i < 3; ++i) Insert(*writer_, next_id_++, CodeFor(static_cast<unsigned>(random())));
            for (int i = 0; i < 2; ++i)
                writer_->Query("DELETE FROM goods WHERE id = $1",
                               {std::to_string(random() % static_cast<unsigned>(next_id_))});
            for (int i = 0; i < 3; ++i) {
                const auto id = static_cast<long long>(random() % static_cast<unsigned>(next_id_));
                const std::string code = CodeFor(static_cast<unsigned>(random()));
                {
                    std::lock_guard<std::mutex> lock(history_mutex_);
                    history_[id].insert(TrimBlanks(code));
                }
                writer_->Query("UPDATE goods SET code = $2, name = 'Name ' || $2 || ' #' || id WHERE id = $1",
                               {std::to_string(id), code});
            }
            writer_->Exec("COMMIT");
            return true;
        } catch (const rowlark::database::DatabaseError& error) {
            writer_error_ = error.what();
        }
        try {
            writer_->Exec("ROLLBACK");
        } catch (const rowlark::database::DatabaseError&) {
        }
        return false;
    }

    // The table now, in the tag's order, read by the writer without the tag.
    std::vector<Place> TableNow() {
        std::vector<Place> places;
        for (const auto& row : writer_->Query("SELECT rtrim(code), id FROM goods", {}))
            places.emplace_back(row.at(0).value_or(""), std::stoll(row.at(1).value_or("0")));
        std::sort(places.begin(), places.end());
        return places;
    }

    // A served row is one version of one row: its cells agree with each other, with its key and
    // with a code the row has had. Returns its place as the row carries it.
    Place CheckRow(const RowPtr& row) {
        const std::string id = Cell(*row, 0), code = Cell(*row, 1), name = Cell(*row, 2);
        EXPECT_EQ(Utf(Dyn(row).GetKeyText()), id);
        EXPECT_EQ(name, "Name " + code + " #" + id) << "a row mixed from two versions";
        const long long key = std::stoll(id);
        std::lock_guard<std::mutex> lock(history_mutex_);
        const auto known = history_.find(key);
        EXPECT_TRUE(known != history_.end() && known->second.count(TrimBlanks(code)))
            << "row " << id << " never had the code '" << code << "'";
        return {Utf(Dyn(row).GetIndexText()), key};
    }

    // One window from start in the direction of count; the rows' places, checked to be in the tag's order.
    std::vector<Place> Window(RowPtr& start, int count) {
        provider_->PrepareRows(start.get(), count, 0);
        std::vector<Place> places;
        while (RowPtr row = Next()) {
            places.push_back(CheckRow(row));
            if (places.size() > 1) {
                const Place& before = places[places.size() - 2];
                EXPECT_TRUE(count > 0 ? before < places.back() : places.back() < before)
                    << "out of order: " << before.first << "/" << before.second << " then " << places.back().first
                    << "/" << places.back().second;
            }
            start = std::move(row);
        }
        return places;
    }

    // Scrolls from start to the end of the range in windows of |count|.
    std::vector<Place> ScrollToEnd(RowPtr& start, int count) {
        std::vector<Place> all;
        for (;;) {
            const std::vector<Place> window = Window(start, count);
            all.insert(all.end(), window.begin(), window.end());
            if (window.size() < static_cast<std::size_t>(std::abs(count))) return all;
        }
    }

    // The grid's view once the writer is done: from where it stands, then from either end.
    void ExpectNewStateExactly(RowPtr& last, const Place& last_place) {
        const std::vector<Place> now = TableNow();
        std::vector<Place> rest;
        for (const Place& place : now)
            if (last_place < place) rest.push_back(place);
        EXPECT_EQ(ScrollToEnd(last, kWindow), rest) << "scrolling on after the writer";
        RowPtr none;
        EXPECT_EQ(ScrollToEnd(none, kWindow), now);
        RowPtr none_back;
        EXPECT_EQ(ScrollToEnd(none_back, -kWindow), std::vector<Place>(now.rbegin(), now.rend()));
    }

    static std::vector<std::string> NonLockErrors() {
        std::vector<std::string> other;
        for (const std::string& error : test_support::RaisedErrors())
            if (error.find("locked") == std::string::npos && error.find("busy") == std::string::npos &&
                error.find("lock timeout") == std::string::npos)
                other.push_back(error);
        return other;
    }

    std::unique_ptr<Session> writer_;
    std::string writer_error_;
    long long next_id_ = 0;
    std::mutex history_mutex_;
    std::map<long long, std::set<std::string>> history_;  // every index value each id has had
};

TEST_P(OtherWriter, CommitsBetweenWindowsServeRealRowsInOrderAndTheNewStateAfterwards) {
    std::mt19937 random(2024);
    RowPtr last;
    Place last_place{"", 0};
    int rounds = 0;
    for (int step = 0; step < 40; ++step) {
        const int count = step % 5 == 4 ? -kWindow : kWindow;  // now and then a window back
        const std::vector<Place> window = Window(last, count);
        if (!window.empty()) last_place = window.back();
        if (window.size() < static_cast<std::size_t>(kWindow)) break;
        // The provider holds no lock between calls: the writer commits at once.
        ASSERT_TRUE(WriteRound(random)) << writer_error_;
        ++rounds;
    }
    EXPECT_GE(rounds, 10);
    EXPECT_TRUE(test_support::RaisedErrors().empty());
    ASSERT_TRUE(last);
    ExpectNewStateExactly(last, last_place);
    EXPECT_TRUE(test_support::RaisedErrors().empty());
}

TEST_P(OtherWriter, OpenWriteTransactionIsNotSeenUntilItCommits) {
    RowPtr start;
    const std::vector<Place> before = Window(start, kWindow);
    ASSERT_EQ(before.size(), static_cast<std::size_t>(kWindow));
    // RESERVED under the rollback journal, a write transaction under WAL and on the server: readers go on.
    writer_->Exec(Begin() + "; UPDATE goods SET code = '0', name = 'Name 0 #' || id;"
                            " INSERT INTO goods VALUES (1000, '!', 'Name ! #1000')");
    RowPtr again;
    EXPECT_EQ(Window(again, kWindow), before);
    EXPECT_TRUE(test_support::RaisedErrors().empty());
    history_[1000].insert("!");
    for (auto& [id, codes] : history_) codes.insert("0");
    writer_->Exec("COMMIT");
    RowPtr after;
    const std::vector<Place> first = Window(after, 2);
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[0], Place("!", 1000));
    EXPECT_EQ(first[1], Place("0", 1));
    ExpectNewStateExactly(after, first.back());
}

TEST_P(OtherWriter, ExclusiveLockIsARunTimeErrorAndScrollingGoesOnAfterIt) {
    if (std::string(GetParam()) == "WAL") GTEST_SKIP() << "under WAL a writer never locks readers out";
    ProviderLockWait(50);  // the provider's connection waits a little, then reports
    RowPtr last;
    std::vector<Place> seen = Window(last, kWindow);
    ASSERT_EQ(seen.size(), static_cast<std::size_t>(kWindow));
    const Place last_place = seen.back();

    // An exclusive lock on the file, or on the table on the server (as an ALTER TABLE takes one).
    writer_->Exec(backend_->on_server() ? "BEGIN; LOCK TABLE goods IN ACCESS EXCLUSIVE MODE; DELETE FROM goods WHERE id % 2 = 0"
                                        : "BEGIN EXCLUSIVE; DELETE FROM goods WHERE id % 2 = 0");
    provider_->PrepareRows(last.get(), kWindow, 0);
    EXPECT_EQ(Next(), nullptr);
    const std::vector<std::string> errors = test_support::RaisedErrors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find(backend_->on_server() ? "lock timeout" : "locked"), std::string::npos) << errors[0];
    // The grid's row is untouched and the next request is an ordinary one.
    EXPECT_EQ(Cell(*last, 0), std::to_string(last_place.second));
    writer_->Exec("COMMIT");
    ExpectNewStateExactly(last, last_place);
    EXPECT_EQ(test_support::RaisedErrors().size(), 1u);
    for (const Place& place : TableNow()) EXPECT_EQ(place.second % 2, 1) << place.second;
}

TEST_P(OtherWriter, WriterOnAnotherThreadNeverCorruptsARowAndTheEndStateIsExact) {
    ProviderLockWait(20);  // some lock waits end in errors: they must be reported, not crash
    std::atomic<bool> done{false};
    std::atomic<int> committed{0};
    std::thread writer([&] {
        std::mt19937 random(77);
        for (int round = 0; round < 150; ++round) {
            if (WriteRound(random)) ++committed;
            std::this_thread::yield();
        }
        done = true;
    });
    RowPtr last;
    Place last_place{"", 0};
    int windows = 0;
    while (!done || windows < 20) {
        const int count = windows % 4 == 3 ? -kWindow : kWindow;
        const std::vector<Place> window = Window(last, count);
        if (!window.empty()) last_place = window.back();
        if (window.size() < static_cast<std::size_t>(kWindow)) last.reset();  // an end, or a lock: start over
        ++windows;
    }
    writer.join();
    EXPECT_GT(committed.load(), 0);
    EXPECT_EQ(NonLockErrors(), std::vector<std::string>()) << "only lock errors may come from the writer";
    const std::size_t lock_errors = test_support::RaisedErrors().size();
    RecordProperty("windows", windows);
    RecordProperty("commits", committed.load());
    RecordProperty("lock_errors", static_cast<int>(lock_errors));
    RowPtr none;
    const std::vector<Place> whole = ScrollToEnd(none, kWindow);
    EXPECT_EQ(whole, TableNow());
    EXPECT_EQ(test_support::RaisedErrors().size(), lock_errors) << "no error once the writer is gone";
}

INSTANTIATE_TEST_SUITE_P(JournalModes, OtherWriter, ::testing::Values("DELETE", "WAL"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param) == "WAL" ? "Wal" : "RollbackJournal";
                         });

}  // namespace
}  // namespace dynamic_test
