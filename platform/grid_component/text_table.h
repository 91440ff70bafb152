#pragma once
// Renders rows as a text table: column names from the rows' FieldSet, cells from FormatField, a
// rule under the names, columns separated by " | ", long cells cut with an ellipsis. How a CP1251
// text reaches the screen (its UTF-8, its width, its cut) is the caller's TextLook: the plain one
// counts a character a column, the tools' terminal look shows controls by stand-ins.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/grid_component/owned_row.h"

namespace grid_component {

struct TextLook {
    std::string (*show)(std::string_view cp1251_text);             // the text as UTF-8 for the screen
    std::size_t (*width)(std::string_view shown);                  // columns a shown text takes
    std::string (*fit)(std::string_view shown, std::size_t width);  // exactly width columns: cut with "…" or padded
};

// One character of the code page, one column.
const TextLook& PlainLook();

// Column numbers of the row's fields in ascending order (numbers may have gaps after a repeated name).
std::vector<int> ColumnNumbers(::CDataRow& row);

// Names and cells in CP1251; the table in UTF-8, each line ending in '\n'; trailing blanks dropped.
std::string RenderTable(const std::vector<std::string>& names, const std::vector<std::vector<std::string>>& cells,
                        std::size_t max_cell_width, const TextLook& look);
// The rows' columns and cells as the grid formats them; "(no rows)" for none.
std::string RenderTable(const std::vector<OwnedRow>& rows, std::size_t max_cell_width = 28,
                        const TextLook& look = PlainLook());

}  // namespace grid_component
