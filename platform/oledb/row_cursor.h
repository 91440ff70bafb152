#pragma once
// A forward-only stream of database rows, in the database's own encoding (UTF-8).
// Plain statements of either backend and the stored procedures of the database (QueryRows)
// hand their rows to the OLE DB stand-in through this interface.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

struct sqlite3;

namespace oledb_backend {

// One value of a row as the database holds it.
// A Decimal is an exact decimal number (a server's NUMERIC, a host number with a fraction): its
// text holds it in plain or exponent notation, its real the nearest double.
struct SqlValue {
    enum class Kind { Null, Integer, Real, Text, Decimal };
    Kind kind = Kind::Null;
    std::int64_t integer = 0;
    double real = 0.0;
    std::string text;  // UTF-8 for Kind::Text; ASCII digits for Kind::Decimal

    static SqlValue Null() { return {}; }
    static SqlValue Int(std::int64_t v) { SqlValue s; s.kind = Kind::Integer; s.integer = v; return s; }
    static SqlValue Real(double v) { SqlValue s; s.kind = Kind::Real; s.real = v; return s; }
    static SqlValue Text(std::string v) { SqlValue s; s.kind = Kind::Text; s.text = std::move(v); return s; }
    static SqlValue Decimal(std::string digits, double nearest) {
        SqlValue s;
        s.kind = Kind::Decimal;
        s.text = std::move(digits);
        s.real = nearest;
        return s;
    }
};

// Rows are read by calling Step() until it answers false; column values are read
// from the row Step() stopped on. Column names are known before the first Step().
class RowCursor {
public:
    virtual ~RowCursor() = default;
    virtual int ColumnCount() const = 0;
    virtual std::string ColumnName(int column) const = 0;
    // Moves to the next row; false at the end. A database error throws CursorError.
    virtual bool Step() = 0;
    virtual SqlValue Column(int column) const = 0;
};

// A database failure while a cursor is made or stepped; what() is the database's message (UTF-8).
struct CursorError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A procedure argument as written in a call text: a quoted text or a whole number.
struct ProcArg {
    bool is_text = true;
    std::string text;        // UTF-8, quotes removed and '' undoubled
    std::int64_t number = 0;
};

// Something a procedure keeps on one connection between its calls (prepared statements, facts
// about tables). Shared, so a cursor still reading may keep it alive after the connection lets go.
class ProcedureState {
public:
    virtual ~ProcedureState() = default;
};

// A connection's room for procedure state, one object per name. The connection owns it and empties
// it before its database closes. Used on the connection's one thread.
class ProcedureMemory {
public:
    std::shared_ptr<ProcedureState>& Slot(const std::string& name) { return slots_[name]; }
    void Clear() { slots_.clear(); }

private:
    std::map<std::string, std::shared_ptr<ProcedureState>> slots_;
};

// Where a procedure runs: the open database, and the memory of the connection that owns it (none
// for a bare handle, whose procedures keep nothing). A site and a sqlite3* turn into each other only
// by name (Bare, handle()), so neither is ever taken for the other unseen.
class ProcedureSite {
public:
    // A connection's database with its memory; memory may be null, as for a bare handle.
    explicit ProcedureSite(sqlite3* db, ProcedureMemory* memory) : db_(db), memory_(memory) {}
    // A bare handle: procedures run on it keep nothing between calls.
    static ProcedureSite Bare(sqlite3* db) { return ProcedureSite(db, nullptr); }

    sqlite3* handle() const { return db_; }
    ProcedureMemory* memory() const { return memory_; }

private:
    sqlite3* db_;
    ProcedureMemory* memory_;
};

// A stored procedure the database offers: it receives where it runs and the call's arguments.
using Procedure = std::function<std::unique_ptr<RowCursor>(const ProcedureSite& site, const std::vector<ProcArg>& args)>;

}  // namespace oledb_backend
