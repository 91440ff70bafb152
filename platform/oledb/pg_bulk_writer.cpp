// The PostgreSQL backend's bulk writer: BEGIN (or a savepoint of the caller's transaction), CREATE
// TABLE, the rows by COPY in its text format, then the primary key (one sort after the rows instead
// of growing with every row), all in one transaction of the session.
#include <charconv>
#include <cstring>

#include "platform/oledb/catalogue.h"
#include "platform/oledb/pg_connection.h"

namespace oledb_backend {

namespace {

std::string DeclaredType(const FieldDefinition& field) {
    switch (field.type) {
        case FieldType::kInteger: return field.size == 4 ? "integer" : field.size == 2 ? "smallint" : "bigint";
        case FieldType::kDecimal:
            return "numeric(" + std::to_string(field.size) + ", " + std::to_string(field.scale) + ")";
        case FieldType::kReal: return "double precision";
        case FieldType::kText: return field.size > 0 ? "varchar(" + std::to_string(field.size) + ")" : "text";
        case FieldType::kBlob: return "bytea";
        case FieldType::kDate: return "date";
        case FieldType::kDateTime: return "timestamp";
        case FieldType::kLogical: return "boolean";
    }
    return "text";
}

// A field of COPY's text format: backslash, tab, line feed and carriage return escaped.
void AppendEscaped(std::string& line, const std::string& value) {
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

void AppendValue(std::string& line, const FieldValue& value, FieldType type) {
    static constexpr char kHex[] = "0123456789abcdef";
    switch (value.kind) {
        case FieldValue::Kind::Null: line += "\\N"; break;
        case FieldValue::Kind::Integer:
            if (type == FieldType::kLogical) line += value.integer ? "t" : "f";
            else line += std::to_string(value.integer);
            break;
        case FieldValue::Kind::Real: {
            char digits[32];
            const auto written = std::to_chars(digits, digits + sizeof digits, value.real);  // shortest exact
            line.append(digits, written.ptr);
            break;
        }
        case FieldValue::Kind::Blob:
            line += "\\\\x";  // bytea's hex form, its backslash escaped for COPY
            for (const char c : value.text) {
                line += kHex[static_cast<unsigned char>(c) >> 4];
                line += kHex[static_cast<unsigned char>(c) & 0xF];
            }
            break;
        default: AppendEscaped(line, value.text);
    }
}

// Where COPY's context ("COPY t, line 3, column price: ...", in the server's language) places a
// refusal: the line, which is the row's number among those sent, and the field when it names one.
void PlaceInCopy(const char* context, const TableDefinition& table, std::uint64_t& row, std::string& field) {
    if (context == nullptr) return;
    const std::string text = context;
    const std::string prefix = "COPY " + table.name + ", ";
    if (text.rfind(prefix, 0) != 0) return;
    std::size_t at = text.find_first_of("0123456789", prefix.size());
    if (at == std::string::npos) return;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) row = row * 10 + static_cast<unsigned>(text[at] - '0');
    // Then ", <word> <field>:" when a field is named.
    const std::size_t word = text.compare(at, 2, ", ") == 0 ? text.find(' ', at + 2) : std::string::npos;
    if (word == std::string::npos) return;
    for (const FieldDefinition& candidate : table.fields)
        if (text.compare(word + 1, candidate.name.size() + 1, candidate.name + ":") == 0 &&
            candidate.name.size() > field.size())
            field = candidate.name;
}

// A failure of the rows or of the key built over them: RowRefused for a value or a key the rows
// brought (SQLSTATE classes 22 and 23), placed where COPY's context or the server's fields tell,
// with the server's detail ("Key (id)=(3) is duplicated."); else the server's message as it is.
[[noreturn]] void ThrowRowsFailure(const PGresult* result, PGconn* conn, const TableDefinition& table) {
    std::string message = PgErrorMessage(result, conn);
    const std::string state = PgSqlState(result);
    if (state.rfind("22", 0) != 0 && state.rfind("23", 0) != 0) throw CursorError(message);
    std::uint64_t row = 0;
    std::string field;
    PlaceInCopy(PQresultErrorField(result, PG_DIAG_CONTEXT), table, row, field);
    const char* column = PQresultErrorField(result, PG_DIAG_COLUMN_NAME);
    if (field.empty() && column != nullptr) field = column;
    if (field.empty() && state == "23505" && table.primary_key.size() == 1) field = table.primary_key.front();
    const char* detail = PQresultErrorField(result, PG_DIAG_MESSAGE_DETAIL);
    if (detail != nullptr && std::strlen(detail) > 0) message += " (" + std::string(detail) + ")";
    throw RowRefused(message, row, field);
}

class PgBulkWriter : public BulkWriter {
public:
    PgBulkWriter(std::shared_ptr<PgConnection> connection, const TableDefinition& table)
        : connection_(std::move(connection)), table_(table) {
        const bool in_transaction = PQtransactionStatus(connection_->Claim()) != PQTRANS_IDLE;
        if (!table.in_caller_transaction && in_transaction) throw CursorError("a transaction is already open");
        if (table.in_caller_transaction && !in_transaction)
            throw CursorError("no transaction is open for the table to join (the server session was lost)");
        connection_->Execute(table.in_caller_transaction ? "SAVEPOINT rowlark_bulk_write" : "BEGIN");
        open_ = true;
        try {
            std::string create = "CREATE TABLE " + QuotedName(table.name) + " (";
            std::string names;
            for (std::size_t i = 0; i < table.fields.size(); ++i) {
                const FieldDefinition& field = table.fields[i];
                create += (i ? ", " : "") + QuotedName(field.name) + " " + DeclaredType(field) + (field.nullable ? "" : " NOT NULL");
                names += (i ? ", " : "") + QuotedName(field.name);
            }
            connection_->Execute(create + ")");
            PGconn* conn = connection_->Claim();
            const PgResult started(PQexec(conn, ("COPY " + QuotedName(table.name) + " (" + names + ") FROM STDIN").c_str()));
            if (!started || PQresultStatus(started.get()) != PGRES_COPY_IN)
                throw CursorError(PgErrorMessage(started.get(), conn));
            copying_ = true;
        } catch (...) {
            Undo();
            throw;
        }
    }

