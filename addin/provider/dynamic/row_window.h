#pragma once
// The row window of the dynamic provider: the rows of the last load that the grid has not taken
// yet, in QueryRows order. A load asks QueryRows for the keys of the next rows, runs the row query
// with those keys in place of "%СписокИД%" (its result becomes the provider's current result), and
// lines that result's rows up with the keys: each entry names the result row that carries its key.
//
// Why a load fills the window only at its end: a load that stops on an error, also one that leaves
// by the host's throwing run-time error, must serve nothing stale and nothing half-placed. So the
// previous window goes first and the new one appears whole or not at all; a key the row query does
// not return is left out.
//
// When QueryRows gives its full count, the row query runs before the answer is stepped past its
// end: the answer's read of the database then serves both (one read lock per window), and it ends
// before the load returns. Keys are matched by value where the row query gives numbers (key_lookup.h).
//
// The key column of the row query result is looked up by the first load that reaches a result and
// kept until ForgetKeyColumn (the provider's "GetData"), so a changed "KeyFieldQuery" or a query
// with other columns moves the key column only then.
//
// The current result and the two services are the provider's and outlive the window.

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>

#include "addin/host/oledb.h"
#include "addin/host/system_interface.h"
#include "addin/host/user_interface.h"
#include "addin/provider/data_row.h"
#include "addin/provider/dynamic/answer_keys.h"
#include "addin/provider/dynamic/dynamic_settings.h"
#include "addin/provider/dynamic/key_entry.h"

namespace OleDb {
namespace GridProvider {

class CRowWindow {
public:
    CRowWindow(OleDb::CResultDirectAccessProxy& result, Utils::CSystemInterface& system, Utils::CUserInterface& user);
    CRowWindow(const CRowWindow&) = delete;
    CRowWindow& operator=(const CRowWindow&) = delete;

    // Replaces the window and the current result by the rows QueryRows names around start (null:
    // from an end of the range): |count| rows after it when count > 0, else before it; start itself
    // first when inclusive. Errors are raised and end the load with an empty window. True when the
    // row query's rows were placed (possibly none).
    bool Load(const DynamicSettings& settings, OleDb::CCommandProxy& command, const CDynamicDataRow* start,
              int count, bool inclusive);
    // The next load that reaches a row query result looks the key column up again.
    void ForgetKeyColumn() { key_column_.reset(); }

    bool IsEmpty() const { return entries_.empty(); }
    // The next entry to hand out. Requires: not empty. Valid until PopFront or the next Load.
    const KeyEntry& Front() const { return entries_.front(); }
    // A new row (owned by the caller) for the front entry, read from the current result with
    // fields; the entry stays until PopFront. Null when the window is empty; null and raised when
    // the row cannot be positioned or one of its values cannot be read (a cell the layer failed
    // to deliver must not be shown as empty), so the entry stays for another try.
    std::unique_ptr<CDynamicDataRow> MakeFrontRow(const FieldSetPtr& fields);
    void PopFront() { entries_.pop_front(); }

private:
    // The keys of one QueryRows answer; kept by the window, so each load reuses the last one's room.
    struct AnswerKeys {
        std::string list;        // 'k1','k2',... in answer order, for the row query
        CAnswerKeys keys;        // each key once, at its first place; rows taken, repeated keys too
    };
    // How a read of the answer stopped.
    enum class AnswerRead { kFailed, kAtEnd, kAtCount };

    // Reads answer rows into keys until the answer ends or keys holds limit rows; kFailed (and
    // raised) when a row's key or index text cannot be read.
    AnswerRead ReadKeys(OleDb::CResultSequentialAccessProxy& answer, std::uint32_t limit, bool debug,
                        AnswerKeys& keys);
    // Steps the answer past its last row with the window hidden, so that a failure leaving by the
    // host's throwing error leaves none; false (the window empty) when another row follows.
    bool AnswerEnds(OleDb::CResultSequentialAccessProxy& answer);
    // Adds the answer's current row to keys; false (and raised) when it cannot be read.
    bool TakeKey(OleDb::CResultSequentialAccessProxy& answer, bool debug, AnswerKeys& keys);
    // Runs the row query for the keys and lines its rows up with them; false when the load ends early.
    bool LoadRows(const DynamicSettings& settings, OleDb::CCommandProxy& command, const AnswerKeys& keys);
    // Finds the key column once per ForgetKeyColumn; false (and raised) when the result has none.
    bool FindKeyColumn(const std::string& key_field);
    // The rows of the current result: as reported, or counted by positioning when not reported.
    std::int32_t CountRows(LONG reported);

    OleDb::CResultDirectAccessProxy& result_;   // the provider's current result; every load replaces it
    Utils::CSystemInterface& system_;           // raises the load's errors
    Utils::CUserInterface& user_;               // shows the debug messages
    std::optional<std::uint32_t> key_column_;   // key column of the row query result, once found
    std::deque<KeyEntry> entries_;              // rows not yet taken, in QueryRows order
    CValue value_;                              // the value being read; its buffer serves every read
    AnswerKeys answer_;                         // the keys of the load under way
    std::string key_;                           // the key of the answer row being taken
};

}  // namespace GridProvider
}  // namespace OleDb
