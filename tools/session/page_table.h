#pragma once
// The grid's visible page as a table the command-line tools print: a header of column names, a rule,
// then one line per row, columns separated by " | " and cut to a greatest width: a text with an
// ellipsis, a number or date as '#' signs across the column (tools/terminal_text/cell_fit.h).
// Every text goes through terminal_text::Showable (tools/terminal_text), so each row is one line and every column
// starts at the same screen column on every line, whatever the cells hold. A NULL shows as "∅",
// apart from an empty text; a column of ISO dates shows them as the user's locale writes dates.

#include <cstddef>
#include <string>
#include <vector>

#include "platform/grid_component/owned_row.h"
#include "platform/runtime/value.h"

namespace tools {

inline constexpr std::size_t kMaxCellWidth = 28;

// Names and cells in the host's code page (CP1251), a cell tools::kNullCell for NULL; the table in
// UTF-8, each line ending in '\n'.
std::string TableText(const std::vector<std::string>& names, const std::vector<std::vector<std::string>>& cells,
                      std::size_t max_cell_width = kMaxCellWidth);
// The rows' columns and cells as the grid formats them, NULL told through provider, the script
// object the rows came from (row_cells.h); "(no rows)" for none, in the user's language.
std::string PageTable(const std::vector<grid_component::OwnedRow>& rows, const CValue& provider,
                      std::size_t max_cell_width = kMaxCellWidth);

}  // namespace tools
