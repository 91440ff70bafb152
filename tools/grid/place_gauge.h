#pragma once
// Where the current row stands in the dynamic provider's tag order, without counting rows: asks the
// database's catalogue for the tag's statistics (platform/oledb/catalogue.h, tag statistics) over a
// connection of its own. Every answer is an estimate; none (no percentage shown) when the database
// keeps no statistics of the tag or cannot be asked. Errors never leave it.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/oledb/catalogue.h"
#include "tools/grid/table_plan.h"

namespace grid_tool {

class PlaceGauge {
public:
    // Opens the catalogue of path for the plan's table and tag; a gauge that knows nothing when it cannot.
    PlaceGauge(const std::string& path, const TablePlan& plan);
    // A gauge over a catalogue already open (tests); tag as the catalogue names it.
    PlaceGauge(std::unique_ptr<oledb_backend::Catalogue> catalogue, const std::string& table, const std::string& tag);

    // The place of the row with that key (UTF-8, as the key column shows it), 0 the first row to 1 the last.
    std::optional<double> PlaceOf(const std::string& key);
    // The row nearest that place, to start the rows from: the tag's value there (UTF-8) and, where the
    // statistics tell the rows of one value apart, its key (catalogue.h, TagRowAt).
    std::optional<oledb_backend::TagRow> RowAt(double place);
    // How many rows stand from the row with key from (UTF-8, itself included) up to row, which has a
    // key; none when that cannot be told.
    std::optional<std::int64_t> RowsBetween(const std::string& from, const oledb_backend::TagRow& row);

private:
    void Find(const std::string& table, const std::string& tag);

    std::unique_ptr<oledb_backend::Catalogue> catalogue_;  // null when it could not be opened
    std::string table_;                                    // as the catalogue declares it
    std::optional<oledb_backend::TagInfo> tag_;            // none: the tag is unknown there
};

// A whole per cent for the status line ("37 %"): rounded, held to 0 to 100.
int WholePercent(double place);

// The place (0 to 1) a percentage the user typed means: digits with an optional fraction and an
// optional per cent sign, from 0 to 100 ("50", "12.5 %"); none for anything else.
std::optional<double> ParsePercent(const std::string& text);

}  // namespace grid_tool
