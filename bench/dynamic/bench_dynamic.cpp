// The dynamic provider's window of 50 rows (PrepareRows, then NextRow until null) over goods tables of
// 10,000, 100,000 and 1,000,000 rows (and 10,000,000 with ROWLARK_BENCH_HUGE=1), in the order of the
// "name" tag, at the start, the middle and the end of the table, forwards and backwards; each beside,
// in the same run:
//   LimitOffset  the same 50 rows with all their columns by LIMIT 50 OFFSET n in plain SQLite, walking
//                the tag's own index (its best case: no sort);
//   Keyset       one keyset query for the same 50 rows with all their columns, seeking the index at
//                the anchor's value (a row-value comparison would not seek there): the floor;
//   RawTwoQuery  what any client of the key-list text contract does at the least: the 50 keys by the
//                same seek (a prepared keyset statement that returns only keys), then a freshly
//                prepared "SELECT ... WHERE id IN ('k1',...)" with those keys as literals, every
//                column of every row stepped (no lining up, no copies, no code page): the reference;
//   StaticGetData  a static provider's GetData of the whole table in the same order.
// The window reports, beside its time, x_raw = window / RawTwoQuery and x_floor = window / Keyset
// for the same place and direction, when those ran before it in the same process (by wall clock:
// the median of their runs so far, see bench/support/reference_runs.h).
// Then a window inside a run of 100,000 equal index values (tag "grp": 10 values over 1,000,000 rows)
// beside the same window on the unique tag "code" of that table, and the live heap and resident size
// before and after scrolling a 100,000-row table from end to end, both ways.
//
// A window starts at a row that an earlier window at that position handed out (the anchor): the row
// of rank 50 ("start"), rows / 2 ("middle") or rows - 51 ("end") in tag order, kept alive across
// iterations as a grid keeps its rows; forwards gives the 50 rows after it, backwards the 50 before.
// Tables are cached under /tmp/rowlark-bench (see bench/static/goods_files.h).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "addin/provider/dynamic/vfp_provider_dynamic.h"
#include "addin/provider/static/vfp_provider_static.h"
#include "bench/static/goods_files.h"
#include "bench/support/reference_runs.h"
#include "database/collation/sqlite_russian_order.h"
#include "database/index_tags.h"
#include "database/query_rows.h"
#include "database/statement.h"
#include "platform/oledb/procedures.h"
#include "platform/win/crt.h"

namespace {

using OleDb::GridProvider::CDynamicDataRow;
using OleDb::GridProvider::CVfpProviderDynamic;
using OleDb::GridProvider::CVfpProviderStatic;
using namespace rowlark::bench;
namespace db = rowlark::database;

using RowPtr = std::unique_ptr<::CDataRow>;

constexpr int kWindow = 50;
constexpr long kDuplicateRows = 1000000;
constexpr long kScrollRows = 100000;

enum class At { Start, Middle, End };

const char* Name(At at) { return at == At::Start ? "start" : at == At::Middle ? "middle" : "end"; }

long AnchorRank(At at, long rows) {
    switch (at) {
        case At::Start: return kWindow;
        case At::Middle: return rows / 2;
        case At::End: return rows - kWindow - 1;
    }
    return 0;
}

void PrepareHost() {
    static const bool done = [] {
        crt::SetLocale(crt::Locale::Russian1251);
        db::RegisterDatabaseProcedures([](const std::string& name, oledb_backend::Procedure procedure) {
            oledb_backend::RegisterProcedure(name, std::move(procedure));
        });
        return true;
    }();
    (void)done;
}

// The goods file with the extra tag "grp": 'G0'..'G9' by id % 10, so each value is a run of rows / 10.
std::string DuplicatesFile(long rows) {
    return GoodsFile(rows, "goods_dup", [](oledb_backend::Connection& connection) {
        connection.Execute("ALTER TABLE goods ADD COLUMN grp TEXT");
        connection.Execute("UPDATE goods SET grp = 'G' || (id % 10)");
        db::AddIndexTag(connection, "goods", "grp", "grp", "id", db::TagKind::Text);
    });
}

// The goods file with the tag "name_bytes" beside "name": the same column in byte order and in the
// Russian order (the sample's own), so that a window on each can be weighed against the other.
std::string OrdersFile(long rows) {
    return GoodsFile(rows, "goods_orders", [](oledb_backend::Connection& connection) {
        db::AddIndexTag(connection, "goods", "name_bytes", "name", "id", db::TagKind::Text, db::TextOrder::Bytes);
    });
}

// One goods file, one tag: a dynamic provider over it, a raw SQLite connection for the plain side,
// and the anchor rows by rank.
class Table {
public:
    Table(std::string path, long rows, std::string tag) : path_(std::move(path)), rows_(rows), tag_(std::move(tag)) {
        raw_ = OpenReadOnly(path_);
        rowlark::collation::RegisterRussianOrder(raw_.get());  // the plain side reads Russian-order tags too
        const auto found = db::FindIndexTag(raw_.get(), "goods", tag_);
        if (!found) throw std::runtime_error("no tag " + tag_ + " in " + path_);
        value_ = db::KeyExpression(*found);
        source_ = "goods INDEXED BY " + db::QuoteIdentifier(found->index_name);
        data_ = OpenData(path_);
        provider_.SetQueryText(cp1251::FromUtf8(std::string("SELECT ") + kGoodsColumns +
                                                " FROM goods WHERE id IN (%СписокИД%)"));
        provider_.SetKeyFieldQuery("id");
        provider_.SetKeyFieldBaseTable("id");
        provider_.SetBaseTable("goods");
        provider_.SetIndexTag(tag_);
        provider_.SetConnection(data_.get());
        provider_.GetData();
        Check("GetData");
    }

