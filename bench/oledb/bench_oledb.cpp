// Executing a query of 1,000,000 rows of five columns (int, text, real, int, text) into a
// direct-access result, against a plain sqlite3_step loop that reads the same columns.
// Counters: arena_bytes is what the result holds for the values (arena and row offsets),
// raw_value_bytes the values' own bytes (8 per number, the texts' bytes as SQLite gives them).

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/oledb/connection.h"
#include "platform/oledb/direct_result.h"
#include "platform/oledb/oledb.h"
#include "platform/oledb/procedures.h"
#include "platform/oledb/sqlite_handles.h"

namespace {

constexpr int kRows = 1000000;
constexpr const char* kQuery = "SELECT id, name, price, qty, note FROM goods";

// The table, made once in a temporary file through the layer's bulk writer and removed at exit.
class GoodsFile {
public:
    GoodsFile() {
        using oledb_backend::FieldType;
        using oledb_backend::FieldValue;
        path_ = (std::filesystem::temp_directory_path() / ("rowlark_bench_oledb_" + std::to_string(getpid()) + ".db"))
                    .string();
        std::filesystem::remove(path_);
        const auto db = oledb_backend::Connection::Open(oledb_backend::FileUri(path_, true));
        oledb_backend::TableDefinition table{"goods",
                                             {{"id", FieldType::kInteger, 8, 0, true},
                                              {"name", FieldType::kText, 0, 0, true},
                                              {"price", FieldType::kReal, 0, 0, true},
                                              {"qty", FieldType::kInteger, 8, 0, true},
                                              {"note", FieldType::kText, 0, 0, true}},
                                             {"id"},
                                             true};
        const auto writer = db->StartBulkWrite(table);
        std::vector<FieldValue> row(5);
        for (int i = 1; i <= kRows; ++i) {
            row[0] = FieldValue::Int(i);
            row[1] = FieldValue::Of(FieldValue::Kind::Text, "Товар №" + std::to_string(i));
            row[2] = FieldValue::Real((i % 100000) / 100.0);
            row[3] = FieldValue::Int(i % 1000);
            row[4] = FieldValue::Of(FieldValue::Kind::Text, "note " + std::to_string(i % 977));
            writer->Add(row);
        }
        writer->Commit();
    }
    ~GoodsFile() { std::filesystem::remove(path_); }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

const GoodsFile& Goods() {
    static GoodsFile file;
    return file;
}

// The values' own bytes: what a plain loop reads.
double RawValueBytes(benchmark::State& state) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(Goods().path().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, kQuery, -1, &stmt, nullptr);
    double bytes = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) bytes += 24 + sqlite3_column_bytes(stmt, 1) + sqlite3_column_bytes(stmt, 4);
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    if (bytes == 0) state.SkipWithError("no rows");
    return bytes;
}

// state.range(0) = 1 opens the connection as the stand-in does, without SQLite's connection mutex.
void BM_PlainStepLoop(benchmark::State& state) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(Goods().path().c_str(), &db, SQLITE_OPEN_READONLY | (state.range(0) ? SQLITE_OPEN_NOMUTEX : 0),
                    nullptr);
    for (auto _ : state) {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, kQuery, -1, &stmt, nullptr);
        std::int64_t sum = 0;
        std::size_t text_bytes = 0;
        double total = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            sum += sqlite3_column_int64(stmt, 0);
            const unsigned char* name = sqlite3_column_text(stmt, 1);
            text_bytes += static_cast<std::size_t>(sqlite3_column_bytes(stmt, 1)) + (name ? name[0] : 0);
            total += sqlite3_column_double(stmt, 2);
            sum += sqlite3_column_int64(stmt, 3);
            const unsigned char* note = sqlite3_column_text(stmt, 4);
            text_bytes += static_cast<std::size_t>(sqlite3_column_bytes(stmt, 4)) + (note ? note[0] : 0);
        }
        sqlite3_finalize(stmt);
        benchmark::DoNotOptimize(sum);
        benchmark::DoNotOptimize(text_bytes);
        benchmark::DoNotOptimize(total);
    }
    sqlite3_close(db);
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_PlainStepLoop)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Reaches the result behind a handle, to weigh it.
struct ResultPeek : OleDb::CResultDirectAccessProxy {
    explicit ResultPeek(const OleDb::CResultDirectAccessProxy& handle) : OleDb::CResultDirectAccessProxy(handle) {}
    std::size_t MemoryBytes() const {
        return static_cast<const oledb_backend::DirectResult&>(*result_).MemoryBytes();
    }
};

// procedure: offered on the run's connection under its name, when given.
void RunDirect(benchmark::State& state, const char* text, const char* name = nullptr,
               oledb_backend::Procedure procedure = {}) {
    COLEDBData data;
    data.Open(Goods().path().c_str());
    if (procedure) oledb_backend::AddProcedure(*data.connection(), name, std::move(procedure));
    OleDb::CCommandProxy command(data.CreateCommand());
    std::size_t arena_bytes = 0;
    for (auto _ : state) {
        CString query(text);
        LONG count = 0;
        OleDb::CResultDirectAccessProxy result = command.ExecuteStatementExternalDirect(query, count);
        if (count != kRows) state.SkipWithError("wrong row count");
        state.PauseTiming();
        arena_bytes = ResultPeek(result).MemoryBytes();
        result.Reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kRows);
    const double raw = RawValueBytes(state);
    state.counters["arena_bytes"] = static_cast<double>(arena_bytes);
    state.counters["raw_value_bytes"] = raw;
    state.counters["memory_ratio"] = static_cast<double>(arena_bytes) / raw;
}

void BM_DirectResult(benchmark::State& state) { RunDirect(state, kQuery); }
BENCHMARK(BM_DirectResult)->Unit(benchmark::kMillisecond);

// The same statement behind a procedure, read value by value through the RowCursor interface:
// the road every procedure's result takes, which plain statements skip.
class PlainCursor : public oledb_backend::RowCursor {
public:
    explicit PlainCursor(sqlite3* db) {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, kQuery, -1, &stmt, nullptr);
        stmt_ = oledb_backend::Statement(stmt);
    }
    int ColumnCount() const override { return sqlite3_column_count(stmt_.get()); }
    std::string ColumnName(int column) const override { return sqlite3_column_name(stmt_.get(), column); }
    bool Step() override { return sqlite3_step(stmt_.get()) == SQLITE_ROW; }
    oledb_backend::SqlValue Column(int column) const override {
        sqlite3_stmt* s = stmt_.get();
        switch (sqlite3_column_type(s, column)) {
            case SQLITE_INTEGER: return oledb_backend::SqlValue::Int(sqlite3_column_int64(s, column));
            case SQLITE_FLOAT: return oledb_backend::SqlValue::Real(sqlite3_column_double(s, column));
            case SQLITE_NULL: return oledb_backend::SqlValue::Null();
            default:
                return oledb_backend::SqlValue::Text(
                    std::string(reinterpret_cast<const char*>(sqlite3_column_text(s, column)),
                                static_cast<std::size_t>(sqlite3_column_bytes(s, column))));
        }
    }

private:
    oledb_backend::Statement stmt_;
};

void BM_DirectResultThroughCursor(benchmark::State& state) {
    RunDirect(state, "AllGoods ()", "AllGoods",
              [](const oledb_backend::ProcedureSite& site, const std::vector<oledb_backend::ProcArg>&) {
                  return std::make_unique<PlainCursor>(site.handle());
              });
}
BENCHMARK(BM_DirectResultThroughCursor)->Unit(benchmark::kMillisecond);

}  // namespace
