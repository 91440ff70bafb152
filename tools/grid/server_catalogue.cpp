// The catalogue of a PostgreSQL server: the tables the connection's search_path shows, and the tags
// of the server's rowlark_index_tags (database/postgres/rowlark.sql). A build without libpq says so.
#include "tools/grid/table_catalogue.h"

#ifdef ROWLARK_GRID_SERVER
#include <libpq-fe.h>

#include "database/database_error.h"
#include "platform/oledb/connection_secrets.h"
#endif

namespace grid_tool {

#ifndef ROWLARK_GRID_SERVER

std::unique_ptr<TableCatalogue> OpenServerCatalogue(const std::string&, std::string& error) {
    error = "this build has no PostgreSQL client: a server connection string cannot be opened";
    return nullptr;
}

#else

namespace {

using rowlark::database::DatabaseError;

struct ClearResult {
    void operator()(PGresult* result) const { PQclear(result); }
};
using Result = std::unique_ptr<PGresult, ClearResult>;

class ServerCatalogue : public TableCatalogue {
public:
    explicit ServerCatalogue(PGconn* conn) : conn_(conn) {}
    ~ServerCatalogue() override { PQfinish(conn_); }

    std::optional<std::string> Table(const std::string& name) override {
        return First("SELECT c.relname FROM pg_class c WHERE c.oid = public.rowlark_find_table($1)", {name});
    }

    std::vector<std::string> TagNames(const std::string& table) override {
        return All("SELECT t.tag FROM public.rowlark_index_tags t"
                   " WHERE to_regclass(format('%I.%I', t.table_schema, t.table_name)) = public.rowlark_find_table($1)"
                   " ORDER BY t.ctid",  // the order the rows went in: the order the tags were added
                   {table});
    }

    std::optional<CatalogueTag> Tag(const std::string& table, const std::string& tag) override {
        const Result found = Run(
            "SELECT t.tag, t.key_field, public.rowlark_tag_value_sql(t.expression, t.kind)"
            " FROM public.rowlark_index_tag_list() t"
            " WHERE t.table_name = $1 AND public.rowlark_ascii_lower(t.tag) = public.rowlark_ascii_lower($2)",
            {table, tag});
        if (PQntuples(found.get()) == 0) return std::nullopt;
        return CatalogueTag{PQgetvalue(found.get(), 0, 0), PQgetvalue(found.get(), 0, 1), PQgetvalue(found.get(), 0, 2)};
    }

    std::optional<std::string> Column(const std::string& table, const std::string& name) override {
        return First(kColumns + std::string(" AND public.rowlark_ascii_lower(a.attname) = public.rowlark_ascii_lower($2)"
                                            " ORDER BY a.attname = $2 DESC LIMIT 1"),
                     {table, name});
    }

    std::vector<std::string> Columns(const std::string& table) override {
        return All(kColumns + std::string(" ORDER BY a.attnum"), {table});
    }

    std::optional<std::string> PrimaryKey(const std::string& table) override {
        const auto keys = All("SELECT a.attname FROM pg_index i JOIN pg_attribute a ON a.attrelid = i.indrelid"
                              " AND a.attnum = ANY(i.indkey) WHERE i.indrelid = public.rowlark_find_table($1)"
                              " AND i.indisprimary",
                              {table});
        if (keys.size() != 1) return std::nullopt;
        return keys.front();
    }

private:
    static constexpr const char* kColumns =
        "SELECT a.attname FROM pg_attribute a WHERE a.attrelid = public.rowlark_find_table($1)"
        " AND a.attnum > 0 AND NOT a.attisdropped";

    Result Run(const std::string& sql, const std::vector<std::string>& params) {
        std::vector<const char*> values;
        for (const auto& param : params) values.push_back(param.c_str());
        Result result(PQexecParams(conn_, sql.c_str(), static_cast<int>(values.size()), nullptr, values.data(),
                                   nullptr, nullptr, 0));
        if (!result || PQresultStatus(result.get()) != PGRES_TUPLES_OK) {
            const char* primary = result ? PQresultErrorField(result.get(), PG_DIAG_MESSAGE_PRIMARY) : nullptr;
            throw DatabaseError(primary ? primary : PQerrorMessage(conn_));
        }
        return result;
    }
    std::vector<std::string> All(const std::string& sql, const std::vector<std::string>& params) {
        const Result result = Run(sql, params);
        std::vector<std::string> values;
        for (int row = 0; row < PQntuples(result.get()); ++row) values.emplace_back(PQgetvalue(result.get(), row, 0));
        return values;
    }
    std::optional<std::string> First(const std::string& sql, const std::vector<std::string>& params) {
        auto values = All(sql, params);
        if (values.empty()) return std::nullopt;
        return values.front();
    }

    PGconn* conn_;
};

// libpq's message on one line, each run of white space one blank: the grid says it on one line.
std::string OneLine(const char* message) {
    std::string line;
    for (const char* c = message; *c; ++c) {
        const bool space = *c == '\n' || *c == '\t' || *c == ' ';
        if (!space) line += *c;
        else if (!line.empty() && line.back() != ' ') line += ' ';
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    return line;
}

}  // namespace

std::unique_ptr<TableCatalogue> OpenServerCatalogue(const std::string& connection, std::string& error) {
    // Refused before libpq reads it: libpq would take a piece of the password for a host, say.
    error = oledb_backend::MisreadPasswordAdvice(connection);
    if (!error.empty()) {
        error = "cannot connect: " + error;
        return nullptr;
    }
    PGconn* conn = PQconnectdb(connection.c_str());
    if (PQstatus(conn) != CONNECTION_OK) {
        // libpq's message may quote the connection string, or a piece of it.
        error = "cannot connect: " + OneLine(oledb_backend::HidePasswordsIn(PQerrorMessage(conn), connection).c_str());
        PQfinish(conn);
        return nullptr;
    }
    Result tags(PQexec(conn, "SELECT to_regproc('public.rowlark_index_tag_list') IS NOT NULL"));
    if (!tags || PQresultStatus(tags.get()) != PGRES_TUPLES_OK || std::string(PQgetvalue(tags.get(), 0, 0)) != "t") {
        error = "the server has no index tags: install database/postgres/rowlark.sql first";
        PQfinish(conn);
        return nullptr;
    }
    return std::make_unique<ServerCatalogue>(conn);
}

#endif

}  // namespace grid_tool
