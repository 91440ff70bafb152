// A window of 50 rows of a 1,000,000-row goods table in name order, at its start, middle
// and end: QueryRows seeking from the previous window's last row against LIMIT/OFFSET,
// which walks past every row before the window.

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <memory>
#include <string>
#include <vector>

#include "database/index_tags.h"
#include "database/query_rows.h"
#include "database/sample_goods.h"
#include "database/statement.h"

namespace {

using namespace rowlark::database;

constexpr std::int64_t kRows = 1'000'000;
constexpr std::int64_t kWindow = 50;

struct CloseDb {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};

// One table for the whole run: building it takes seconds.
sqlite3* GoodsDb() {
    static std::unique_ptr<sqlite3, CloseDb> db = [] {
        sqlite3* raw = nullptr;
        sqlite3_open(":memory:", &raw);
        GoodsOptions options;
        options.rows = kRows;
        CreateGoodsTable(raw, options);
        return std::unique_ptr<sqlite3, CloseDb>(raw);
    }();
    return db.get();
}

std::int64_t Offset(const benchmark::State& state) { return state.range(0) * (kRows - kWindow) / 2; }

std::string NameOrder() {
    const IndexTag tag = *FindIndexTag(GoodsDb(), "goods", "name");
    return KeyExpression(tag) + ", id";
}

void BM_QueryRowsWindow(benchmark::State& state) {
    sqlite3* db = GoodsDb();
    // The row before the window, as the provider holds it from its previous window.
    Statement before(db, "SELECT id, " + KeyExpression(*FindIndexTag(db, "goods", "name")) +
                             " FROM goods INDEXED BY rowlark_tag_goods_name ORDER BY " + NameOrder() +
                             " LIMIT 1 OFFSET ?1");
    before.BindInt(1, std::max<std::int64_t>(Offset(state) - 1, 0));
    before.Step();
    auto text = [](std::string s) { return oledb_backend::ProcArg{true, std::move(s), 0}; };
    auto number = [](std::int64_t n) { return oledb_backend::ProcArg{false, {}, n}; };
    const std::vector<oledb_backend::ProcArg> args = {
        text("goods"), text("name"), text(before.ColumnText(1)), text(before.ColumnText(0)), number(kWindow),
        text("id"),    number(1),    text(""),                   text(""),                   number(0)};
    for (auto _ : state) {
        auto cursor = QueryRows(db, args);
        std::int64_t rows = 0;
        while (cursor->Step()) {
            benchmark::DoNotOptimize(cursor->Column(0));
            ++rows;
        }
        if (rows != kWindow) state.SkipWithError("short window");
    }
}

void BM_LimitOffsetWindow(benchmark::State& state) {
    sqlite3* db = GoodsDb();
    Statement window(db, "SELECT id, name FROM goods INDEXED BY rowlark_tag_goods_name ORDER BY " + NameOrder() +
                             " LIMIT ?1 OFFSET ?2");
    window.BindInt(1, kWindow);
    window.BindInt(2, Offset(state));
    for (auto _ : state) {
        std::int64_t rows = 0;
        while (window.Step()) {
            benchmark::DoNotOptimize(window.ColumnText(0));
            ++rows;
        }
        window.Reset();
        if (rows != kWindow) state.SkipWithError("short window");
    }
}

// Argument: 0 start, 1 middle, 2 end of the table.
BENCHMARK(BM_QueryRowsWindow)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LimitOffsetWindow)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
