#pragma once
// Shared by the database tests: an in-memory database with small tables and tags, a builder
// for QueryRows argument lists, and readers that collect an answer as (key, index value) pairs.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "database/index_tags.h"
#include "database/query_rows.h"
#include "database/statement.h"
#include "database/value_text.h"
#include "tests/support/page_through.h"

namespace rowlark::database::testing {

using Row = std::pair<std::string, std::string>;  // key text, index value text
using Rows = std::vector<Row>;

struct CloseDb {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
using DbHandle = std::unique_ptr<sqlite3, CloseDb>;

inline DbHandle OpenMemoryDb() {
    sqlite3* db = nullptr;
    if (sqlite3_open(":memory:", &db) != SQLITE_OK) ADD_FAILURE() << "cannot open an in-memory database";
    return DbHandle(db);
}

inline oledb_backend::ProcArg Text(std::string text) { return {true, std::move(text), 0}; }
inline oledb_backend::ProcArg Num(std::int64_t number) { return {false, {}, number}; }

// The ten arguments of QueryRows ('T', 'G', 'I', 'K', n, 'F',D, 'A', 'B',E).
struct Call {
    std::string table, tag, index, key;
    std::int64_t count = 0;
    std::string key_field = "id";
    bool forward = true;
    std::string from, to;
    bool inclusive = false;

    std::vector<oledb_backend::ProcArg> Args() const {
        return {Text(table), Text(tag), Text(index),  Text(key), Num(count),
                Text(key_field), Num(forward), Text(from), Text(to), Num(inclusive)};
    }
};

inline Rows Read(oledb_backend::RowCursor& cursor) {
    Rows rows;
    while (cursor.Step()) rows.emplace_back(cursor.Column(0).text, cursor.Column(1).text);
    return rows;
}

inline Rows Answer(sqlite3* db, const Call& call) { return Read(*QueryRows(db, call.Args())); }

// Pages through the whole tag with pages of `page` rows, each page starting after the previous
// page's last row and given by answer(call). A walk still going after max_pages pages fails the test
// and stops there: a page that repeats its start row would otherwise page on for ever.
template <typename Answerer>
Rows PageThroughWith(const Answerer& answer, Call call, std::int64_t page, std::int64_t max_pages) {
    return test_support::PageThroughWith<Rows>(answer, std::move(call), page, max_pages);
}

inline std::int64_t RowCount(sqlite3* db, const std::string& table) {
    Statement count(db, "SELECT count(*) FROM " + QuoteIdentifier(table));
    count.Step();
    return count.ColumnInt(0);
}

// The same through QueryRows, over a table of n rows: a whole walk takes n / page + 1 pages at most.
inline Rows PageThrough(sqlite3* db, Call call, std::int64_t page) {
    const std::int64_t max_pages = RowCount(db, call.table) / std::max<std::int64_t>(page, 1) + 2;
    return PageThroughWith([db](const Call& each) { return Answer(db, each); }, std::move(call), page, max_pages);
}

// Every row of a query, as (column 0, column 1) texts: the expected order, computed without any tag.
inline Rows Select(sqlite3* db, const std::string& sql) {
    Statement select(db, sql);
    Rows rows;
    while (select.Step()) rows.emplace_back(ColumnAsText(select.get(), 0), ColumnAsText(select.get(), 1));
    return rows;
}

inline Rows Reversed(Rows rows) { return Rows(rows.rbegin(), rows.rend()); }

// items: 60 rows; name with repeats and trailing blanks, grp with 3 distinct values, price with cents.
class ItemsDb : public ::testing::Test {
protected:
    void SetUp() override {
        Execute(db(), "CREATE TABLE items (id INTEGER PRIMARY KEY, name TEXT, grp INTEGER, price REAL)");
        const char* names[] = {"Яблоко", "апельсин", "Банан  ", "Банан", "Груша", "ёж", "Вишня", "Арбуз"};
        Statement insert(db(), "INSERT INTO items (id, name, grp, price) VALUES (?1, ?2, ?3, ?4)");
        for (int id = 1; id <= 60; ++id) {
            insert.BindInt(1, (id * 37) % 61);  // ids out of insertion order
            insert.BindText(2, names[id % 8]);
            insert.BindInt(3, id % 3);
            insert.BindReal(4, (id % 7) * 12.5 + (id % 2) * 0.01);
            insert.Step();
            insert.Reset();
        }
        AddIndexTag(db(), "items", "name", "name", "id", TagKind::Text);
        AddIndexTag(db(), "items", "grp", "grp", "id", TagKind::Number);
        AddIndexTag(db(), "items", "price", "price", "id", TagKind::Number);
    }

    sqlite3* db() const { return db_.get(); }

    Call On(const std::string& tag) const {
        Call call;
        call.table = "items";
        call.tag = tag;
        return call;
    }

    DbHandle db_ = OpenMemoryDb();
};

}  // namespace rowlark::database::testing