    long rows() const { return rows_; }
    const std::string& path() const { return path_; }
    CVfpProviderDynamic& provider() { return provider_; }
    sqlite3* raw() const { return raw_.get(); }
    // The tag's value as SQL and the table read through the tag's index.
    const std::string& value() const { return value_; }
    const std::string& source() const { return source_; }

    // The provider's row at that rank in tag order, made once and kept: found by the filter at its
    // value, then a window forward over the rows of equal value before it.
    const CDynamicDataRow& Anchor(long rank) {
        RowPtr& slot = anchors_[rank];
        if (slot) return Dyn(slot);
        StatementPtr at = Prepare(raw_.get(), "SELECT " + value_ + ", id FROM " + source_ + " ORDER BY " + value_ +
                                                  ", id LIMIT 1 OFFSET " + std::to_string(rank));
        if (sqlite3_step(at.get()) != SQLITE_ROW) throw std::runtime_error("no row of rank " + std::to_string(rank));
        const std::string value = reinterpret_cast<const char*>(sqlite3_column_text(at.get(), 0));
        const long key = static_cast<long>(sqlite3_column_int64(at.get(), 1));
        StatementPtr before = Prepare(raw_.get(), "SELECT count(*) FROM " + source_ + " WHERE " + value_ +
                                                      " = ?1 AND id < ?2");
        sqlite3_bind_text(before.get(), 1, value.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int64(before.get(), 2, key);
        sqlite3_step(before.get());
        const int equal_before = sqlite3_column_int(before.get(), 0);

        provider_.SetFilterFrom(cp1251::FromUtf8(value));
        provider_.PrepareRows(nullptr, 1, 0);
        RowPtr row = Take();
        provider_.SetFilterFrom(std::string());
        if (row && equal_before > 0) {
            provider_.PrepareRows(row.get(), equal_before, 0);
            while (RowPtr next = Take()) row = std::move(next);
        }
        Check("anchor");
        if (!row || Dyn(row).GetKeyText() != std::to_string(key))
            throw std::runtime_error("the anchor of rank " + std::to_string(rank) + " is not row " + std::to_string(key));
        slot = std::move(row);
        return Dyn(slot);
    }

    // Loads a window and takes its rows, deleting them; the number of rows.
    int Window(const ::CDataRow* from, int count) {
        provider_.PrepareRows(from, count, 0);
        int taken = 0;
        while (::CDataRow* row = provider_.NextRow()) {
            delete row;
            ++taken;
        }
        return taken;
    }

    // The keys of a window, for checking that a plain query returns the same rows.
    std::vector<long> WindowKeys(const ::CDataRow* from, int count) {
        provider_.PrepareRows(from, count, 0);
        std::vector<long> keys;
        while (RowPtr row = Take()) keys.push_back(std::stol(Dyn(row).GetKeyText()));
        return keys;
    }

    RowPtr Take() { return RowPtr(provider_.NextRow()); }
    static const CDynamicDataRow& Dyn(const RowPtr& row) { return dynamic_cast<const CDynamicDataRow&>(*row); }

private:
    static void Check(const char* step) {
        const std::string error = TakeRaisedError();
        if (!error.empty()) throw std::runtime_error(std::string(step) + ": " + error);
    }

    std::string path_;
    long rows_;
    std::string tag_;
    std::string value_;
    std::string source_;
    SqlitePtr raw_;
    DataPtr data_;
    CVfpProviderDynamic provider_;
    std::map<long, RowPtr> anchors_;
};

// Tables by (file, tag), made once per process.
Table& TableOf(const std::string& path, long rows, const std::string& tag) {
    static std::map<std::tuple<std::string, std::string>, std::unique_ptr<Table>> tables;
    PrepareHost();
    auto& slot = tables[{path, tag}];
    if (!slot) slot = std::make_unique<Table>(path, rows, tag);
    return *slot;
}

Table& GoodsTable(long rows) { return TableOf(GoodsFile(rows), rows, "name"); }

// Reads the rows of a plain query; their keys when keys is given.
int StepAll(sqlite3_stmt* statement, std::vector<long>* keys = nullptr) {
    int rows = 0;
    std::uint64_t sum = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        sum += ReadGoodsRow(statement);
        if (keys) keys->push_back(static_cast<long>(sqlite3_column_int64(statement, 0)));
        ++rows;
    }
    benchmark::DoNotOptimize(sum);
    sqlite3_reset(statement);
    return rows;
}

// --- The window, and the plain ways to the same rows --------------------------------------------

using ReferenceRuns = rowlark::bench::ReferenceRuns;
using rowlark::bench::TimedLoop;

void DynamicWindow(benchmark::State& state, Table& table, long rank, int count, const std::string& where = {}) {
    const CDynamicDataRow& anchor = table.Anchor(rank);
    int taken = 0;
    const double total = TimedLoop(state, [&] { taken = table.Window(&anchor, count); });
    if (taken != kWindow) state.SkipWithError("the window is not full");
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kWindow);
    if (!where.empty() && state.iterations() > 0) {
        const double window = total / static_cast<double>(state.iterations());
        ReferenceRuns::SetRatio(state, "x_raw", "RawTwoQuery", where, window);
        ReferenceRuns::SetRatio(state, "x_floor", "Keyset", where, window);
    }
}

