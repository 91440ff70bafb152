// The SQLite backend's bulk writer: CREATE TABLE, then one prepared INSERT stepped per row, inside
// one transaction (or a savepoint of the caller's). A single integer key becomes the table's rowid
// ("INTEGER PRIMARY KEY"). Decimals are written so that each reads back as the same decimal
// (sqlite_decimal_columns.h).
#include <sqlite3.h>

#include "platform/oledb/catalogue.h"
#include "platform/oledb/exact_real.h"
#include "platform/oledb/sqlite_connection.h"
#include "platform/oledb/sqlite_decimal_columns.h"

namespace oledb_backend {

namespace {

std::string DeclaredType(const FieldDefinition& field) {
    switch (field.type) {
        case FieldType::kInteger: return "INTEGER";
        case FieldType::kDecimal:
            if (KeepsDecimalsAsText(field.size)) return DecimalTextDeclaration(field.size, field.scale);
            return "NUMERIC(" + std::to_string(field.size) + ", " + std::to_string(field.scale) + ")";
        case FieldType::kReal: return "REAL";
        case FieldType::kText: return field.size > 0 ? "VARCHAR(" + std::to_string(field.size) + ")" : "TEXT";
        case FieldType::kBlob: return "BLOB";
        case FieldType::kDate: return "DATE";
        case FieldType::kDateTime: return "DATETIME";
        case FieldType::kLogical: return "BOOLEAN";
    }
    return "TEXT";
}

// How a column takes a decimal value's digits.
enum class DecimalRoad { kText, kNearestDouble, kDecimalText };

DecimalRoad RoadOf(const FieldDefinition& field) {
    if (field.type != FieldType::kDecimal) return DecimalRoad::kText;  // the column's affinity reads the text
    return KeepsDecimalsAsText(field.size) ? DecimalRoad::kDecimalText : DecimalRoad::kNearestDouble;
}

std::string CreateTableSql(const TableDefinition& table) {
    const bool rowid_key = table.primary_key.size() == 1;
    std::string sql = "CREATE TABLE " + QuotedName(table.name) + " (";
    for (std::size_t i = 0; i < table.fields.size(); ++i) {
        const FieldDefinition& field = table.fields[i];
        sql += (i ? ", " : "") + QuotedName(field.name) + " " + DeclaredType(field);
        if (rowid_key && field.name == table.primary_key.front()) sql += " PRIMARY KEY";
        if (!field.nullable) sql += " NOT NULL";
    }
    if (table.primary_key.size() > 1) {
        sql += ", PRIMARY KEY (";
        for (std::size_t i = 0; i < table.primary_key.size(); ++i) sql += (i ? ", " : "") + QuotedName(table.primary_key[i]);
        sql += ")";
    }
    return sql + ")";
}

// Whether a failed step refused the row itself (a value or key the table cannot take), not the file.
bool RefusesTheRow(int extended_code) {
    const int code = extended_code & 0xFF;
    return code == SQLITE_CONSTRAINT || code == SQLITE_MISMATCH || code == SQLITE_TOOBIG || code == SQLITE_RANGE;
}

// The field a constraint message names ("NOT NULL constraint failed: table.field"); empty when none.
std::string FieldNamed(const std::string& message, const TableDefinition& table) {
    for (const FieldDefinition& field : table.fields) {
        const std::string tail = ": " + table.name + "." + field.name;
        if (message.size() >= tail.size() && message.compare(message.size() - tail.size(), tail.size(), tail) == 0)
            return field.name;
    }
    return {};
}

class SqliteBulkWriter : public BulkWriter {
public:
    SqliteBulkWriter(std::shared_ptr<SqliteConnection> connection, const TableDefinition& table)
        : connection_(std::move(connection)), table_(table), joined_(table.in_caller_transaction),
          scratch_(table.scratch && !joined_) {
        sqlite3* db = connection_->db();
        if (!joined_ && !sqlite3_get_autocommit(db)) throw CursorError("a transaction is already open");
        if (joined_ && sqlite3_get_autocommit(db)) throw CursorError("no transaction is open for the table to join");
        // A large page cache for the build; the connection's own is put back afterwards.
        const Statement cache = connection_->Prepare("PRAGMA cache_size");
        if (sqlite3_step(cache.get()) == SQLITE_ROW) cache_size_ = sqlite3_column_int64(cache.get(), 0);
        try {
            connection_->Execute("PRAGMA cache_size = -131072");
            // Inside a transaction SQLite changes neither where temporary tables live nor the journal.
            if (!joined_) connection_->Execute("PRAGMA temp_store = MEMORY");
            if (scratch_) connection_->Execute("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF");
            connection_->Execute(joined_ ? "SAVEPOINT rowlark_bulk_write" : "BEGIN");
            open_ = true;
            connection_->Execute(CreateTableSql(table));
            std::string insert = "INSERT INTO " + QuotedName(table.name) + " VALUES (";
            for (std::size_t i = 0; i < table.fields.size(); ++i) insert += i ? ", ?" : "?";
            insert_ = connection_->Prepare(insert + ")");
        } catch (...) {
            Undo();
            throw;
        }
    }

