#pragma once
// Writing a new table through the backend seam: created from field definitions, then filled with
// rows of typed values (prepared inserts on SQLite, COPY on a server), inside one transaction of the
// writer's own, or inside a savepoint of the caller's transaction when the definition says the
// caller holds one (several tables kept or undone as one). Nothing is kept before Commit(): a
// failure, or a writer destroyed without Commit(), undoes the writer's own work and nothing else.
// Made by Connection::StartBulkWrite; it shares its connection. Every failure throws CursorError
// with the database's message (UTF-8), RowRefused for a row the database refused.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/oledb/row_cursor.h"

namespace oledb_backend {

enum class FieldType { kInteger, kDecimal, kReal, kText, kBlob, kDate, kDateTime, kLogical };

struct FieldDefinition {
    std::string name;
    FieldType type = FieldType::kText;
    int size = 0;   // text: the length (0: unlimited); decimal: the precision; integer: bytes (4 or 8)
    int scale = 0;  // decimal: digits after the point
    bool nullable = true;
};

struct TableDefinition {
    std::string name;
    std::vector<FieldDefinition> fields;
    std::vector<std::string> primary_key;  // field names; built after the rows where the engine allows
    // The target is a scratch database thrown away on failure: the engine may skip its journal.
    // Applies to a writer with a transaction of its own.
    bool scratch = false;
    // The caller holds a transaction open: the writer works in a savepoint of it, Commit() keeps the
    // table inside it and the caller's COMMIT makes it permanent. Refused when no transaction is open
    // (a server session lost and opened anew has none); without it, refused when one is.
    bool in_caller_transaction = false;
};

// A row the database refused (a value a column cannot take, a key that repeats): its number among
// the rows Add() took, from 1, and the field, where the engine names them (0 and empty: unknown).
class RowRefused : public CursorError {
public:
    RowRefused(const std::string& message, std::uint64_t row, std::string field)
        : CursorError(message), row_(row), field_(std::move(field)) {}
    std::uint64_t row() const { return row_; }
    const std::string& field() const { return field_; }

private:
    std::uint64_t row_;
    std::string field_;
};

// One value of a written row. Decimal: exact digits as text ("-12.50"); date "YYYY-MM-DD" and
// datetime "YYYY-MM-DD HH:MM:SS" as ISO text; blob: its bytes in text; logical: integer 0 or 1.
struct FieldValue {
    enum class Kind { Null, Integer, Decimal, Real, Text, Blob, Date, DateTime };
    Kind kind = Kind::Null;
    std::int64_t integer = 0;
    double real = 0.0;
    std::string text;

    static FieldValue Null() { return {}; }
    static FieldValue Int(std::int64_t v) { FieldValue f; f.kind = Kind::Integer; f.integer = v; return f; }
    static FieldValue Real(double v) { FieldValue f; f.kind = Kind::Real; f.real = v; return f; }
    static FieldValue Of(Kind kind, std::string text) { FieldValue f; f.kind = kind; f.text = std::move(text); return f; }
};

class BulkWriter {
public:
    // Without Commit(): the transaction is rolled back, the table and its rows never were.
    virtual ~BulkWriter() = default;
    BulkWriter(const BulkWriter&) = delete;
    BulkWriter& operator=(const BulkWriter&) = delete;

    // Adds one row: one value per field, in the order of the definition.
    virtual void Add(const std::vector<FieldValue>& row) = 0;
    // Ends the rows and builds the primary key. Statements run on the connection afterwards (index
    // tags, say) join the writer's transaction, and are kept or undone with it.
    virtual void EndRows() = 0;
    // Ends the rows if not yet done, and makes everything permanent.
    virtual void Commit() = 0;

protected:
    BulkWriter() = default;
};

}  // namespace oledb_backend
