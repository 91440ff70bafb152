#pragma once
// One open SQLite database file. Shared: COLEDBData, its commands and their open results each
// hold a shared_ptr, so the file stays open until the last of them is gone.
// Every failure throws CursorError with the database's message (UTF-8).
// Single-threaded: a connection and everything made from it are used on one thread at a time.

#include <memory>
#include <string>
#include <string_view>

#include "platform/oledb/row_cursor.h"
#include "platform/oledb/sqlite_handles.h"

namespace oledb_backend {

// A "file:" URI that names exactly the existing file at path, whatever its bytes: everything but
// unreserved ASCII letters, digits, "-._~" and '/' is percent-escaped, so no character of the path
// reads as URI or connection-text syntax; "?mode=rw" keeps opening it from creating a file.
std::string FileUri(std::string_view path);

class Connection {
public:
    // Opens (creating when absent) the database file at path (UTF-8). A path that begins with
    // "file:" is a URI (see FileUri), so its query may forbid creating the file ("mode=rw").
    static std::shared_ptr<Connection> Open(const std::string& path);

    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    sqlite3* db() const { return db_.get(); }
    const std::string& path() const { return path_; }

    // Runs every statement of sql, discarding any rows.
    void Execute(const std::string& sql);
    // Prepares sql, which must hold exactly one statement (blanks, comments and ';' may follow).
    Statement Prepare(std::string_view sql);
    // What the database's procedures keep on this connection between calls; valid while it lives.
    ProcedureMemory& procedure_memory() { return procedure_memory_; }

private:
    Connection(Database db, std::string path) : db_(std::move(db)), path_(std::move(path)) {}
    Database db_;
    std::string path_;
    ProcedureMemory procedure_memory_;  // declared after db_: emptied before the database closes
};

}  // namespace oledb_backend
