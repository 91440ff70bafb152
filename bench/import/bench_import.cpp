// bench_import: a Visual FoxPro table of ROWLARK_IMPORT_RECORDS records (1,000,000 by default) imported
// into SQLite beside a plain prepared-INSERT loop of the same values in one transaction, and into
// PostgreSQL (ROWLARK_PG) beside pgdbf piped to psql. Counters: MB/s of the table's files and the
// process's peak resident memory, which must not grow with the record count.

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/import/sample_table.h"
#include "tools/import/import_run.h"

namespace {

namespace fs = std::filesystem;

std::uint32_t Records() {
    const char* text = std::getenv("ROWLARK_IMPORT_RECORDS");
    return text ? static_cast<std::uint32_t>(std::strtoul(text, nullptr, 10)) : 1000000u;
}

double FilesMegabytes(const std::string& dbf) {
    return static_cast<double>(fs::file_size(dbf) + fs::file_size(dbf.substr(0, dbf.size() - 3) + "fpt")) / 1e6;
}

void Count(benchmark::State& state, const std::string& dbf) {
    struct rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    // Wall time: pgdbf and psql work in child processes.
    state.counters["MB/s"] = benchmark::Counter(FilesMegabytes(dbf) * static_cast<double>(state.iterations()),
                                                benchmark::Counter::kIsRate);
    state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
    state.counters["records"] = Records();
}

void ImportIntoSqlite(benchmark::State& state) {
    const std::string dbf = import_bench::SampleTable(Records());
    const std::string target = "/tmp/rowlark-bench/import_" + std::to_string(::getpid()) + ".db";
    for (auto _ : state) {
        fs::remove(target);
        import_tool::ImportRequest request;
        request.inputs = {dbf};
        request.target = target;
        import_tool::ProgressSink quiet;
        import_tool::RunImport(request, quiet);
    }
    fs::remove(target);
    Count(state, dbf);
}

void Check(int rc, sqlite3* db) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db));
}

// The same values by hand: one prepared INSERT stepped per row in one transaction, no journal.
void PlainInsertLoop(benchmark::State& state) {
    const std::string dbf = import_bench::SampleTable(Records());
    const std::string target = "/tmp/rowlark-bench/plain_" + std::to_string(::getpid()) + ".db";
    for (auto _ : state) {
        fs::remove(target);
        sqlite3* db = nullptr;
        sqlite3_open(target.c_str(), &db);
        Check(sqlite3_exec(db, "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; PRAGMA cache_size = -131072; BEGIN;"
                               "CREATE TABLE goods (recno INTEGER PRIMARY KEY, name VARCHAR(30), price NUMERIC(10, 2),"
                               " day DATE, flag BOOLEAN, note TEXT)", nullptr, nullptr, nullptr), db);
        sqlite3_stmt* insert = nullptr;
        Check(sqlite3_prepare_v2(db, "INSERT INTO goods VALUES (?, ?, ?, ?, ?, ?)", -1, &insert, nullptr), db);
        for (std::uint32_t n = 0; n < Records(); ++n) {
            const import_bench::SampleRow row = import_bench::RowOf(n);
            sqlite3_bind_int64(insert, 1, n + 1);
            sqlite3_bind_text(insert, 2, row.name.data(), static_cast<int>(row.name.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 3, row.price.data(), static_cast<int>(row.price.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 4, row.day.data(), static_cast<int>(row.day.size()), SQLITE_TRANSIENT);
            sqlite3_bind_int(insert, 5, row.flag ? 1 : 0);
            if (row.memo.empty()) sqlite3_bind_text(insert, 6, "", 0, SQLITE_STATIC);
            else sqlite3_bind_text(insert, 6, row.memo.data(), static_cast<int>(row.memo.size()), SQLITE_TRANSIENT);
            Check(sqlite3_step(insert), db);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        Check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
        sqlite3_close(db);
    }
    fs::remove(target);
    Count(state, dbf);
}

const char* Server() { return std::getenv("ROWLARK_PG"); }

void ImportIntoServer(benchmark::State& state) {
    if (!Server()) {
        state.SkipWithError("ROWLARK_PG is not set");
        return;
    }
    const std::string dbf = import_bench::SampleTable(Records());
    for (auto _ : state) {
        // A name of its own: pgdbf's run below makes (and drops) the table named after the file.
        std::system(("psql -q '" + std::string(Server()) + "' -c 'SELECT rowlark_drop_index_tag(table_name, tag) FROM "
                     "rowlark_index_tag_list() WHERE table_name = $$imported$$; DROP TABLE IF EXISTS imported' >/dev/null 2>&1").c_str());
        import_tool::ImportRequest request;
        request.inputs = {dbf};
        request.target = Server();
        request.table = "imported";
        import_tool::ProgressSink quiet;
        import_tool::RunImport(request, quiet);
    }
    Count(state, dbf);
}

void PgdbfToPsql(benchmark::State& state) {
    if (!Server()) {
        state.SkipWithError("ROWLARK_PG is not set");
        return;
    }
    const std::string dbf = import_bench::SampleTable(Records());
    const std::string command = "pgdbf -s cp1251 -m '" + dbf.substr(0, dbf.size() - 3) + "fpt' '" + dbf +
                                "' | psql -q -v ON_ERROR_STOP=1 '" + Server() + "' >/dev/null 2>&1";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) state.SkipWithError("pgdbf | psql failed");
    Count(state, dbf);
}

}  // namespace

BENCHMARK(ImportIntoSqlite)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(PlainInsertLoop)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(ImportIntoServer)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(PgdbfToPsql)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
