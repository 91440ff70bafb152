#pragma once
// The PostgreSQL backend, on libpq: one session with a server. Statements run with their named
// parameters made numbered and bound as values (the server infers each one's type from where it
// stands); a call text of a function the server has runs as SELECT * FROM function($1, ...).
// The session speaks UTF-8 and writes dates in ISO form whatever the server's own settings.
// One query runs at a time: a streamed result still being read when another query needs the
// session first takes its remaining rows into memory. A session the server lost is opened anew
// before the next query; the query that met the loss fails with the server's message.

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/oledb/connection.h"
#include "platform/oledb/pg_handles.h"
#include "platform/oledb/pg_values.h"

namespace oledb_backend {

class PgStreamCursor;

class PgConnection : public Connection {
public:
    // Connects; throws CursorError with libpq's reason, its passwords hidden (connection_secrets.h).
    static std::shared_ptr<PgConnection> Open(const std::string& text);
    ~PgConnection() override;

    void Execute(const std::string& sql) override;
    std::unique_ptr<RowCursor> RunStatement(const std::string& sql, const NamedParams& params,
                                            Reading reading) override;
    bool OffersProcedure(const std::string& name) override;
    std::unique_ptr<RowCursor> CallProcedure(const ProcedureCall& call, Reading reading) override;
    std::vector<std::pair<std::string, std::string>> ReadMetaNames() override;
    std::unique_ptr<Catalogue> OpenCatalogue() override;
    std::unique_ptr<BulkWriter> StartBulkWrite(const TableDefinition& table) override;
    void StopWhen(std::function<bool()> stop) override;
    // Throws CursorError("interrupted") when the stop function given to StopWhen asks to stop.
    void CheckStop() const;
    // The rows of sql run with text parameters $1..$n (types the server's to infer), each cell as
    // text (integers and booleans in digits, NULL as ""), for the catalogue.
    std::vector<std::vector<std::string>> Query(const std::string& sql, const std::vector<std::string>& params);

    // For the cursors: the session, ready for a new query (see the contract above).
    PGconn* Claim();
    PGconn* conn() const { return conn_.get(); }
    // The streamed cursor now holding the session; null when it lets go.
    void SetStreaming(PgStreamCursor* cursor) { streaming_ = cursor; }
    PgStreamCursor* streaming() const { return streaming_; }

private:
    explicit PgConnection(PgConn conn) : conn_(std::move(conn)) {}
    // Runs sql with values for $1..$n; typed: each with its type, else every type left to the server.
    std::unique_ptr<RowCursor> Run(const std::string& sql, const std::vector<PgParam>& params, Reading reading,
                                   bool typed);

    PgConn conn_;
    PgStreamCursor* streaming_ = nullptr;  // not owned: the cursor tells when it lets go
    std::set<std::string> functions_;      // functions the server was found to have (lower case)
    std::function<bool()> stop_;           // asked between rows a bulk writer writes
};

}  // namespace oledb_backend
