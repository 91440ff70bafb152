#pragma once
// A forward-only stream of database rows, in the database's own encoding (UTF-8), whichever engine
// gives them. Plain statements of either backend and the stored procedures of the database
// (QueryRows) hand their rows to the OLE DB stand-in through this interface.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

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

// Takes the values of rows one by one as plain values (the layer's whole-result builder).
class RowSink {
public:
    virtual void BeginRow() = 0;
    virtual void Null() = 0;
    virtual void Integer(std::int64_t value) = 0;
    virtual void Real(double value) = 0;
    virtual void Text(const char* utf8, std::size_t size) = 0;
    virtual void Decimal(const std::string& digits) = 0;

protected:
    ~RowSink() = default;
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
    // Steps through every remaining row, handing its values to sink. A backend may override it to
    // read its rows straight into the sink, without a SqlValue per value.
    virtual void DrainInto(RowSink& sink);
};

// A database failure while a cursor is made or stepped; what() is the database's message (UTF-8).
struct CursorError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

inline void RowCursor::DrainInto(RowSink& sink) {
    const int columns = ColumnCount();
    while (Step()) {
        sink.BeginRow();
        for (int c = 0; c < columns; ++c) {
            const SqlValue v = Column(c);
            switch (v.kind) {
                case SqlValue::Kind::Null: sink.Null(); break;
                case SqlValue::Kind::Integer: sink.Integer(v.integer); break;
                case SqlValue::Kind::Real: sink.Real(v.real); break;
                case SqlValue::Kind::Text: sink.Text(v.text.data(), v.text.size()); break;
                case SqlValue::Kind::Decimal: sink.Decimal(v.text); break;
            }
        }
    }
}

// A procedure argument as written in a call text: a quoted text or a whole number.
struct ProcArg {
    bool is_text = true;
    std::string text;        // UTF-8, quotes removed and '' undoubled
    std::int64_t number = 0;
};

}  // namespace oledb_backend