    ~PgBulkWriter() override { Undo(); }

    void Add(const std::vector<FieldValue>& row) override {
        if (!copying_) throw CursorError("the rows of this table are ended");
        if (row.size() != table_.fields.size())
            throw CursorError("a row of " + std::to_string(row.size()) + " values for " +
                              std::to_string(table_.fields.size()) + " fields");
        connection_->CheckStop();
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i) buffer_ += '\t';
            AppendValue(buffer_, row[i], table_.fields[i].type);
        }
        buffer_ += '\n';
        if (buffer_.size() >= (1u << 20)) Flush();
    }

    void EndRows() override {
        if (!copying_) return;
        Flush();
        PGconn* conn = connection_->conn();
        copying_ = false;
        if (PQputCopyEnd(conn, nullptr) != 1) throw CursorError(PgErrorMessage(nullptr, conn));
        const PgResult ended(PQgetResult(conn));
        const bool copied = ended && PQresultStatus(ended.get()) == PGRES_COMMAND_OK;
        PgSettle(conn);
        if (!copied) ThrowRowsFailure(ended.get(), conn, table_);
        if (table_.primary_key.empty()) return;
        std::string key;
        for (const std::string& name : table_.primary_key) key += (key.empty() ? "" : ", ") + QuotedName(name);
        const PgResult keyed(PQexec(conn, ("ALTER TABLE " + QuotedName(table_.name) + " ADD PRIMARY KEY (" + key + ")").c_str()));
        if (!keyed || PQresultStatus(keyed.get()) != PGRES_COMMAND_OK) ThrowRowsFailure(keyed.get(), conn, table_);
    }

    void Commit() override {
        EndRows();
        connection_->Execute(table_.in_caller_transaction ? "RELEASE SAVEPOINT rowlark_bulk_write" : "COMMIT");
        open_ = false;
    }

private:
    void Flush() {
        PGconn* conn = connection_->conn();
        if (PQputCopyData(conn, buffer_.data(), static_cast<int>(buffer_.size())) != 1)
            throw CursorError(PgErrorMessage(nullptr, conn));
        buffer_.clear();
    }

    // Ends a COPY still running (the server drops what it has) and rolls the transaction back.
    void Undo() noexcept {
        PGconn* conn = connection_->conn();
        if (copying_) {
            PQputCopyEnd(conn, "the writer stopped");
            PgSettle(conn);
            copying_ = false;
        }
        if (open_ && table_.in_caller_transaction) {
            const PgResult rolled_back(
                PQexec(conn, "ROLLBACK TO SAVEPOINT rowlark_bulk_write; RELEASE SAVEPOINT rowlark_bulk_write"));
        } else if (open_) {
            const PgResult rolled_back(PQexec(conn, "ROLLBACK"));
        }
        open_ = false;
    }

    std::shared_ptr<PgConnection> connection_;
    TableDefinition table_;
    std::string buffer_;     // COPY text not yet sent
    bool open_ = false;      // the writer's transaction is open
    bool copying_ = false;   // the session is inside the COPY
};

}  // namespace

std::unique_ptr<BulkWriter> PgConnection::StartBulkWrite(const TableDefinition& table) {
    if (table.name.empty()) throw CursorError("the table name is empty");
    if (table.fields.empty()) throw CursorError("a table needs at least one field");
    return std::make_unique<PgBulkWriter>(std::static_pointer_cast<PgConnection>(shared_from_this()), table);
}

void PgConnection::StopWhen(std::function<bool()> stop) { stop_ = std::move(stop); }

void PgConnection::CheckStop() const {
    if (stop_ && stop_()) throw CursorError("interrupted");
}

}  // namespace oledb_backend
