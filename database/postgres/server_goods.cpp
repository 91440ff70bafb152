#include "database/postgres/server_goods.h"

#include "database/database_error.h"
#include "platform/oledb/catalogue.h"
#include "platform/oledb/connection.h"
#include "platform/oledb/signal_stop.h"

namespace rowlark::database {

namespace {

// The rows of a statement with text parameters; a failure throws DatabaseError with the server's message.
std::size_t CountRows(oledb_backend::Connection& connection, const std::string& sql, oledb_backend::NamedParams params = {}) {
    auto cursor = connection.RunStatement(sql, params, oledb_backend::Reading::kWhole);
    std::size_t rows = 0;
    while (cursor->Step()) ++rows;
    return rows;
}

GoodsReport Write(oledb_backend::Connection& connection, const GoodsOptions& options,
                  const std::function<bool()>& stop_requested) {
    using oledb_backend::SqlValue;
    if (CountRows(connection, "SELECT 1 FROM pg_proc WHERE proname = 'rowlark_add_index_tag'") == 0)
        throw DatabaseError("the server has no index tags: install database/postgres/rowlark.sql first");
    // The table goes to the first schema of the search_path; one of that name further on stays untouched.
    if (CountRows(connection, "SELECT 1 FROM pg_class WHERE relnamespace = current_schema()::regnamespace AND relname = :t",
                  {{"t", SqlValue::Text(options.table)}}) != 0)
        throw DatabaseError("the server already has a table " + options.table + "; nothing changed");

    const auto words = LoadRussianWords(options.dictionary);
    const auto writer = connection.StartBulkWrite(GoodsTableDefinition(options));
    WriteGoodsRows(*writer, options, words);
    writer->EndRows();  // the primary key after the rows: one sort instead of growing with every row
    const oledb_backend::NamedParams table{{"t", SqlValue::Text(options.table)}};
    CountRows(connection,
              std::string("SELECT rowlark_add_index_tag(:t, 'name', 'name', 'id', 'text', '") +
                  TextOrderName(options.name_order) + "')",
              table);
    CountRows(connection, "SELECT rowlark_add_index_tag(:t, 'code', 'code', 'id', 'text')", table);
    CountRows(connection, "SELECT rowlark_add_index_tag(:t, 'price', 'price', 'id', 'number')", table);
    if (stop_requested && stop_requested()) throw DatabaseError("interrupted");
    // From here a stop no longer ends the session: the COMMIT's outcome is what is reported.
    oledb_backend::DisarmSignalStop();
    writer->Commit();
    connection.Execute("ANALYZE " + oledb_backend::QuotedName(options.table));
    return {words.from_dictionary, words.words.size()};
}

}  // namespace

GoodsReport WriteGoodsToServer(const std::string& connection, const GoodsOptions& options,
                               const std::function<bool()>& stop_requested) {
    if (options.rows < 0) throw DatabaseError("sample goods: the row count must be 0 or more");
    if (options.table.empty()) throw DatabaseError("sample goods: the table name is empty");
    std::shared_ptr<oledb_backend::Connection> server;
    try {
        server = oledb_backend::Connection::Open(connection);
    } catch (const oledb_backend::OpenFailure& failure) {
        throw DatabaseError("cannot connect: " + failure.reason());
    }
    server->StopWhen(stop_requested);
    const oledb_backend::SignalStopArmed armed(*server);  // a stopping signal ends a wait on the server at once
    try {
        return Write(*server, options, stop_requested);
    } catch (const oledb_backend::CursorError& error) {
        throw DatabaseError(error.what());  // this function's callers catch the database side's error
    }
}

}  // namespace rowlark::database
