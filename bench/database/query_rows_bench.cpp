// A window of 50 rows of a 1,000,000-row goods table in name order, at its start, middle
// and end: QueryRows seeking from the previous window's last row against LIMIT/OFFSET,
// which walks past every row before the window. Both run through the OLE DB layer's connection.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "database/query_rows.h"
#include "database/sample_goods.h"
#include "platform/oledb/connection.h"
#include "platform/oledb/procedures.h"

namespace {

using namespace rowlark::database;
using oledb_backend::SqlValue;

constexpr std::int64_t kRows = 1'000'000;
constexpr std::int64_t kWindow = 50;

// One table for the whole run, in memory: building it takes seconds.
oledb_backend::Connection& GoodsDb() {
    static const std::shared_ptr<oledb_backend::Connection> db = [] {
        RegisterDatabaseProcedures(oledb_backend::RegisterProcedure);
        auto opened = oledb_backend::Connection::Open(":memory:");
        GoodsOptions options;
        options.rows = kRows;
        CreateGoodsTable(*opened, options);
        return opened;
    }();
    return *db;
}

std::int64_t Offset(const benchmark::State& state) { return state.range(0) * (kRows - kWindow) / 2; }

std::string NameValue() { return GoodsDb().OpenCatalogue()->Tag("goods", "name")->order_sql; }

// The rows of a statement run as the layer runs it.
std::unique_ptr<oledb_backend::RowCursor> Run(const std::string& sql, const oledb_backend::NamedParams& params) {
    return GoodsDb().RunStatement(sql, params, oledb_backend::Reading::kStream);
}

void BM_QueryRowsWindow(benchmark::State& state) {
    // The row before the window, as the provider holds it from its previous window.
    auto before = Run("SELECT id, " + NameValue() + " FROM goods INDEXED BY rowlark_tag_goods_name ORDER BY " +
                          NameValue() + ", id LIMIT 1 OFFSET :offset",
                      {{"offset", SqlValue::Int(std::max<std::int64_t>(Offset(state) - 1, 0))}});
    before->Step();
    auto text = [](std::string s) { return oledb_backend::ProcArg{true, std::move(s), 0}; };
    auto number = [](std::int64_t n) { return oledb_backend::ProcArg{false, {}, n}; };
    const oledb_backend::ProcedureCall call{
        "QueryRows",
        {text("goods"), text("name"), text(before->Column(1).text), text(std::to_string(before->Column(0).integer)),
         number(kWindow), text("id"), number(1), text(""), text(""), number(0)}};
    before.reset();
    for (auto _ : state) {
        auto cursor = GoodsDb().CallProcedure(call, oledb_backend::Reading::kStream);
        std::int64_t rows = 0;
        while (cursor->Step()) {
            benchmark::DoNotOptimize(cursor->Column(0));
            ++rows;
        }
        if (rows != kWindow) state.SkipWithError("short window");
    }
}

void BM_LimitOffsetWindow(benchmark::State& state) {
    const std::string sql = "SELECT id, name FROM goods INDEXED BY rowlark_tag_goods_name ORDER BY " + NameValue() +
                            ", id LIMIT :window OFFSET :offset";
    const oledb_backend::NamedParams params{{"window", SqlValue::Int(kWindow)}, {"offset", SqlValue::Int(Offset(state))}};
    for (auto _ : state) {
        auto window = Run(sql, params);
        std::int64_t rows = 0;
        while (window->Step()) {
            benchmark::DoNotOptimize(window->Column(0));
            ++rows;
        }
        if (rows != kWindow) state.SkipWithError("short window");
    }
}

// Argument: 0 start, 1 middle, 2 end of the table.
BENCHMARK(BM_QueryRowsWindow)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LimitOffsetWindow)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
