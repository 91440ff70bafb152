#pragma once
// One import from the command line's point of view: FoxPro tables (.dbf files, or the tables of a
// .dbc) into a SQLite file or a PostgreSQL server. Everything is planned and checked before anything
// is written; every table is written in one transaction, so the import is kept whole or not at all,
// whatever stops it (a bad record, a refusal, a full disk, a signal, a killed process, a lost server
// session). A new SQLite file is built under a temporary name beside it and renamed into place when
// complete (what a killed import left beside it is removed by the next one).

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tools/import/import_plan.h"
#include "tools/import/table_import.h"

namespace import_tool {

struct ImportRequest {
    std::vector<std::string> inputs;    // .dbf and .dbc paths
    std::string target;                 // a SQLite path or a PostgreSQL connection string
    std::string table;                  // the table's name for a single .dbf; empty: its own
    std::vector<RequestedTag> tags;
    rowlark::foxpro::ReaderOptions reader;
    std::function<bool()> stop;         // asked between records
};

struct TableReport {
    std::string name;
    std::string key;
    bool recno = false;                 // the key is the record number's own column
    std::uint64_t rows = 0;
    std::vector<std::string> tags;      // added
    std::vector<SkippedTag> skipped;    // left out, with the reason
    std::vector<std::string> warnings;  // what the user should know of how fields were written
};

struct ImportReport {
    std::vector<TableReport> tables;
    std::vector<std::string> missing;   // tables a container lists whose file is not there
};

// A refusal before anything is written that the user can mend on the command line (exit status 2).
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Whether text names a server rather than a file.
bool IsServerTarget(const std::string& target);

// Runs the import. Throws UsageError, rowlark::foxpro::FoxProError for a bad file,
// rowlark::database::DatabaseError or oledb_backend::CursorError for the database's refusal,
// Interrupted on a stop; in every case the target is as it was.
ImportReport RunImport(const ImportRequest& request, ProgressSink& progress);

// Removes from folder what new-file imports killed while building left: TARGET.tmp-PID (and SQLite's
// TARGET.tmp-PID-journal) whose process no longer runs. With target_name, only the files of that
// target; without, those of every target in the folder. A file that cannot be removed is left.
void RemoveAbandonedTemporaries(const std::filesystem::path& folder, const std::string& target_name = {});

}  // namespace import_tool
