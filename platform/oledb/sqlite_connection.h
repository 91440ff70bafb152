#pragma once
// The SQLite backend: one open database file. The database's procedures are this connection's own
// and the process-wide set (procedures.h), run on this file with this connection's procedure memory. Read-only
// statements whose IN lists hold only literals are prepared once per shape (in_list_literals.h)
// and kept, a few shapes at a time, for the next text of the same shape.

#include <cstddef>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "platform/oledb/connection.h"
#include "platform/oledb/in_list_literals.h"
#include "platform/oledb/sqlite_handles.h"
#include "platform/oledb/sqlite_procedures.h"
#include "platform/oledb/sqlite_real_lists.h"

namespace oledb_backend {

// Whether stmt, prepared from shaped.shape, numbers its parameters as the shape was read: its
// named ones and one anonymous "?" per taken-out literal, in the places shaped.parameters gives.
bool NumbersParametersAsShaped(sqlite3_stmt* stmt, const ShapedText& shaped);

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
    std::vector<ParameterRef> ParametersIn(const std::string& sql) override;
    bool OffersProcedure(const std::string& name) override;
    std::unique_ptr<RowCursor> CallProcedure(const ProcedureCall& call, Reading reading) override;
    std::vector<std::pair<std::string, std::string>> ReadMetaNames() override;
    std::unique_ptr<Catalogue> OpenCatalogue() override;
    std::unique_ptr<BulkWriter> StartBulkWrite(const TableDefinition& table) override;
    void StopWhen(std::function<bool()> stop) override;
    // Throws CursorError("interrupted") when the stop function given to StopWhen asks to stop.
    void CheckStop() const;
    // Offers procedure under folded_name (ASCII lower case) on this connection, before the process-wide set.
    void AddProcedure(const std::string& folded_name, Procedure procedure);

    // Prepares sql, which must hold exactly one statement (blanks, comments and ';' may follow).
    Statement Prepare(std::string_view sql);

    // Takes back a statement of a shaped text once its cursor is done, for the next text of that shape.
    void KeepShapedStatement(const std::string& shape, Statement statement);
    // Statements prepared by RunStatement so far (the cache's effect, for tests and benchmarks).
    std::size_t statements_prepared() const { return statements_prepared_; }
    // Probes of a key list's column made so far (sqlite_real_lists.h; for tests and benchmarks).
    std::size_t real_list_probes() const { return real_lists_.probes(); }

    static constexpr std::size_t kShapesKept = 16;

private:
    SqliteConnection(Database db, std::string path) : db_(std::move(db)), path_(std::move(path)) {}
    // The cursor of a shaped text; none when the shape cannot stand for the text (then the text runs as it is).
    std::unique_ptr<RowCursor> RunShaped(const ShapedText& shaped, const NamedParams& params);
    Statement PrepareCounted(std::string_view sql);
    // Whether shaped's key lists stand against the columns they stood against when it was bound,
    // asked again now (after its statement was prepared again at its first step).
    bool SameRealLists(const ShapedText& shaped);
    // The procedure of that name: this connection's own first, else the process-wide one; null when neither.
    const Procedure* FindOwnOrShared(const std::string& name) const;

    Database db_;
    std::string path_;
    ProcedureMemory procedure_memory_;  // declared after db_: emptied before the database closes
    std::map<std::string, Procedure> procedures_;  // this connection's own, by ASCII lower-case name
    std::list<std::pair<std::string, Statement>> shaped_;  // idle statements by shape, oldest first
    std::list<std::string> refused_;  // shapes that cannot stand for their texts (writes), latest last
    std::size_t statements_prepared_ = 0;
    RealListMemo real_lists_;  // which shaped key lists stand against a REAL column
    std::function<bool()> stop_;  // asked by SQLite's progress handler and between written rows
};

// The open SQLite database behind a connection, for the database side's own SQLite code (QueryRows,
// index tags); valid while the connection lives. Throws CursorError when the connection is another engine's.
sqlite3* SqliteHandle(Connection& connection);

}  // namespace oledb_backend
