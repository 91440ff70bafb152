#pragma once
// Writes one planned table (import_plan.h) through the backend seam's bulk writer: the table, its
// rows as the reader streams them (live records only), then its index tags, all in a savepoint of
// the transaction the caller holds open, so a failure or a stop leaves the transaction as it was
// before the table. A tag the database refuses is left out and reported, the rest of the table kept.

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <vector>

#include "platform/oledb/connection.h"
#include "tools/import/import_plan.h"
#include "tools/i18n/tool_text.h"

namespace import_tool {

// Told how a table's writing advances (a progress bar on a terminal; nothing elsewhere).
class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void StartTable(const TablePlan& /*plan*/) {}
    // records: read so far (deleted ones too); bytes: the share of the table's files they stand for.
    virtual void Advance(std::uint32_t /*records*/, std::uint64_t /*bytes*/) {}
    virtual void EndTable() {}
};

// A stop asked for (a signal) while writing; nothing of the table is kept.
struct Interrupted : std::runtime_error {
    Interrupted() : std::runtime_error(tool_text::_("interrupted; nothing written")) {}
};

struct WriteSettings {
    Engine engine = Engine::kSqlite;
    rowlark::foxpro::ReaderOptions reader;
    std::function<bool()> stop;           // asked between records; true ends the write with Interrupted
};

struct TableWritten {
    std::uint64_t rows = 0;             // live records written
    std::vector<SkippedTag> refused;    // tags the database refused, with its reason
    std::vector<std::string> warnings;  // what the user should know of values written (faithful_values.h)
};

// Requires: a transaction open on db. Throws FoxProError for a record that cannot be read,
// DatabaseError naming the file, record and field for a value the database refused,
// oledb_backend::CursorError for another database failure, Interrupted on a stop.
TableWritten WriteTable(oledb_backend::Connection& db, const TablePlan& plan, const WriteSettings& settings,
                                   ProgressSink& progress);

}  // namespace import_tool
