#include "database/postgres/server_goods.h"

#include <libpq-fe.h>

#include <cstring>
#include <memory>

#include "database/database_error.h"
#include "database/value_text.h"

namespace rowlark::database {

namespace {

struct FinishConnection {
    void operator()(PGconn* connection) const { PQfinish(connection); }
};
struct ClearResult {
    void operator()(PGresult* result) const { PQclear(result); }
};
using Result = std::unique_ptr<PGresult, ClearResult>;

std::string ServerMessage(PGconn* conn, PGresult* result) {
    const char* primary = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    // libpq's connection messages run over several lines; the tool reports one.
    std::string message;
    bool blank = false;
    for (const char* c = primary ? primary : PQerrorMessage(conn); *c; ++c) {
        const bool space = *c == '\n' || *c == '\t' || *c == ' ';
        if (space && !blank && !message.empty()) message += ' ';
        if (!space) message += *c;
        blank = space;
    }
    while (!message.empty() && message.back() == ' ') message.pop_back();
    return message;
}

// Runs a statement with text parameters; throws with the server's message when it fails.
Result Run(PGconn* conn, const std::string& sql, const std::vector<std::string>& params = {}) {
    std::vector<const char*> values;
    for (const std::string& param : params) values.push_back(param.c_str());
    Result result(PQexecParams(conn, sql.c_str(), static_cast<int>(values.size()), nullptr, values.data(), nullptr,
                               nullptr, 0));
    const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) throw DatabaseError(ServerMessage(conn, result.get()));
    return result;
}

// A field of COPY's text format: backslash, tab, line feed and carriage return escaped.
void AppendField(std::string& line, const std::string& value) {
    for (const char c : value) {
        switch (c) {
            case '\\': line += "\\\\"; break;
            case '\t': line += "\\t"; break;
            case '\n': line += "\\n"; break;
            case '\r': line += "\\r"; break;
            default: line += c;
        }
    }
}

void AppendRow(std::string& buffer, const GoodsRow& row) {
    buffer += std::to_string(row.id);
    buffer += '\t';
    AppendField(buffer, row.code);
    buffer += '\t';
    AppendField(buffer, row.name);
    buffer += '\t';
    buffer += FormatReal(row.price);  // the shortest text that reads back as the same double
    buffer += '\t';
    buffer += std::to_string(row.qty);
    buffer += '\t';
    if (row.note) AppendField(buffer, *row.note);
    else buffer += "\\N";
    buffer += '\n';
}

// A name in double quotes as the server reads it.
std::string Identifier(PGconn* conn, const std::string& name) {
    std::unique_ptr<char, decltype(&PQfreemem)> quoted(PQescapeIdentifier(conn, name.c_str(), name.size()), &PQfreemem);
    if (!quoted) throw DatabaseError(ServerMessage(conn, nullptr));
    return quoted.get();
}

struct Interrupted : DatabaseError {
    Interrupted() : DatabaseError("interrupted") {}
};

void Copy(PGconn* conn, const std::string& table, const GoodsOptions& options, const WordList& words,
          const std::function<bool()>& stop_requested) {
    Result started(PQexec(conn, ("COPY " + Identifier(conn, table) + " (id, code, name, price, qty, note) FROM STDIN").c_str()));
    if (!started || PQresultStatus(started.get()) != PGRES_COPY_IN) throw DatabaseError(ServerMessage(conn, started.get()));
    std::string buffer;
    auto flush = [&] {
        if (PQputCopyData(conn, buffer.data(), static_cast<int>(buffer.size())) != 1)
            throw DatabaseError(ServerMessage(conn, nullptr));
        buffer.clear();
    };
    try {
        ForEachGoodsRow(options, words, [&](const GoodsRow& row) {
            if (stop_requested && stop_requested()) throw Interrupted();
            AppendRow(buffer, row);
            if (buffer.size() >= (1u << 20)) flush();
        });
        flush();
    } catch (...) {
        PQputCopyEnd(conn, "the writer stopped");  // the server drops what it has
        Result ended(PQgetResult(conn));
        while (Result(PQgetResult(conn))) {
        }
        throw;
    }
    if (PQputCopyEnd(conn, nullptr) != 1) throw DatabaseError(ServerMessage(conn, nullptr));
    Result ended(PQgetResult(conn));
    const bool copied = ended && PQresultStatus(ended.get()) == PGRES_COMMAND_OK;
    const std::string message = copied ? "" : ServerMessage(conn, ended.get());
    while (Result(PQgetResult(conn))) {
    }
    if (!copied) throw DatabaseError(message);
}

}  // namespace

GoodsReport WriteGoodsToServer(const std::string& connection, const GoodsOptions& options,
                               const std::function<bool()>& stop_requested) {
    if (options.rows < 0) throw DatabaseError("sample goods: the row count must be 0 or more");
    if (options.table.empty()) throw DatabaseError("sample goods: the table name is empty");
    std::unique_ptr<PGconn, FinishConnection> conn(PQconnectdb(connection.c_str()));
    if (!conn || PQstatus(conn.get()) != CONNECTION_OK)
        throw DatabaseError("cannot connect: " + ServerMessage(conn.get(), nullptr));
    PGconn* db = conn.get();
    Run(db, "SET client_min_messages = warning");
    if (PQntuples(Run(db, "SELECT 1 FROM pg_proc WHERE proname = 'rowlark_add_index_tag'").get()) == 0)
        throw DatabaseError("the server has no index tags: install database/postgres/rowlark.sql first");
    // The table goes to the first schema of the search_path; one of that name further on stays untouched.
    if (PQntuples(Run(db, "SELECT 1 FROM pg_class WHERE relnamespace = current_schema()::regnamespace AND relname = $1",
                      {options.table}).get()) != 0)
        throw DatabaseError("the server already has a table " + options.table + "; nothing changed");

    const auto words = LoadRussianWords(options.dictionary);
    Run(db, "BEGIN");
    try {
        const std::string table = Identifier(db, options.table);
        Run(db, "CREATE TABLE " + table +
                    " (id bigint NOT NULL, code text NOT NULL, name text NOT NULL,"
                    " price double precision NOT NULL, qty integer NOT NULL, note text)");
        Copy(db, options.table, options, words, stop_requested);
        // The key and the tags' indexes after the rows: one sort each instead of growing with every row.
        Run(db, "ALTER TABLE " + table + " ADD PRIMARY KEY (id)");
        for (const char* tag : {"name", "code"})
            Run(db, "SELECT rowlark_add_index_tag($1, $2, $2, 'id', 'text')", {options.table, tag});
        Run(db, "SELECT rowlark_add_index_tag($1, 'price', 'price', 'id', 'number')", {options.table});
        if (stop_requested && stop_requested()) throw Interrupted();
        Run(db, "COMMIT");
    } catch (...) {
        Result rolled_back(PQexec(db, "ROLLBACK"));
        throw;
    }
    Run(db, "ANALYZE " + Identifier(db, options.table));
    return {words.from_dictionary, words.words.size()};
}

}  // namespace rowlark::database