    ~SqliteBulkWriter() override { Undo(); }

    // Rolls back what is not committed and puts the connection's settings back.
    void Undo() noexcept {
        insert_ = Statement();
        sqlite3* db = connection_->db();
        // A failed write may have ended the caller's whole transaction already; then there is nothing to undo.
        if (open_ && joined_ && !sqlite3_get_autocommit(db))
            sqlite3_exec(db, "ROLLBACK TO rowlark_bulk_write; RELEASE rowlark_bulk_write", nullptr, nullptr, nullptr);
        else if (open_ && !joined_)
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        open_ = false;
        const std::string restore = "PRAGMA cache_size = " + std::to_string(cache_size_) +
                                    (joined_ ? "" : "; PRAGMA temp_store = DEFAULT");
        sqlite3_exec(db, restore.c_str(), nullptr, nullptr, nullptr);
        if (scratch_) sqlite3_exec(db, "PRAGMA journal_mode = DELETE; PRAGMA synchronous = FULL", nullptr, nullptr, nullptr);
    }

    void Add(const std::vector<FieldValue>& row) override {
        if (!insert_) throw CursorError("the rows of this table are ended");
        if (row.size() != table_.fields.size())
            throw CursorError("a row of " + std::to_string(row.size()) + " values for " +
                              std::to_string(table_.fields.size()) + " fields");
        connection_->CheckStop();
        sqlite3_stmt* stmt = insert_.get();
        for (std::size_t i = 0; i < row.size(); ++i)
            Bind(stmt, static_cast<int>(i + 1), row[i], RoadOf(table_.fields[i]));
        const int rc = sqlite3_step(stmt);
        sqlite3_reset(stmt);
        ++rows_;
        if (rc == SQLITE_DONE) return;
        const std::string message = ErrorMessage(connection_->db());
        if (RefusesTheRow(sqlite3_extended_errcode(connection_->db())))
            throw RowRefused(message, rows_, FieldNamed(message, table_));
        throw CursorError(message);
    }

    void EndRows() override { insert_ = Statement(); }

    void Commit() override {
        EndRows();
        connection_->Execute(joined_ ? "RELEASE rowlark_bulk_write" : "COMMIT");
        open_ = false;
    }

private:
    static void Bind(sqlite3_stmt* stmt, int index, const FieldValue& value, DecimalRoad road) {
        if (value.kind == FieldValue::Kind::Decimal && road != DecimalRoad::kText)
            return BindDecimal(stmt, index, value.text, road);
        switch (value.kind) {
            case FieldValue::Kind::Null: sqlite3_bind_null(stmt, index); break;
            case FieldValue::Kind::Integer: sqlite3_bind_int64(stmt, index, value.integer); break;
            case FieldValue::Kind::Real: sqlite3_bind_double(stmt, index, value.real); break;
            case FieldValue::Kind::Blob:
                sqlite3_bind_blob64(stmt, index, value.text.data(), value.text.size(), SQLITE_TRANSIENT);
                break;
            default:
                sqlite3_bind_text64(stmt, index, value.text.data(), value.text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
        }
    }

    // SQLite's own reading of the digits is not always the nearest double, so a NUMERIC column gets
    // that double; a column of decimal texts gets the text its collation and the layer read.
    static void BindDecimal(sqlite3_stmt* stmt, int index, const std::string& digits, DecimalRoad road) {
        if (road == DecimalRoad::kNearestDouble) {
            if (const auto nearest = ExactReal(digits)) {
                sqlite3_bind_double(stmt, index, *nearest);
                return;
            }
        }
        const auto text = DecimalTextOf(digits);
        if (!text) throw CursorError("\"" + digits + "\" is not a decimal number");
        sqlite3_bind_text64(stmt, index, text->data(), text->size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    }

    std::shared_ptr<SqliteConnection> connection_;
    TableDefinition table_;
    bool joined_;        // works in a savepoint of the caller's transaction
    bool scratch_;
    bool open_ = false;  // the writer's transaction (or savepoint) is open
    std::uint64_t rows_ = 0;  // rows stepped so far
    std::int64_t cache_size_ = -2000;
    Statement insert_;  // declared last: finalized before the rollback in the destructor anyway
};

}  // namespace

std::unique_ptr<BulkWriter> SqliteConnection::StartBulkWrite(const TableDefinition& table) {
    if (table.name.empty()) throw CursorError("the table name is empty");
    if (table.fields.empty()) throw CursorError("a table needs at least one field");
    return std::make_unique<SqliteBulkWriter>(std::static_pointer_cast<SqliteConnection>(shared_from_this()), table);
}

}  // namespace oledb_backend
