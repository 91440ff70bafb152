// The PostgreSQL backend's bulk writer: BEGIN, CREATE TABLE, the rows by COPY in its text format,
// then the primary key (one sort after the rows instead of growing with every row), all in one
// transaction of the session.
#include <charconv>

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

class PgBulkWriter : public BulkWriter {
public:
    PgBulkWriter(std::shared_ptr<PgConnection> connection, const TableDefinition& table)
        : connection_(std::move(connection)), table_(table) {
        connection_->Execute("BEGIN");
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
        const std::string message = copied ? "" : PgErrorMessage(ended.get(), conn);
        PgSettle(conn);
        if (!copied) throw CursorError(message);
        if (table_.primary_key.empty()) return;
        std::string key;
        for (const std::string& name : table_.primary_key) key += (key.empty() ? "" : ", ") + QuotedName(name);
        connection_->Execute("ALTER TABLE " + QuotedName(table_.name) + " ADD PRIMARY KEY (" + key + ")");
    }

    void Commit() override {
        EndRows();
        connection_->Execute("COMMIT");
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
        if (open_) {
            const PgResult rolled_back(PQexec(conn, "ROLLBACK"));
            open_ = false;
        }
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
