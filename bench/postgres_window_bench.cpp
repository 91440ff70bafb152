// The server's QueryRows window of 50 rows over goods tables of 10,000, 100,000 and 1,000,000 rows on
// the PostgreSQL server named by ROWLARK_PG (nothing is measured without it), in the order of the
// "name" tag, at the start, the middle and the end of the table, forwards and backwards; each beside,
// on the same server in the same run:
//   Window       SELECT * FROM queryrows(...) with its ten arguments bound as the OLE DB layer binds
//                them, every answer row read: what the dynamic provider asks the server for a window;
//   LimitOffset  the same 50 keys by ORDER BY the tag's value and key, LIMIT 50 OFFSET n, walking the
//                tag's own index (its best case: no sort);
//   Keyset       one prepared keyset statement for the same 50 keys: the row-value seek QueryRows
//                runs, without its look-ups and checks: the floor.
// Times are wall clock (the work is the server's). A window starts after (forwards) or before
// (backwards) an anchor row: the row of rank 50 ("start"), rows / 2 ("middle") or rows - 51 ("end").
// The tables are made once on the server (schema rowlark_bench, names from md5 digests: text of
// unique values in no particular order) and kept for the next run.

#include <benchmark/benchmark.h>
#include <libpq-fe.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int kWindow = 50;
const long kSizes[] = {10000, 100000, 1000000};

struct ClearResult {
    void operator()(PGresult* result) const { PQclear(result); }
};
using Result = std::unique_ptr<PGresult, ClearResult>;

PGconn* g_conn = nullptr;  // one session for the whole run, as a provider keeps its connection

Result Run(const std::string& sql, const std::vector<std::string>& params = {}) {
    std::vector<const char*> values;
    for (const std::string& param : params) values.push_back(param.c_str());
    Result result(PQexecParams(g_conn, sql.c_str(), static_cast<int>(values.size()), nullptr, values.data(), nullptr,
                               nullptr, 0));
    const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
    if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK)
        throw std::runtime_error(sql.substr(0, 60) + ": " + PQerrorMessage(g_conn));
    return result;
}

std::string Table(long rows) { return "goods_" + std::to_string(rows); }

// Makes the table and its tag unless a complete one is there from an earlier run.
void EnsureTable(long rows) {
    const std::string table = Table(rows);
    Run("CREATE SCHEMA IF NOT EXISTS rowlark_bench");
    Run("SET search_path TO rowlark_bench, public");
    Result done = Run("SELECT 1 FROM public.rowlark_index_tags WHERE table_schema = 'rowlark_bench' AND table_name = $1",
                      {table});
    if (PQntuples(done.get()) == 1) return;
    std::fprintf(stderr, "postgres_window_bench: making rowlark_bench.%s on the server\n", table.c_str());
    Run("DROP TABLE IF EXISTS " + table);
    Run("DELETE FROM public.rowlark_index_tags WHERE table_schema = 'rowlark_bench' AND table_name = $1", {table});
    Run("CREATE TABLE " + table + " (id integer PRIMARY KEY, code text NOT NULL, name text NOT NULL, price numeric NOT NULL)");
    Run("INSERT INTO " + table + " SELECT i, 'C-' || lpad(i::text, 7, '0'), md5(i::text), (i % 99999) / 100.0"
        " FROM generate_series(1, " + std::to_string(rows) + ") AS i");
    Run("SELECT rowlark_add_index_tag($1, 'name', 'name', 'id')", {table});
    Run("VACUUM ANALYZE " + table);
}

enum At { kStart, kMiddle, kEnd };

struct Anchor {
    std::string key, value;  // as QueryRows hands them out
};

Anchor AnchorOf(long rows, int at) {
    const long rank = at == kStart ? kWindow : at == kMiddle ? rows / 2 : rows - kWindow - 1;
    Result row = Run("SELECT id::text, name FROM " + Table(rows) + " ORDER BY name COLLATE \"C\", " + Table(rows) + ".id OFFSET $1 LIMIT 1",
                     {std::to_string(rank)});
    return {PQgetvalue(row.get(), 0, 0), PQgetvalue(row.get(), 0, 1)};
}

// Reads every value of every row, as a reader of the answer would.
std::size_t Consume(const Result& result) {
    std::size_t bytes = 0;
    for (int row = 0; row < PQntuples(result.get()); ++row)
        for (int column = 0; column < PQnfields(result.get()); ++column) bytes += PQgetlength(result.get(), row, column);
    return bytes;
}

