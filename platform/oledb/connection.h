#pragma once
// The backend seam: one open database, whichever engine is behind it. The layer (commands,
// results, COLEDBData) speaks only to this interface; Connection::Open picks the engine once,
// from the open text. Shared: COLEDBData, its commands and their open results each hold a
// shared_ptr, so the database stays open until the last of them is gone.
// Every failure throws CursorError with the database's own message (UTF-8).
// Single-threaded: a connection and everything made from it are used on one thread at a time.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/oledb/bulk_writer.h"
#include "platform/oledb/call_text.h"
#include "platform/oledb/catalogue.h"
#include "platform/oledb/row_cursor.h"

namespace oledb_backend {

// A "file:" URI that names exactly the existing SQLite file at path, whatever its bytes: everything
// but unreserved ASCII letters, digits, "-._~" and '/' is percent-escaped, so no character of the
// path reads as URI or connection-text syntax; "?mode=rw" keeps opening it from creating a file,
// "?mode=rwc" (create) lets it.
std::string FileUri(std::string_view path, bool create = false);

// A database that could not be opened: what() says so with the text named, reason() is the
// engine's own words alone (UTF-8, passwords hidden).
class OpenFailure : public CursorError {
public:
    OpenFailure(const std::string& message, std::string reason) : CursorError(message), reason_(std::move(reason)) {}
    const std::string& reason() const { return reason_; }

private:
    std::string reason_;
};

// Parameter values by name (UTF-8): a named one's without its ':', '@' or '$', a numbered one's
// as its number in decimal digits ("1", "2", ...).
using NamedParams = std::map<std::string, SqlValue>;

// One parameter of a statement text, as the engine reads it.
struct ParameterRef {
    std::string written;  // as the text writes it: ":top", "@top", "$top", "?", "?2", "$2"
    std::string name;     // what NamedParams binds it by: "top", or its number "2"
};

// How the rows of a cursor will be read: all at once into memory, or streamed one by one.
enum class Reading { kWhole, kStream };

class Connection : public std::enable_shared_from_this<Connection> {
public:
    // Opens what text (UTF-8) names: a PostgreSQL connection string ("postgresql://...",
    // "postgres://..." or libpq's "host=... dbname=..." form), otherwise a SQLite database file
    // given as a path, a "file:" URI or a "Data Source=path;..." text.
    static std::shared_ptr<Connection> Open(std::string_view text);

    virtual ~Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Runs every statement of sql, discarding any rows.
    virtual void Execute(const std::string& sql) = 0;
    // Runs sql, which must hold exactly one statement (blanks, comments and ';' may follow), with
    // its parameters bound from params by the names ParametersIn gives them; one not in params is NULL.
    virtual std::unique_ptr<RowCursor> RunStatement(const std::string& sql, const NamedParams& params,
                                                    Reading reading) = 0;
    // The parameters sql writes, outside its strings, quoted names and comments, in the order of
    // their first appearance, each written form once (every plain "?" is a parameter of its own).
    // A plain "?" is numbered as SQLite numbers it: one past the highest number given so far,
    // where the first appearance of each named parameter took a number too.
    // Throws CursorError where the engine refuses the text before reading it.
    virtual std::vector<ParameterRef> ParametersIn(const std::string& sql) = 0;
    // Whether the database offers a procedure of this name (a call text of it runs the procedure).
    virtual bool OffersProcedure(const std::string& name) = 0;
    // Runs a procedure the database offers, its arguments bound as values, never pasted into SQL.
    virtual std::unique_ptr<RowCursor> CallProcedure(const ProcedureCall& call, Reading reading) = 0;
    // The rows of the meta-name catalogue (meta_names.h), UTF-8; none when the database has none.
    virtual std::vector<std::pair<std::string, std::string>> ReadMetaNames() = 0;
    // What the database declares about its tables (catalogue.h).
    virtual std::unique_ptr<Catalogue> OpenCatalogue() = 0;
    // Creates the table in a transaction of its own, or in a savepoint of the caller's open one when
    // the definition says so (bulk_writer.h).
    virtual std::unique_ptr<BulkWriter> StartBulkWrite(const TableDefinition& table) = 0;
    // Long statements and bulk writes stop with CursorError soon after stop() answers true (asked
    // often, between rows at least). An empty function stops nothing.
    virtual void StopWhen(std::function<bool()> stop) = 0;

protected:
    Connection() = default;
};

}  // namespace oledb_backend
