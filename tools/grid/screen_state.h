#pragma once
// What the keys change on the grid's screen and the provider modes share: the grid component, the
// current cell, the search text and the pane's message. Owned by the screen; a mode changes it only
// inside a call. The moves keep the current row on the row it was on where the viewport allows.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/grid_component/grid_component.h"

namespace grid_tool {

inline constexpr int kSkipWindow = 1000;

// The name the rows' fields give the column named (UTF-8, in any case): CP1251 in the layer's small letters.
std::string FieldName(const std::string& utf8_name);

struct ScreenState {
    std::unique_ptr<grid_component::Grid> grid;  // made when the screen opens; the moves require it
    int current_row = 0;                         // index among the visible rows
    int current_column = 0;                      // index among the columns shown
    std::string typed;                           // the search text as typed, UTF-8
    std::string message;                         // the last message for the pane, UTF-8

    int RowCount() const { return static_cast<int>(grid->Rows().size()); }
    // Keeps the current row among the visible rows (0 when there are none).
    void ClampRow();
    // The current column's name in the host's code page; empty without rows.
    std::string ColumnName() const;
    // The place among the columns shown of the column named (UTF-8, in any case the catalogue or
    // the user writes it), or -1 (also without rows).
    int ColumnIndex(const std::string& utf8_name) const;
    // The number in the rows of the column named (as for ColumnIndex), or -1 (also without rows).
    int ColumnNumber(const std::string& utf8_name) const;

    // Up and Down move the current row, paging when it would leave the page.
    void MoveUp();
    void MoveDown();
    // PgUp and PgDn: at either end the page stays and the current row goes to its first or last row.
    void PageUp();
    void PageDown();
    // Makes the row count rows after the first visible one current, reading the rows between in
    // windows of at most kSkipWindow rows: page_size rows from it on, or the last page_size rows when
    // fewer follow it. Stops early at an error the module raises (left for the screen to show).
    void SkipDown(std::int64_t count, int page_size);
    // Shows page_size rows with the current one that many rows before the end: at the top when there are
    // page_size or more from it to the end, else among the last page_size rows.
    void ShowFromTheEnd(int rows, int page_size);
    // Home and End: the first or the last page, with its first or last row current.
    void Home();
    void End();
    // Left and Right: Right is held to the last column when the screen is painted.
    void Left();
    void Right() { ++current_column; }
};

}  // namespace grid_tool
