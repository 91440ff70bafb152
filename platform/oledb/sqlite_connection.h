#pragma once
// The SQLite backend: one open database file. The database's procedures are the process-wide
// registry of procedures.h, run on this file with this connection's procedure memory.

#include <memory>
#include <string>
#include <string_view>

#include "platform/oledb/connection.h"
#include "platform/oledb/sqlite_handles.h"

namespace oledb_backend {

class SqliteConnection : public Connection {
public:
    // Opens (creating when absent) the database file at path (UTF-8). A path that begins with
    // "file:" is a URI (see FileUri), so its query may forbid creating the file ("mode=rw").
    static std::shared_ptr<SqliteConnection> Open(const std::string& path);

    sqlite3* db() const { return db_.get(); }
    const std::string& path() const { return path_; }

    void Execute(const std::string& sql) override;
    std::unique_ptr<RowCursor> RunStatement(const std::string& sql, const NamedParams& params,
                                            Reading reading) override;
    bool OffersProcedure(const std::string& name) override;
    std::unique_ptr<RowCursor> CallProcedure(const ProcedureCall& call, Reading reading) override;
    std::vector<std::pair<std::string, std::string>> ReadMetaNames() override;

    // Prepares sql, which must hold exactly one statement (blanks, comments and ';' may follow).
    Statement Prepare(std::string_view sql);

private:
    SqliteConnection(Database db, std::string path) : db_(std::move(db)), path_(std::move(path)) {}
    Database db_;
    std::string path_;
    ProcedureMemory procedure_memory_;  // declared after db_: emptied before the database closes
};

}  // namespace oledb_backend
