#include "platform/oledb/sqlite_connection.h"

#include <sqlite3.h>

#include <cctype>
#include <climits>
#include <cstring>
#include <optional>

#include "database/collation/sqlite_decimal_order.h"
#include "database/collation/sqlite_russian_order.h"
#include "platform/oledb/meta_names.h"
#include "platform/oledb/procedures.h"
#include "platform/oledb/sqlite_parameters.h"
#include "platform/oledb/sqlite_statement_cursor.h"

namespace oledb_backend {

namespace {

void BindText(sqlite3_stmt* stmt, int index, const std::string& text) {
    sqlite3_bind_text64(stmt, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

// SQLite keeps no decimals: a fraction goes in as its nearest REAL. One with more digits than SQLite
// writes of a REAL goes in as its exact text where the statement works on a table of exact decimal
// columns, which compare such texts by value (elsewhere a text would sort above every number).
// exact_tables: whether the statement does, asked once for all its values.
void Bind(sqlite3_stmt* stmt, int index, const SqlValue& v, std::optional<bool>& exact_tables) {
    switch (v.kind) {
        case SqlValue::Kind::Null: sqlite3_bind_null(stmt, index); break;
        case SqlValue::Kind::Integer: sqlite3_bind_int64(stmt, index, v.integer); break;
        case SqlValue::Kind::Real: sqlite3_bind_double(stmt, index, v.real); break;
        case SqlValue::Kind::Decimal:
            if (HasDigitsBeyondDouble(v.text)) {
                if (!exact_tables) exact_tables = OpensDecimalTextTables(stmt);
                if (*exact_tables) {
                    BindText(stmt, index, v.text);
                    break;
                }
            }
            sqlite3_bind_double(stmt, index, v.real);
            break;
        case SqlValue::Kind::Text: BindText(stmt, index, v.text); break;
    }
}

// Binds the parameters from params (one not there stays NULL): a named one by its name, a
// numbered one ("?", "?NNN") by its number. With literals, the anonymous ones ("?") take them in
// order instead: a shaped text has no "?" of its own, so those are exactly its taken-out literals.
void BindNamed(sqlite3_stmt* stmt, const NamedParams& params, const std::vector<SqlValue>* literals) {
    std::size_t next_literal = 0;
    std::optional<bool> exact_tables;
    const int count = sqlite3_bind_parameter_count(stmt);
    for (int i = 1; i <= count; ++i) {
        const char* name = sqlite3_bind_parameter_name(stmt, i);
        if (!name && literals) {
            if (next_literal < literals->size()) Bind(stmt, i, (*literals)[next_literal++], exact_tables);
            continue;
        }
        const auto it = !name || name[0] == '?' ? params.find(std::to_string(i)) : params.find(name + 1);
        if (it != params.end()) Bind(stmt, i, it->second, exact_tables);
    }
}

std::string ColumnText(sqlite3_stmt* stmt, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(stmt, column))) : std::string();
}

// Only reads are shaped, and only where no result column is named after a taken-out literal
// ("SELECT id IN (1, 2) FROM t" names its column by its text); never EXPLAIN, which lists a bound
// literal as another instruction than an inline one.
bool CanStandForItsTexts(sqlite3_stmt* stmt) {
    if (!sqlite3_stmt_readonly(stmt) || sqlite3_stmt_isexplain(stmt) != 0) return false;
    for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
        const char* name = sqlite3_column_name(stmt, c);
        if (name && std::strchr(name, '?')) return false;
    }
    return true;
}

}  // namespace

bool NumbersParametersAsShaped(sqlite3_stmt* stmt, const ShapedText& shaped) {
    const int count = sqlite3_bind_parameter_count(stmt);
    if (count < 0 || static_cast<std::size_t>(count) != shaped.parameters.size()) return false;
    std::size_t anonymous = 0;
    for (int i = 1; i <= count; ++i) {
        const char* name = sqlite3_bind_parameter_name(stmt, i);
        const std::string& expected = shaped.parameters[static_cast<std::size_t>(i - 1)];
        if (name ? expected != name : !expected.empty()) return false;
        if (!name) ++anonymous;
    }
    return anonymous == shaped.values.size();
}

std::string FileUri(std::string_view path, bool create) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    // "file://" and an empty authority before an absolute path: "file://x" would name host "x".
    std::string uri = !path.empty() && path.front() == '/' ? "file://" : "file:";
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) && byte < 0x80) {
            uri += c;
        } else if (c == '-' || c == '.' || c == '_' || c == '~' || c == '/') {
            uri += c;
        } else {
            uri += '%';
            uri += kHex[byte >> 4];
            uri += kHex[byte & 0xF];
        }
    }
    return uri + (create ? "?mode=rwc" : "?mode=rw");
}

