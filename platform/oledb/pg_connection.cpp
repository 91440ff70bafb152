#include "platform/oledb/pg_connection.h"

#include <algorithm>

#include "platform/oledb/connection_secrets.h"
#include "platform/oledb/meta_names.h"
#include "platform/oledb/pg_cursor.h"
#include "platform/oledb/pg_statement_text.h"
#include "platform/oledb/pg_values.h"

namespace oledb_backend {

namespace {

// Session settings the layer relies on, added to whatever options the connection text gives:
// ISO dates (as SQLite's date texts read), and floats written shortest-exact.
constexpr const char* kSessionOptions = "-c DateStyle=ISO,YMD -c extra_float_digits=1";
// A statement that waits for another session's lock (an ALTER TABLE, a LOCK TABLE) gives up after two
// seconds with the server's error, as a SQLite file's busy wait does, instead of holding the host.
// Before the connection string's own options, so a lock_timeout given there wins.
constexpr const char* kDefaultSessionOptions = "-c lock_timeout=2s";

// The server's notices (a RAISE NOTICE, a DROP ... IF EXISTS of nothing) have no place in the
// host: SQLite gives none, and libpq would write them to the process's stderr.
void IgnoreNotice(void* /*arg*/, const char* /*message*/) {}

struct ConninfoFree {
    void operator()(PQconninfoOption* options) const { PQconninfoFree(options); }
};

}  // namespace

std::shared_ptr<PgConnection> PgConnection::Open(const std::string& text) {
    const std::string misread = MisreadPasswordAdvice(text);
    if (!misread.empty()) throw OpenFailure(misread, misread);
    char* parse_error = nullptr;
    std::unique_ptr<PQconninfoOption, ConninfoFree> parsed(PQconninfoParse(text.c_str(), &parse_error));
    if (!parsed) {
        std::string message = parse_error ? parse_error : "cannot read the connection string";
        PQfreemem(parse_error);
        while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) message.pop_back();
        message = HidePasswordsIn(message, text);  // libpq's reading errors quote the text
        throw OpenFailure(message, message);
    }
    std::vector<const char*> keywords;
    std::vector<const char*> values;
    std::string options = std::string(kDefaultSessionOptions) + " " + kSessionOptions;
    for (const PQconninfoOption* o = parsed.get(); o->keyword; ++o) {
        const std::string_view keyword = o->keyword;
        if (!o->val || keyword == "client_encoding") continue;
        if (keyword == "options") {
            options = std::string(kDefaultSessionOptions) + " " + o->val + " " + kSessionOptions;
            continue;
        }
        keywords.push_back(o->keyword);
        values.push_back(o->val);
    }
    keywords.push_back("client_encoding");
    values.push_back("UTF8");  // the layer converts to and from CP1251 itself, as for SQLite
    keywords.push_back("options");
    values.push_back(options.c_str());
    keywords.push_back(nullptr);
    values.push_back(nullptr);

    PgConn conn(PQconnectdbParams(keywords.data(), values.data(), 0));
    if (!conn) throw CursorError("out of memory opening a server connection");
    if (PQstatus(conn.get()) != CONNECTION_OK) {
        const std::string message = HidePasswordsIn(PgErrorMessage(nullptr, conn.get()), text);
        throw OpenFailure(message, message);
    }
    PQsetNoticeProcessor(conn.get(), IgnoreNotice, nullptr);  // kept by PQreset as well
    return std::shared_ptr<PgConnection>(new PgConnection(std::move(conn)));
}

PgConnection::~PgConnection() = default;

PGconn* PgConnection::Claim() {
    if (streaming_) streaming_->TakeRest();  // lets go of the session: SetStreaming(nullptr)
    PGconn* conn = conn_.get();
    if (PQstatus(conn) == CONNECTION_BAD) {
        shapes_.clear();  // a new session has none of the old one's prepared statements
        PQreset(conn);
        if (PQstatus(conn) != CONNECTION_OK) throw CursorError(PgErrorMessage(nullptr, conn));
    }
    return conn;
}

void PgConnection::Execute(const std::string& sql) {
    PGconn* conn = Claim();
    // Several statements in one text run as one transaction: all of them or, on a failure, none.
    const PgResult result(PQexec(conn, sql.c_str()));
    const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK || status == PGRES_EMPTY_QUERY) return;
    PgThrowFailure(result.get(), conn);
}