void Window(benchmark::State& state, long rows, int at, bool forward) {
    const Anchor anchor = AnchorOf(rows, at);
    const std::vector<std::string> args = {Table(rows), "name", anchor.value, anchor.key, std::to_string(kWindow), "id",
                                           forward ? "1" : "0", "", "", "0"};
    for (auto _ : state) {
        Result answer = Run("SELECT * FROM queryrows($1, $2, $3, $4, $5, $6, $7, $8, $9, $10)", args);
        if (PQntuples(answer.get()) != kWindow) state.SkipWithError("the window is not 50 rows");
        benchmark::DoNotOptimize(Consume(answer));
    }
}

void LimitOffset(benchmark::State& state, long rows, int at, bool forward) {
    const long rank = at == kStart ? kWindow : at == kMiddle ? rows / 2 : rows - kWindow - 1;
    // Forwards the 50 rows after the anchor; backwards the 50 before it, read from the far end.
    const long offset = forward ? rank + 1 : rows - rank;
    Result value_sql = Run("SELECT rowlark_tag_value_sql('name', 'text')");
    const std::string value = PQgetvalue(value_sql.get(), 0, 0);
    const char* dir = forward ? "" : " DESC";
    const std::string sql = "SELECT id::text, " + value + " FROM " + Table(rows) + " ORDER BY " + value + dir + ", " +
                            Table(rows) + ".id" + dir + " LIMIT 50 OFFSET $1";
    for (auto _ : state) {
        Result answer = Run(sql, {std::to_string(offset)});
        if (PQntuples(answer.get()) != kWindow) state.SkipWithError("the window is not 50 rows");
        benchmark::DoNotOptimize(Consume(answer));
    }
}

void Keyset(benchmark::State& state, long rows, int at, bool forward) {
    const Anchor anchor = AnchorOf(rows, at);
    Result value_sql = Run("SELECT rowlark_tag_value_sql('name', 'text')");
    const std::string value = PQgetvalue(value_sql.get(), 0, 0);
    const char* dir = forward ? "" : " DESC";
    const std::string sql = "SELECT id::text, " + value + " FROM " + Table(rows) + " WHERE (" + value + ", id) " +
                            (forward ? ">" : "<") + " ($1, $2::integer) ORDER BY " + value + dir + ", " + Table(rows) +
                            ".id" + dir + " LIMIT 50";
    const std::string name = "keyset_" + std::to_string(rows) + "_" + std::to_string(at) + (forward ? "f" : "b");
    Result prepared(PQprepare(g_conn, name.c_str(), sql.c_str(), 2, nullptr));
    const char* values[2] = {anchor.value.c_str(), anchor.key.c_str()};
    for (auto _ : state) {
        Result answer(PQexecPrepared(g_conn, name.c_str(), 2, values, nullptr, nullptr, 0));
        if (PQntuples(answer.get()) != kWindow) state.SkipWithError("the window is not 50 rows");
        benchmark::DoNotOptimize(Consume(answer));
    }
    Run("DEALLOCATE " + name);
}

void RegisterAll() {
    const char* places[] = {"start", "middle", "end"};
    for (long rows : kSizes) {
        EnsureTable(rows);
        for (int at : {kStart, kMiddle, kEnd}) {
            for (bool forward : {true, false}) {
                const std::string suffix = "/rows:" + std::to_string(rows) + "/" + places[at] + (forward ? "/fwd" : "/bwd");
                benchmark::RegisterBenchmark(("Window" + suffix).c_str(), Window, rows, at, forward)
                    ->UseRealTime()->Unit(benchmark::kMicrosecond);
                benchmark::RegisterBenchmark(("LimitOffset" + suffix).c_str(), LimitOffset, rows, at, forward)
                    ->UseRealTime()->Unit(benchmark::kMicrosecond);
                benchmark::RegisterBenchmark(("Keyset" + suffix).c_str(), Keyset, rows, at, forward)
                    ->UseRealTime()->Unit(benchmark::kMicrosecond);
            }
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    const char* where = std::getenv("ROWLARK_PG");
    if (!where || !*where) {
        std::printf("postgres_window_bench: ROWLARK_PG is not set (scripts/pg_cluster start DIR prints one); nothing measured\n");
        return 0;
    }
    g_conn = PQconnectdb(where);
    if (PQstatus(g_conn) != CONNECTION_OK) {
        std::fprintf(stderr, "postgres_window_bench: cannot connect: %s", PQerrorMessage(g_conn));
        PQfinish(g_conn);
        return 1;
    }
    int status = 0;
    try {
        RegisterAll();
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "postgres_window_bench: %s\n", error.what());
        status = 1;
    }
    PQfinish(g_conn);
    return status;
}
