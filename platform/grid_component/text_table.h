#pragma once
// Renders rows as a text table for the terminal: column names from the rows' FieldSet, cells from
// FormatField, CP1251 turned into UTF-8, long cells cut with an ellipsis.

#include <string>
#include <vector>

#include "platform/grid_component/owned_row.h"

namespace grid_component {

// Column numbers of the row's fields in ascending order (numbers may have gaps after a repeated name).
std::vector<int> ColumnNumbers(::CDataRow& row);

std::string RenderTable(const std::vector<OwnedRow>& rows, int max_cell_width = 28);

}  // namespace grid_component
