#pragma once
// The sample goods databases both provider benchmarks read, cached as files under /tmp/rowlark-bench
// (ROWLARK_BENCH_DIR overrides) so that a table of a million rows is built once per machine, not once
// per run. A file is built under a temporary name and renamed only when complete, so a file that
// exists is whole; delete the folder to rebuild. Also the small host and SQLite helpers the
// benchmarks share. Header-only: each benchmark program is one translation unit plus this.

#include <malloc.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "database/sample_goods.h"
#include "platform/oledb/connection.h"
#include "platform/oledb/oledb.h"
#include "platform/oledb/sqlite_handles.h"
#include "platform/runtime/module.h"
#include "platform/text/cp1251.h"

namespace rowlark::bench {

inline constexpr std::uint64_t kGoodsSeed = 7;
// Every column of the goods table, in the order the benchmarks read them.
inline constexpr const char* kGoodsColumns = "id, code, name, price, qty, note";

inline std::filesystem::path CacheFolder() {
    const char* dir = std::getenv("ROWLARK_BENCH_DIR");
    return dir && *dir ? std::filesystem::path(dir) : std::filesystem::path("/tmp/rowlark-bench");
}

// A raw SQLite connection and statement for the plain-SQLite side of a comparison, in the SQLite
// backend's own owners.
using SqlitePtr = oledb_backend::Database;
using StatementPtr = oledb_backend::Statement;

inline SqlitePtr OpenReadOnly(const std::string& path) {
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    SqlitePtr owner(db);
    if (rc != SQLITE_OK) throw std::runtime_error("cannot open " + path);
    return owner;
}

inline StatementPtr Prepare(sqlite3* db, const std::string& sql) {
    sqlite3_stmt* statement = nullptr;
    const int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr);
    StatementPtr owner(statement);
    if (rc != SQLITE_OK) throw std::runtime_error(oledb_backend::ErrorMessage(db) + ": " + sql);
    return owner;
}

// Reads every column of the current row the way a consumer of the values would; returns a checksum
// so that the compiler keeps the reads.
inline std::uint64_t ReadGoodsRow(sqlite3_stmt* statement) {
    std::uint64_t sum = static_cast<std::uint64_t>(sqlite3_column_int64(statement, 0));
    sum += static_cast<std::uint64_t>(sqlite3_column_bytes(statement, 1));
    if (const unsigned char* text = sqlite3_column_text(statement, 1)) sum += text[0];
    if (const unsigned char* text = sqlite3_column_text(statement, 2)) sum += text[0];
    sum += static_cast<std::uint64_t>(sqlite3_column_double(statement, 3));
    sum += static_cast<std::uint64_t>(sqlite3_column_int64(statement, 4));
    if (const unsigned char* text = sqlite3_column_text(statement, 5)) sum += text[0];
    return sum;
}

// The goods table of that many rows (table "goods", seed kGoodsSeed) in the file named stem_rows.db,
// built when absent, through the OLE DB layer's connection; extra runs on the fresh file after the
// table is made (more columns or tags).
inline std::string GoodsFile(std::int64_t rows, const std::string& stem = "goods",
                             const std::function<void(oledb_backend::Connection&)>& extra = {}) {
    const std::filesystem::path folder = CacheFolder();
    const std::filesystem::path path = folder / (stem + "_" + std::to_string(rows) + ".db");
    if (std::filesystem::exists(path)) return path.string();
    std::filesystem::create_directories(folder);
    const std::filesystem::path partial = path.string() + ".part" + std::to_string(getpid());
    std::filesystem::remove(partial);
    std::fprintf(stderr, "building %s ...\n", path.c_str());
    try {
        const auto db = oledb_backend::Connection::Open(oledb_backend::FileUri(partial.string(), true));
        database::GoodsOptions options;
        options.rows = rows;
        options.seed = kGoodsSeed;
        options.journal_off = true;
        database::CreateGoodsTable(*db, options);
        if (extra) extra(*db);
    } catch (...) {
        std::filesystem::remove(partial);
        throw;
    }
    std::filesystem::rename(partial, path);
    return path.string();
}

// A COLEDBData over a file, released with the handle.
struct DataRelease {
    void operator()(COLEDBData* data) const { data->DecrRef(); }
};
using DataPtr = std::unique_ptr<COLEDBData, DataRelease>;

inline DataPtr OpenData(const std::string& path) {
    DataPtr data(new COLEDBData);
    if (!data->Open(path.c_str())) throw std::runtime_error("COLEDBData cannot open " + path);
    return data;
}

// The last run-time error the module raised, as UTF-8; empty when none since the last call.
inline std::string TakeRaisedError() {
    if (host_errors::Raised().empty()) return std::string();
    std::string text = cp1251::ToUtf8(host_errors::Raised().back().text);
    host_errors::Clear();
    return text;
}

// Bytes the allocator has handed out and not yet got back: what live objects hold.
inline double LiveHeapBytes() { return static_cast<double>(mallinfo2().uordblks); }

// Resident set size of the process, in bytes.
inline double ResidentBytes() {
    long pages_total = 0, pages_resident = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages_total, &pages_resident) != 2) pages_resident = 0;
        std::fclose(statm);
    }
    return static_cast<double>(pages_resident) * static_cast<double>(sysconf(_SC_PAGESIZE));
}

}  // namespace rowlark::bench