std::unique_ptr<RowCursor> PgConnection::Run(const std::string& sql, const std::vector<PgParam>& params,
                                             Reading reading, bool typed, bool prepared) {
    std::vector<const char*> values;
    std::vector<Oid> types;
    for (const PgParam& param : params) {
        values.push_back(param.text ? param.text->c_str() : nullptr);
        types.push_back(typed || param.type == kNumericType ? param.type : 0);  // 0: the server infers it
    }
    const int count = static_cast<int>(values.size());
    const Oid* type_list = types.data();
    PGconn* conn = Claim();
    if (reading == Reading::kStream) {
        const int sent = prepared ? PQsendQueryPrepared(conn, sql.c_str(), count, values.data(), nullptr, nullptr, 0)
                                  : PQsendQueryParams(conn, sql.c_str(), count, type_list, values.data(), nullptr,
                                                      nullptr, 0);
        if (!sent)
            throw CursorError(PgErrorMessage(nullptr, conn));
        PQsetSingleRowMode(conn);
        auto self = std::static_pointer_cast<PgConnection>(shared_from_this());
        return std::make_unique<PgStreamCursor>(std::move(self));
    }
    PgResult result(prepared ? PQexecPrepared(conn, sql.c_str(), count, values.data(), nullptr, nullptr, 0)
                             : PQexecParams(conn, sql.c_str(), count, type_list, values.data(), nullptr, nullptr, 0));
    const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
    if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) PgThrowFailure(result.get(), conn);
    return std::make_unique<PgWholeCursor>(std::move(result));
}

std::unique_ptr<RowCursor> PgConnection::RunStatement(const std::string& sql, const NamedParams& params,
                                                      Reading reading) {
    const PgStatementText statement = TranslateNamedParams(sql);
    const auto value_of = [&params](const std::string& name) {
        const auto it = params.find(name);
        return it == params.end() ? PgParam{std::nullopt, kTextType} : PgParamOf(it->second);
    };
    // $1..$numbered by their numbers (one the text does not write stays NULL), then the names.
    std::vector<PgParam> values;
    for (int n = 1; n <= statement.numbered; ++n) values.push_back(value_of(std::to_string(n)));
    for (const std::string& name : statement.names) values.push_back(value_of(name));
    // A shape is prepared with every type inferred, so a numeric value runs its text as it is.
    const auto numeric = [](const PgParam& value) { return value.type == kNumericType; };
    if (std::none_of(values.begin(), values.end(), numeric))
        if (auto shaped = TakeOutPgInLists(statement.sql, static_cast<int>(values.size()) + 1))
            if (auto cursor = RunShaped(*shaped, values, reading)) return cursor;
    // Each other parameter's type is the server's to infer from its place, which fits dates, integers
    // of every width and texts alike. Where the place gives none ("SELECT :x", ":x IS NULL"), the
    // statement is refused before it runs, and runs again with each value's own type instead.
    try {
        return Run(statement.sql, values, reading, false);
    } catch (const PgUntypedParameter&) {
        return Run(statement.sql, values, reading, true);
    }
}

std::unique_ptr<RowCursor> PgConnection::RunShaped(const PgShapedText& shaped, std::vector<PgParam> values,
                                                   Reading reading) {
    PGconn* conn = Claim();
    // A statement failing inside a transaction would abort it, and a text would read '\' otherwise.
    if (PQtransactionStatus(conn) != PQTRANS_IDLE) return nullptr;
    const char* conforming = PQparameterStatus(conn, "standard_conforming_strings");
    if (!conforming || std::string_view(conforming) != "on") return nullptr;
    if (std::find(refused_.begin(), refused_.end(), shaped.shape) != refused_.end()) return nullptr;
    for (const std::string& array : shaped.arrays) values.push_back(PgParam{array, kTextType});
    const std::string name = PreparedShape(conn, shaped.shape, static_cast<int>(values.size()));
    if (name.empty()) return nullptr;
    try {
        return Run(name, values, reading, false, true);
    } catch (const CursorError&) {
        if (PQstatus(conn) == CONNECTION_BAD) throw;  // the loss is this query's error
        ForgetShape(shaped.shape);  // its statement may be gone (DISCARD ALL): prepared anew next time
        return nullptr;
    }
}

