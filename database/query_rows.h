#pragma once
// The database's stored procedure QueryRows, for SQLite, which has no stored procedures of
// its own: the OLE DB stand-in reads the call text
//   QueryRows ('T', 'G', 'I', 'K', n, 'F',D, 'A', 'B',E)
// and calls the procedure registered under that name with the ten arguments.
//
// It answers the keys of at most n rows of table T in the order of index tag G
// (index_tags.h), read by seeking the tag's index, never by scanning or sorting:
//   - start row: index text I and key K as an earlier answer gave them; with both empty the
//     walk starts at the first row (D = 1) or the last (D = 0). Otherwise K is the start key,
//     the empty text too; only where the key column holds numbers (no key is empty) does I
//     with an empty K start at the value I. E = 1 puts the start row itself first; E = 0 starts
//     strictly after it (D = 1, ascending by value then key) or before it (D = 0, descending).
//   - filter: A, unless empty, is an inclusive lower bound; B, unless empty, keeps the rows
//     whose value is <= B or begins with B (a typed prefix as upper bound keeps its rows).
//     A text tag reads A without trailing white space, as it holds its values, so a bound
//     padded like a field value ("word  ") keeps the rows "word". Number tags compare I, A
//     and B as numbers, exactly (as SQLite does), and refuse a text that is not one.
//   - answer columns: 0 "key", the key as plain text (42 -> "42"); 1 "index_value", the
//     tag's value as plain text (12.5 -> "12.5"); text tags' values carry no trailing blanks.
//     The index value is a token (index_token.h): a value the host's code page cannot hold
//     travels escaped, and I is read back through the inverse. A key the code page cannot
//     hold cannot travel at all: the answer fails with a CursorError at that row.
// Arguments come already unquoted (an apostrophe inside a text is fine: nothing is spliced
// into SQL). A bad call throws oledb_backend::CursorError with an English message.
//
// The returned cursor borrows db: close it before the connection.
//
// A call through the OLE DB stand-in registers the second form below, which keeps state on the connection.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/oledb/row_cursor.h"
#include "platform/oledb/sqlite_procedures.h"

namespace rowlark::database {

// The arguments of QueryRows ('T', 'G', 'I', 'K', n, 'F',D, 'A', 'B',E) by meaning.
struct QueryRowsRequest {
    std::string table;        // T
    std::string tag;          // G
    std::string start_index;  // I: index text of the start row; "" with "" key: start at an end
    std::string start_key;    // K: key text of the start row
    std::int64_t count = 0;   // n, 0 or more
    std::string key_field;    // F
    bool forward = true;      // D: 1 ascending after the start, 0 descending before it
    std::string filter_from;  // A: inclusive lower bound, "" for none
    std::string filter_to;    // B: rows <= B or beginning with B, "" for none
    bool inclusive = false;   // E: the start row itself comes first
};

// Reads the ten arguments of a call. Throws oledb_backend::CursorError naming the first argument
// that is wrong (its position, its meaning and what it was).
QueryRowsRequest ReadQueryRowsRequest(const std::vector<oledb_backend::ProcArg>& args);

std::unique_ptr<oledb_backend::RowCursor> QueryRows(sqlite3* db, const std::vector<oledb_backend::ProcArg>& args);

// The same on a connection that offers procedure memory: the call then keeps its statements
// prepared and what it looked up about the table and tag for the next call, and reads under one
// read transaction while its cursor walks (key_window_memory.h). A site without memory is the call above.
std::unique_ptr<oledb_backend::RowCursor> QueryRows(const oledb_backend::ProcedureSite& site,
                                                    const std::vector<oledb_backend::ProcArg>& args);

// The EXPLAIN QUERY PLAN lines of every statement the call would run, in order: how the
// walk reads the index. Throws like QueryRows.
std::vector<std::string> ExplainQueryRows(sqlite3* db, const std::vector<oledb_backend::ProcArg>& args);

// Hands the database's procedures to a registrar (the OLE DB stand-in passes its own).
void RegisterDatabaseProcedures(std::function<void(const std::string&, oledb_backend::Procedure)> add);

}  // namespace rowlark::database