std::shared_ptr<SqliteConnection> SqliteConnection::Open(const std::string& path) {
    // SQLite would open an empty name as a private temporary database, which no user means.
    if (path.empty()) throw CursorError("no database file given");
    sqlite3* raw = nullptr;
    // No connection mutex: the host calls on its one thread, and every column read would pay for it.
    // URIs always, not only where SQLite was built to take them: a "file:" text means one thing here.
    const int rc = sqlite3_open_v2(path.c_str(), &raw,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_URI,
                                   nullptr);
    Database db(raw);  // owns the handle even when opening failed
    if (rc != SQLITE_OK) {
        const std::string reason = raw ? ErrorMessage(raw) : "out of memory";
        throw OpenFailure("cannot open database \"" + path + "\": " + ErrorMessage(raw), reason);
    }
    sqlite3_extended_result_codes(raw, 1);
    sqlite3_busy_timeout(raw, 2000);
    // Russian-order index tags are read and written through this collation; without ICU's rules the
    // connection stays without it, and such a tag fails loudly instead of being served in another order.
    rowlark::collation::RegisterRussianOrder(raw);
    // Columns of exact decimals (sqlite_decimal_columns.h) compare, index and sort through this one.
    rowlark::collation::RegisterDecimalOrder(raw);
    return std::shared_ptr<SqliteConnection>(new SqliteConnection(std::move(db), path));
}

void SqliteConnection::Execute(const std::string& sql) {
    char* message = nullptr;
    if (sqlite3_exec(db(), sql.c_str(), nullptr, nullptr, &message) == SQLITE_OK) return;
    std::string text = message ? message : ErrorMessage(db());
    sqlite3_free(message);
    throw CursorError(text);
}

Statement SqliteConnection::Prepare(std::string_view sql) {
    if (sql.size() > static_cast<std::size_t>(INT_MAX)) throw CursorError("statement text too long");
    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v2(db(), sql.data(), static_cast<int>(sql.size()), &raw, &tail);
    Statement statement(raw);
    if (rc != SQLITE_OK) throw CursorError(ErrorMessage(db()));
    if (!statement) throw CursorError("empty statement text");

    // A second statement would otherwise be dropped without a word.
    const int rest = static_cast<int>(sql.data() + sql.size() - tail);
    sqlite3_stmt* next = nullptr;
    const int rc_next = sqlite3_prepare_v2(db(), tail, rest, &next, nullptr);
    Statement following(next);
    if (rc_next != SQLITE_OK || following) throw CursorError("more than one statement in one command");
    return statement;
}

Statement SqliteConnection::PrepareCounted(std::string_view sql) {
    Statement statement = Prepare(sql);
    ++statements_prepared_;
    return statement;
}

// SQLite steps its statement on demand, so both readings are the same cursor.
std::unique_ptr<RowCursor> SqliteConnection::RunStatement(const std::string& sql, const NamedParams& params,
                                                          Reading /*reading*/) {
    if (auto shaped = TakeOutInListLiterals(sql)) {
        if (auto cursor = RunShaped(*shaped, params)) return cursor;
    }
    Statement statement = PrepareCounted(sql);
    BindNamed(statement.get(), params, nullptr);
    auto self = std::static_pointer_cast<SqliteConnection>(shared_from_this());
    return std::make_unique<StatementCursor>(std::move(self), std::move(statement));
}

std::vector<ParameterRef> SqliteConnection::ParametersIn(const std::string& sql) { return SqliteParametersIn(sql); }