void LimitOffsetWindow(benchmark::State& state, Table& table, long rank, int count) {
    const bool forward = count > 0;
    const long offset = forward ? rank + 1 : table.rows() - rank;
    const char* dir = forward ? "" : " DESC";
    StatementPtr query = Prepare(table.raw(), std::string("SELECT ") + kGoodsColumns + " FROM " + table.source() +
                                                  " ORDER BY " + table.value() + dir + ", id" + dir + " LIMIT " +
                                                  std::to_string(kWindow) + " OFFSET ?1");
    sqlite3_bind_int64(query.get(), 1, offset);
    std::vector<long> keys;
    StepAll(query.get(), &keys);
    if (keys != table.WindowKeys(&table.Anchor(rank), count)) {
        state.SkipWithError("LIMIT/OFFSET returns other rows than the provider");
        return;
    }
    int taken = 0;
    for (auto _ : state) taken = StepAll(query.get());
    if (taken != kWindow) state.SkipWithError("the window is not full");
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kWindow);
}

void KeysetWindow(benchmark::State& state, Table& table, long rank, int count, const std::string& where) {
    const bool forward = count > 0;
    const char* dir = forward ? "" : " DESC";
    StatementPtr query = Prepare(table.raw(), std::string("SELECT ") + kGoodsColumns + " FROM " + table.source() +
                                                  " WHERE " + table.value() + (forward ? " >= ?1 AND (" : " <= ?1 AND (") +
                                                  table.value() + (forward ? " > ?1 OR id > ?2)" : " < ?1 OR id < ?2)") +
                                                  " ORDER BY " + table.value() + dir + ", id" + dir +
                                                  " LIMIT " + std::to_string(kWindow));
    const CDynamicDataRow& anchor = table.Anchor(rank);
    const std::string value = cp1251::ToUtf8(anchor.GetIndexText());
    sqlite3_bind_text(query.get(), 1, value.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int64(query.get(), 2, std::stol(anchor.GetKeyText()));
    std::vector<long> keys;
    StepAll(query.get(), &keys);
    if (keys != table.WindowKeys(&anchor, count)) {
        state.SkipWithError("the keyset query returns other rows than the provider");
        return;
    }
    int taken = 0;
    const double total = TimedLoop(state, [&] { taken = StepAll(query.get()); });
    if (taken != kWindow) {
        state.SkipWithError("the window is not full");
        return;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kWindow);
    ReferenceRuns::Remember(state, "Keyset", where, total);
}

// The keys by the keyset seek, then the rows by a key list written into a fresh statement's text.
void RawTwoQueryWindow(benchmark::State& state, Table& table, long rank, int count, const std::string& where) {
    const bool forward = count > 0;
    const char* dir = forward ? "" : " DESC";
    StatementPtr key_query = Prepare(table.raw(), "SELECT id FROM " + table.source() + " WHERE " + table.value() +
                                                      (forward ? " >= ?1 AND (" : " <= ?1 AND (") + table.value() +
                                                      (forward ? " > ?1 OR id > ?2)" : " < ?1 OR id < ?2)") +
                                                      " ORDER BY " + table.value() + dir + ", id" + dir +
                                                      " LIMIT " + std::to_string(kWindow));
    const CDynamicDataRow& anchor = table.Anchor(rank);
    const std::string value = cp1251::ToUtf8(anchor.GetIndexText());
    sqlite3_bind_text(key_query.get(), 1, value.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int64(key_query.get(), 2, std::stol(anchor.GetKeyText()));
    const std::string head = std::string("SELECT ") + kGoodsColumns + " FROM goods WHERE id IN (";
    std::string text;
    std::vector<long> keys;

    // One window; the keys the row query returned when wanted.
    auto window = [&](std::vector<long>* returned) {
        text = head;
        bool first = true;
        while (sqlite3_step(key_query.get()) == SQLITE_ROW) {
            const auto* key = reinterpret_cast<const char*>(sqlite3_column_text(key_query.get(), 0));
            if (!first) text += ',';
            first = false;
            text += '\'';
            text += key;  // integer keys: nothing to double
            text += '\'';
        }
        sqlite3_reset(key_query.get());
        text += ')';
        StatementPtr rows = Prepare(table.raw(), text);
        return StepAll(rows.get(), returned);
    };

    window(&keys);
    std::vector<long> expected = table.WindowKeys(&anchor, count);
    std::sort(keys.begin(), keys.end());
    std::sort(expected.begin(), expected.end());
    if (keys != expected) {
        state.SkipWithError("the two queries return other rows than the provider");
        return;
    }
    int taken = 0;
    const double total = TimedLoop(state, [&] { taken = window(nullptr); });
    if (taken != kWindow) {
        state.SkipWithError("the window is not full");
        return;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kWindow);
    ReferenceRuns::Remember(state, "RawTwoQuery", where, total);
}

void StaticGetData(benchmark::State& state, Table& table) {
    CVfpProviderStatic provider;
    provider.SetConnection(OpenData(table.path()).get());  // the command keeps the connection
    provider.SetQueryText(std::string("SELECT ") + kGoodsColumns + " FROM goods ORDER BY " + table.value() + ", id");
    provider.SetKeyField("id");
    for (auto _ : state) provider.GetData();
    int count = 0;
    const std::string error = TakeRaisedError();
    if (!error.empty() || !provider.GetRowCount(count) || count != table.rows())
        state.SkipWithError(("static load failed: " + error).c_str());
    state.counters["resident_MiB"] = ResidentBytes() / (1 << 20);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * table.rows());
}

// --- Scrolling the whole table, the memory before and after ----------------------------------

// Pages from the first row to the last, then back, as a grid does: the page shown stays alive until
// the next one is loaded from its last row. The rows handed out in total.
long ScrollEndToEnd(Table& table) {
    long total = 0;
    for (int direction : {kWindow, -kWindow}) {
        std::vector<RowPtr> page;
        table.provider().PrepareRows(nullptr, direction, 0);
        for (;;) {
            std::vector<RowPtr> next;
            while (RowPtr row = table.Take()) next.push_back(std::move(row));
            if (next.empty()) break;
            total += static_cast<long>(next.size());
            page = std::move(next);
            table.provider().PrepareRows(page.back().get(), direction, 0);
        }
    }
    return total;
}

void ScrollWhole(benchmark::State& state) {
    Table& table = GoodsTable(kScrollRows);
    ScrollEndToEnd(table);  // the first pass sets up what is made once (caches, statement texts)
    const double heap_before = LiveHeapBytes();
    const double resident_before = ResidentBytes();
    long rows = 0;
    for (auto _ : state) rows = ScrollEndToEnd(table);
    if (rows != 2 * kScrollRows) state.SkipWithError("the scroll did not see every row twice");
    state.counters["rows_per_scroll"] = static_cast<double>(rows);
    state.counters["heap_before_KiB"] = heap_before / 1024;
    state.counters["heap_growth_KiB"] = (LiveHeapBytes() - heap_before) / 1024;
    state.counters["resident_before_MiB"] = resident_before / (1 << 20);
    state.counters["resident_growth_KiB"] = (ResidentBytes() - resident_before) / 1024;
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * rows);
}

