#pragma once
// Writing a new table through the backend seam: created from field definitions, then filled with
// rows of typed values, all inside one transaction of the writer's own (prepared inserts on SQLite,
// COPY on a server). Nothing is permanent before Commit(): a failure, or a writer destroyed without
// Commit(), leaves the database exactly as it was. Made by Connection::StartBulkWrite; it shares its
// connection. Every failure throws CursorError with the database's message (UTF-8).

#include <cstdint>
#include <string>
#include <vector>

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
    bool scratch = false;
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
