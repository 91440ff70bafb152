#include "bench/postgres/server_session.h"

#include <cstdio>
#include <map>
#include <tuple>
#include <stdexcept>
#include <utility>

namespace rowlark::bench::pg {

namespace {

struct Finish {
    void operator()(PGconn* conn) const { PQfinish(conn); }
};
std::unique_ptr<PGconn, Finish> g_session;
std::string g_text;

}  // namespace

long AnchorRank(const Place& place) {
    switch (place.at) {
        case At::Start: return kWindow;
        case At::Middle: return place.rows / 2;
        case At::End: return place.rows - kWindow - 1;
    }
    return 0;
}

std::string Where(const Place& place) {
    const char* at = place.at == At::Start ? "start" : place.at == At::Middle ? "middle" : "end";
    return "rows:" + std::to_string(place.rows) + "/at:" + at + (place.forward ? "/forward" : "/backward");
}

std::string TableName(long rows) { return "goods_" + std::to_string(rows); }

const char* TagName(Order order) { return order == Order::Bytes ? "name" : "name_ru"; }

void OpenSession(const std::string& text) {
    g_session.reset(PQconnectdb(text.c_str()));
    if (!g_session || PQstatus(g_session.get()) != CONNECTION_OK) {
        const std::string reason = g_session ? PQerrorMessage(g_session.get()) : "out of memory";
        g_session.reset();
        throw std::runtime_error("cannot connect: " + reason);
    }
    g_text = text;
    Run("SET client_min_messages = warning");  // no notices of "IF NOT EXISTS" on the terminal
    Run(std::string("CREATE SCHEMA IF NOT EXISTS ") + kSchema);
    Run(std::string("SET search_path TO ") + kSchema + ", public");
}

void CloseSession() { g_session.reset(); }

PGconn* Session() {
    if (!g_session) throw std::runtime_error("no session on the server");
    return g_session.get();
}

std::string ProviderConnectionText() {
    if (g_text.rfind("postgres", 0) == 0) {  // a URI: the options are a query parameter
        const char* join = g_text.find('?') == std::string::npos ? "?" : "&";
        return g_text + join + "options=-c%20search_path%3D" + kSchema + "%2Cpublic";
    }
    return g_text + " options='-c search_path=" + kSchema + ",public'";
}

Result Checked(PGresult* answer, const std::string& what) {
    Result result(answer);
    const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
    if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK)
        throw std::runtime_error(what.substr(0, 80) + ": " + PQerrorMessage(Session()));
    return result;
}

Result Run(const std::string& sql, const std::vector<std::string>& params) {
    std::vector<const char*> values;
    for (const std::string& param : params) values.push_back(param.c_str());
    return Checked(PQexecParams(Session(), sql.c_str(), static_cast<int>(values.size()), nullptr, values.data(),
                                nullptr, nullptr, 0),
                   sql);
}

void EnsureTable(long rows) {
    const std::string table = TableName(rows);
    Result done = Run("SELECT 1 FROM public.rowlark_index_tags WHERE table_schema = $1 AND table_name = $2"
                      " AND tag = 'name_ru'",
                      {kSchema, table});
    if (PQntuples(done.get()) == 1) return;  // the tag is added last: the table is whole
    std::fprintf(stderr, "bench_postgres: making %s.%s on the server\n", kSchema, table.c_str());
    Run("DROP TABLE IF EXISTS " + table);
    Run("DELETE FROM public.rowlark_index_tags WHERE table_schema = $1 AND table_name = $2", {kSchema, table});
    Run("CREATE TABLE " + table +
        " (id integer PRIMARY KEY, code text NOT NULL, name text NOT NULL, price numeric NOT NULL)");
    // md5 digests: text of unique values in no particular order.
    Run("INSERT INTO " + table + " SELECT i, 'C-' || lpad(i::text, 7, '0'), md5(i::text), (i % 99999) / 100.0" +
        " FROM generate_series(1, " + std::to_string(rows) + ") AS i");
    Run("SELECT rowlark_add_index_tag($1, 'name', 'name', 'id')", {table});
    Run("SELECT rowlark_add_index_tag($1, 'name_ru', 'name', 'id', 'text', 'russian')", {table});
    Run("VACUUM ANALYZE " + table);
}

const std::string& TagValueSql(Order order) {
    static std::map<Order, std::string> values;
    std::string& value = values[order];
    if (value.empty()) {
        Result answer = Run("SELECT rowlark_tag_value_sql('name', 'text', $1)",
                            {order == Order::Bytes ? "bytes" : "russian"});
        value = PQgetvalue(answer.get(), 0, 0);
    }
    return value;
}

Anchor AnchorOf(const Place& place) {
    static std::map<std::tuple<long, long, Order>, Anchor> known;
    const long rank = AnchorRank(place);
    auto found = known.find({place.rows, rank, place.order});
    if (found != known.end()) return found->second;
    const std::string table = TableName(place.rows);
    Result row = Run("SELECT id::text, name FROM " + table + " ORDER BY " + TagValueSql(place.order) + ", " + table +
                         ".id OFFSET $1 LIMIT 1",
                     {std::to_string(rank)});
    if (PQntuples(row.get()) != 1) throw std::runtime_error("no row of rank " + std::to_string(rank) + " in " + table);
    const Anchor anchor{PQgetvalue(row.get(), 0, 0), PQgetvalue(row.get(), 0, 1)};
    known.emplace(std::make_tuple(place.rows, rank, place.order), anchor);
    return anchor;
}

std::size_t Consume(const PGresult* result) {
    std::size_t bytes = 0;
    for (int row = 0; row < PQntuples(result); ++row)
        for (int column = 0; column < PQnfields(result); ++column) bytes += PQgetlength(result, row, column);
    return bytes;
}

std::vector<long> Keys(const PGresult* result, int column) {
    std::vector<long> keys;
    for (int row = 0; row < PQntuples(result); ++row) keys.push_back(std::stol(PQgetvalue(result, row, column)));
    return keys;
}

}  // namespace rowlark::bench::pg
