#pragma once
// How each column of the grid is shown, learnt once and kept while scrolling, so that columns stay
// put and numbers line up: the width comes from the declared type and size where the table declares
// them (VARCHAR(20), NUMERIC(12,2), DATE), else from the widest value seen so far (it only grows);
// numbers are right-aligned with the declared scale, or the most decimals seen so far, so that their
// points line up; ISO dates show as the user's locale writes dates. Cells and names are CP1251.
// A NULL cell (tools::kNullCell, tools/session/row_cells.h) is kept as it is and, like an empty
// text, says nothing of the column's kind.

#include <cstddef>
#include <string>
#include <vector>

#include "platform/oledb/catalogue.h"

namespace grid_tool {

inline constexpr std::size_t kMaxColumnWidth = 30;

class ColumnShapes {
public:
    // declared: the table's columns as its catalogue declares them (empty when unknown); a column
    // of the page is matched to one by name, in any ASCII letter case.
    explicit ColumnShapes(std::vector<oledb_backend::ColumnInfo> declared = {});

    // Takes in one page: the column names and the cells as the rows format them.
    void Learn(const std::vector<std::string>& names, const std::vector<std::vector<std::string>>& cells);
    // Requires: Learn has seen the column. The cell as the column shows it.
    std::string Shown(std::size_t column, const std::string& cell) const;
    std::size_t Width(std::size_t column) const { return shapes_[column].width; }
    bool RightAligned(std::size_t column) const { return shapes_[column].numbers_only && shapes_[column].any; }
    std::size_t Count() const { return shapes_.size(); }

private:
    struct Shape {
        std::string name;           // the column name, CP1251, as the page gave it
        bool fixed_width = false;   // the width comes from the declared size
        bool fixed_scale = false;   // the decimals come from the declared scale
        std::size_t width = 1;      // screen columns
        std::size_t scale = 0;      // decimals a number shows
        bool numbers_only = true;   // every value seen is a number
        bool dates_only = true;     // every value seen is an ISO date
        bool any = false;           // some value seen is not empty
    };
    Shape Declare(const std::string& name) const;
    void See(Shape& shape, const std::string& cell) const;

    std::vector<oledb_backend::ColumnInfo> declared_;
    std::vector<Shape> shapes_;  // one per column of the page, in its order
};

// The number text with exactly scale decimals (zeros added; never cut), or the text unchanged when
// it is no number.
std::string WithDecimals(const std::string& number, std::size_t scale);
// How many decimals a number text has (0 without a point).
std::size_t DecimalsOf(const std::string& number);

}  // namespace grid_tool