std::string PgConnection::PreparedShape(PGconn* conn, const std::string& shape, int parameters) {
    constexpr std::size_t kShapesKept = 16;
    for (auto it = shapes_.begin(); it != shapes_.end(); ++it) {
        if (it->text != shape) continue;
        Shape found = std::move(*it);
        shapes_.erase(it);
        shapes_.push_back(std::move(found));
        return shapes_.back().name;
    }
    const std::string name = "rowlark_shape_" + std::to_string(++shapes_made_);
    const PgResult prepared(PQprepare(conn, name.c_str(), shape.c_str(), parameters, nullptr));
    if (!prepared || PQresultStatus(prepared.get()) != PGRES_COMMAND_OK) {
        if (PQstatus(conn) == CONNECTION_BAD) PgThrowFailure(prepared.get(), conn);
        if (refused_.size() >= kShapesKept) refused_.pop_front();
        refused_.push_back(shape);
        return std::string();
    }
    if (shapes_.size() >= kShapesKept) {
        const PgResult dropped(PQexec(conn, ("DEALLOCATE " + shapes_.front().name).c_str()));
        shapes_.pop_front();
    }
    shapes_.push_back(Shape{shape, name});
    return name;
}

void PgConnection::ForgetShape(const std::string& shape) {
    for (auto it = shapes_.begin(); it != shapes_.end(); ++it) {
        if (it->text != shape) continue;
        PgResult dropped(PQexec(conn_.get(), ("DEALLOCATE " + it->name).c_str()));  // gone already, or in the way
        shapes_.erase(it);
        return;
    }
}

std::vector<ParameterRef> PgConnection::ParametersIn(const std::string& sql) { return TranslateNamedParams(sql).refs; }

bool PgConnection::OffersProcedure(const std::string& name) {
    const std::string function = AsciiLower(name);
    if (functions_.count(function)) return true;
    // Only what is found is remembered: a function created later is found on the next call.
    auto found = Run("SELECT 1 FROM pg_catalog.pg_proc WHERE proname = $1 AND pg_catalog.pg_function_is_visible(oid)",
                     {PgParam{function, kTextType}}, Reading::kWhole, true);
    if (!found->Step()) return false;
    functions_.insert(function);
    return true;
}

std::unique_ptr<RowCursor> PgConnection::CallProcedure(const ProcedureCall& call, Reading) {
    // A function's answer is whole on the server before its first row leaves, so it is read whole:
    // one result instead of a copy per row in single-row mode. Statements still stream.
    const Reading reading = Reading::kWhole;
    // The name is letters, digits and '_' (call_text.h); quoted all the same, in the server's folding.
    std::string sql = "SELECT * FROM \"" + AsciiLower(call.name) + "\"(";
    std::vector<PgParam> values;
    for (const ProcArg& arg : call.args) {
        sql += (values.empty() ? "$" : ", $") + std::to_string(values.size() + 1);
        // Untyped, so the function's own parameter types (text, integer, ...) take them.
        values.push_back(PgParamOf(arg.is_text ? SqlValue::Text(arg.text) : SqlValue::Int(arg.number)));
    }
    sql += ")";
    // Prepared once per session (between transactions, where a failure aborts nothing): the next
    // window's call is neither parsed nor planned again.
    PGconn* conn = Claim();
    if (PQtransactionStatus(conn) != PQTRANS_IDLE) return Run(sql, values, reading, false);
    const std::string name = PreparedShape(conn, sql, static_cast<int>(values.size()));
    if (name.empty()) return Run(sql, values, reading, false);
    try {
        return Run(name, values, reading, false, true);
    } catch (const CursorError&) {
        // The call's own error, unless the statement itself was let go (DEALLOCATE ALL, DISCARD ALL).
        if (PQstatus(conn) == CONNECTION_BAD || StillPrepared(name)) throw;
        ForgetShape(sql);
        return Run(sql, values, reading, false);
    }
}

bool PgConnection::StillPrepared(const std::string& name) {
    return Run("SELECT 1 FROM pg_catalog.pg_prepared_statements WHERE name = $1", {PgParam{name, kTextType}},
               Reading::kWhole, true)
        ->Step();
}

std::vector<std::pair<std::string, std::string>> PgConnection::ReadMetaNames() {
    std::vector<std::pair<std::string, std::string>> rows;
    auto exists = Run(std::string("SELECT 1 WHERE pg_catalog.to_regclass('") + kMetaNameCatalogue + "') IS NOT NULL",
                      {}, Reading::kWhole, false);
    if (!exists->Step()) return rows;
    auto names = Run(std::string("SELECT meta_name::text, real_name::text FROM ") + kMetaNameCatalogue, {},
                     Reading::kWhole, false);
    while (names->Step()) rows.emplace_back(names->Column(0).text, names->Column(1).text);
    return rows;
}

}  // namespace oledb_backend
