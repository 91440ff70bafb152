#pragma once
// The PostgreSQL backend, on libpq: one session with a server. Statements run with their named
// parameters made numbered and bound as values (the server infers each one's type from where it
// stands); a call text of a function the server has runs as SELECT * FROM function($1, ...).
// The session speaks UTF-8 and writes dates in ISO form whatever the server's own settings.
// One query runs at a time: a streamed result still being read when another query needs the
// session first takes its remaining rows into memory. A session the server lost is opened anew
// before the next query; the query that met the loss fails with the server's message.
// A statement whose IN lists hold quoted literals only runs, between transactions, as the prepared
// statement of its shape (pg_in_lists.h), the last 16 shapes kept; where that statement cannot be
// prepared or fails, the text runs as itself, so answers and errors stay the text's own. A call of
// a server function is prepared once per session likewise, and its answer always read whole.

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/oledb/connection.h"
#include "platform/oledb/pg_handles.h"
#include "platform/oledb/pg_in_lists.h"
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
    std::vector<ParameterRef> ParametersIn(const std::string& sql) override;
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
    // With prepared, sql is the name of a statement the session prepared.
    std::unique_ptr<RowCursor> Run(const std::string& sql, const std::vector<PgParam>& params, Reading reading,
                                   bool typed, bool prepared = false);
    // The shaped statement run with values and the shape's arrays after them; null where the text
    // must run as itself (see the contract above).
    std::unique_ptr<RowCursor> RunShaped(const PgShapedText& shaped, std::vector<PgParam> values, Reading reading);
    // The name of the session's statement of shape, prepared now if need be; "" when the server refuses it.
    std::string PreparedShape(PGconn* conn, const std::string& shape, int parameters);
    void ForgetShape(const std::string& shape);
    // True when the session still holds the prepared statement of that name.
    bool StillPrepared(const std::string& name);

    struct Shape {
        std::string text, name;  // the shaped text, the prepared statement's name
    };

    PgConn conn_;
    PgStreamCursor* streaming_ = nullptr;  // not owned: the cursor tells when it lets go
    std::set<std::string> functions_;      // functions the server was found to have (lower case)
    std::function<bool()> stop_;           // asked between rows a bulk writer writes
    std::deque<Shape> shapes_;             // the session's prepared shapes, the last used at the back
    std::deque<std::string> refused_;      // shapes the server would not prepare, run as texts
    long shapes_made_ = 0;                 // numbers the prepared shapes' names
};

}  // namespace oledb_backend