// --- Registration ------------------------------------------------------------------------------

std::vector<long> TableSizes() {
    std::vector<long> sizes{10000, 100000, 1000000};
    const char* huge = std::getenv("ROWLARK_BENCH_HUGE");
    if (huge && *huge && std::string(huge) != "0") sizes.push_back(10000000);
    return sizes;
}

template <class Fn>
void Register(const std::string& name, Fn body) {
    benchmark::RegisterBenchmark(name.c_str(), [body](benchmark::State& state) {
        try {
            body(state);
        } catch (const std::exception& error) {
            state.SkipWithError(error.what());
        }
    })->Unit(benchmark::kMicrosecond);
}

const bool registered = [] {
    for (long rows : TableSizes()) {
        const std::string size = "rows:" + std::to_string(rows);
        for (At at : {At::Start, At::Middle, At::End}) {
            for (int count : {kWindow, -kWindow}) {
                const std::string where = size + "/at:" + Name(at) + (count > 0 ? "/forward" : "/backward");
                const long rank = AnchorRank(at, rows);
                // The references first, so that the window can report its ratios to them.
                Register("Plain_Keyset/" + where,
                         [=](benchmark::State& s) { KeysetWindow(s, GoodsTable(rows), rank, count, where); });
                Register("Plain_RawTwoQuery/" + where,
                         [=](benchmark::State& s) { RawTwoQueryWindow(s, GoodsTable(rows), rank, count, where); });
                Register("Plain_LimitOffset/" + where,
                         [=](benchmark::State& s) { LimitOffsetWindow(s, GoodsTable(rows), rank, count); });
                Register("Dynamic_Window/" + where,
                         [=](benchmark::State& s) { DynamicWindow(s, GoodsTable(rows), rank, count, where); });
            }
        }
        benchmark::RegisterBenchmark(("Static_GetDataWhole/" + size).c_str(), [rows](benchmark::State& s) {
            try {
                StaticGetData(s, GoodsTable(rows));
            } catch (const std::exception& error) {
                s.SkipWithError(error.what());
            }
        })->Unit(benchmark::kMillisecond);
    }

    // Inside the run of 'G5' (ranks 500,000-599,999), halfway along it, against the unique tag.
    const long rank = kDuplicateRows / 2 + kDuplicateRows / 20;
    for (const char* tag : {"grp", "code"}) {
        for (int count : {kWindow, -kWindow}) {
            const std::string name = std::string("Dynamic_Window/duplicates/tag:") + tag + "/rows:" +
                                     std::to_string(kDuplicateRows) + (count > 0 ? "/forward" : "/backward");
            const std::string tag_name = tag;
            Register(name, [=](benchmark::State& s) {
                DynamicWindow(s, TableOf(DuplicatesFile(kDuplicateRows), kDuplicateRows, tag_name), rank, count);
            });
        }
    }

    // The same window on the name column in the Russian order and in byte order, in the middle of 1,000,000 rows.
    for (const char* tag : {"name", "name_bytes"}) {
        for (int count : {kWindow, -kWindow}) {
            const long rows = 1000000;
            const std::string name = std::string("Dynamic_Window/orders/tag:") + tag + "/rows:" + std::to_string(rows) +
                                     (count > 0 ? "/forward" : "/backward");
            const std::string tag_name = tag;
            Register(name, [=](benchmark::State& s) {
                DynamicWindow(s, TableOf(OrdersFile(rows), rows, tag_name), AnchorRank(At::Middle, rows), count);
            });
        }
    }

    benchmark::RegisterBenchmark("Dynamic_ScrollEndToEnd/rows:100000", [](benchmark::State& s) {
        try {
            ScrollWhole(s);
        } catch (const std::exception& error) {
            s.SkipWithError(error.what());
        }
    })->Unit(benchmark::kMillisecond);
    return true;
}();

}  // namespace