std::unique_ptr<RowCursor> SqliteConnection::RunShaped(const ShapedText& shaped, const NamedParams& params) {
    Statement statement;
    bool fresh = true;
    for (auto it = shaped_.begin(); it != shaped_.end(); ++it) {
        if (it->first != shaped.shape) continue;
        statement = std::move(it->second);
        shaped_.erase(it);
        fresh = false;
        break;
    }
    if (!statement) {
        for (const std::string& refused : refused_)
            if (refused == shaped.shape) return nullptr;
        try {
            statement = PrepareCounted(shaped.shape);
        } catch (const CursorError&) {
            return nullptr;  // the text itself gives its own error
        }
    }
    // A shape whose parameters SQLite numbers otherwise than the scanner read them would bind
    // every literal after the first misread one a place off: such texts run as they are.
    if (!CanStandForItsTexts(statement.get()) || !NumbersParametersAsShaped(statement.get(), shaped)) {
        if (refused_.size() >= kShapesKept) refused_.pop_front();
        refused_.push_back(shaped.shape);
        return nullptr;
    }
    // Keys against a REAL column go in as their exact doubles, all others as written. What was
    // learnt of the shape's columns holds for its kept statement only.
    if (fresh) real_lists_.Forget(shaped.shape);
    const auto exact = ExactRealKeys(db(), shaped, real_lists_);
    BindNamed(statement.get(), params, exact ? &*exact : &shaped.values);
    sqlite3_stmt* stmt = statement.get();
    const int reprepared = sqlite3_stmt_status(stmt, SQLITE_STMTSTATUS_REPREPARE, 0);
    auto self = std::static_pointer_cast<SqliteConnection>(shared_from_this());
    auto cursor = std::make_unique<StatementCursor>(std::move(self), std::move(statement), shaped.shape);
    // A statement that fails its first step is not trusted to fail as the text would: the text runs.
    if (!cursor->StepAhead()) return nullptr;
    if (sqlite3_stmt_status(stmt, SQLITE_STMTSTATUS_REPREPARE, 0) != reprepared && !SameRealLists(shaped))
        return nullptr;  // the schema changed under the binding: the text runs as it is
    return cursor;
}

bool SqliteConnection::SameRealLists(const ShapedText& shaped) {
    const auto before = real_lists_.Known(shaped.shape);
    real_lists_.Forget(shaped.shape);
    ExactRealKeys(db(), shaped, real_lists_);  // asked again inside the statement's read
    return real_lists_.Known(shaped.shape) == before;
}

void SqliteConnection::KeepShapedStatement(const std::string& shape, Statement statement) {
    sqlite3_reset(statement.get());
    sqlite3_clear_bindings(statement.get());
    if (shaped_.size() >= kShapesKept) shaped_.pop_front();
    shaped_.emplace_back(shape, std::move(statement));
}

void SqliteConnection::StopWhen(std::function<bool()> stop) {
    stop_ = std::move(stop);
    if (!stop_) {
        sqlite3_progress_handler(db(), 0, nullptr, nullptr);
        return;
    }
    // Every 1000 steps of the database's machine; a true answer ends the statement with SQLITE_INTERRUPT.
    sqlite3_progress_handler(
        db(), 1000, [](void* self) -> int { return static_cast<SqliteConnection*>(self)->stop_() ? 1 : 0; }, this);
}

void SqliteConnection::CheckStop() const {
    if (stop_ && stop_()) throw CursorError("interrupted");
}

sqlite3* SqliteHandle(Connection& connection) {
    auto* sqlite = dynamic_cast<SqliteConnection*>(&connection);
    if (!sqlite) throw CursorError("this works on SQLite databases only");
    return sqlite->db();
}

void SqliteConnection::AddProcedure(const std::string& folded_name, Procedure procedure) {
    procedures_[folded_name] = std::move(procedure);
}

const Procedure* SqliteConnection::FindOwnOrShared(const std::string& name) const {
    const auto own = procedures_.find(AsciiLower(name));
    return own != procedures_.end() ? &own->second : FindProcedure(name);
}

bool SqliteConnection::OffersProcedure(const std::string& name) { return FindOwnOrShared(name) != nullptr; }

std::unique_ptr<RowCursor> SqliteConnection::CallProcedure(const ProcedureCall& call, Reading /*reading*/) {
    const Procedure* procedure = FindOwnOrShared(call.name);
    if (!procedure) throw CursorError("no procedure " + call.name);
    const ProcedureSite site(db(), &procedure_memory_);
    std::unique_ptr<RowCursor> cursor = (*procedure)(site, call.args);
    if (!cursor) throw CursorError("procedure " + call.name + " returned no result");
    return cursor;
}

std::vector<std::pair<std::string, std::string>> SqliteConnection::ReadMetaNames() {
    std::vector<std::pair<std::string, std::string>> rows;
    const Statement exists = Prepare(std::string("SELECT 1 FROM sqlite_master WHERE type IN ('table','view') AND name = '") +
                                     kMetaNameCatalogue + "'");
    const int found = sqlite3_step(exists.get());
    if (found == SQLITE_DONE) return rows;
    if (found != SQLITE_ROW) throw CursorError(ErrorMessage(db()));

    const Statement query = Prepare(std::string("SELECT meta_name, real_name FROM ") + kMetaNameCatalogue);
    int rc;
    while ((rc = sqlite3_step(query.get())) == SQLITE_ROW)
        rows.emplace_back(ColumnText(query.get(), 0), ColumnText(query.get(), 1));
    if (rc != SQLITE_DONE) throw CursorError(ErrorMessage(db()));
    return rows;
}

}  // namespace oledb_backend
