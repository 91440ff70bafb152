#pragma once
// A FoxPro table opened directly by the grid and the script runner: imported once into a SQLite
// database in the user's cache folder ($XDG_CACHE_HOME, else ~/.cache, then rowlark/), named for the
// table's path and a stamp of its files (.dbf, memo, .cdx): each file's device and inode, size, times
// of modification and of change, and a hash of its first and last 4 KiB. Any rewrite gives a new name,
// so the table is imported again and the older copy removed; an unchanged one is opened as is.
//
// Tools opening the same table at once share one import: the copy is made under a lock file of the
// cache folder, and a second tool waits for it, then opens the finished copy. Temporary files left by
// a tool killed while importing (NAME.db.tmp-PID) are removed once that process is gone. A cache folder
// that cannot be made or written gives a notice and a private copy in $TMPDIR, removed at exit.

#include <functional>
#include <string>

#include "tools/import/table_import.h"

namespace import_tool {

struct CachedTable {
    std::string database;  // the SQLite file
    std::string table;     // the table's name in it
    std::string notice;    // why the copy is a private one (the cache folder cannot be written); else empty
};

// Whether path names a FoxPro table (its name ends in .dbf, any letter case).
bool IsDbfPath(const std::string& path);

// The folder the copies are kept in. Throws std::runtime_error when neither variable gives one.
std::string CacheFolder();

// The cached copy of the table at dbf, imported first when missing or stale (waiting while another
// tool imports it). Throws as RunImport does, and std::runtime_error when no copy can be made at all.
CachedTable OpenCachedTable(const std::string& dbf, ProgressSink& progress, const std::function<bool()>& stop);

}  // namespace import_tool

namespace import_tool {

// For the programs that take a database (grid, script --db): when path names a .dbf file, replaces it
// with its cached copy and sets table to the table's name there, showing the import's progress on a
// terminal and a private copy's notice as "tool: ..."; false, with "tool: ..." printed on one line,
// when the table cannot be imported.
bool OpenDbfForTool(const char* tool, std::string& path, std::string& table);

}  // namespace import_tool
