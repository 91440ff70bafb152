#include "tools/grid/screen_state.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "platform/grid_component/text_table.h"
#include "platform/oledb/name_fold.h"
#include "platform/runtime/module.h"
#include "platform/text/cp1251.h"

namespace grid_tool {

namespace {

// The index of row among the rows, if it is there (rows keep their identity as the viewport moves).
std::optional<int> IndexOf(const std::vector<grid_component::OwnedRow>& rows, const ::CDataRow* row) {
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i].get() == row) return static_cast<int>(i);
    return std::nullopt;
}

}  // namespace

void ScreenState::ClampRow() { current_row = std::clamp(current_row, 0, std::max(RowCount() - 1, 0)); }

std::string ScreenState::ColumnName() const {
    if (RowCount() == 0) return std::string();
    ::CDataRow& row = *grid->Rows().front();
    const std::vector<int> numbers = grid_component::ColumnNumbers(row);
    if (numbers.empty()) return std::string();
    const int index = std::clamp(current_column, 0, static_cast<int>(numbers.size()) - 1);
    return row.LookupFieldName(numbers[static_cast<std::size_t>(index)]);
}

int ScreenState::ColumnIndex(const std::string& utf8_name) const {
    const int number = ColumnNumber(utf8_name);
    if (number < 0) return -1;
    const std::vector<int> numbers = grid_component::ColumnNumbers(*grid->Rows().front());
    const auto found = std::find(numbers.begin(), numbers.end(), number);
    return found == numbers.end() ? -1 : static_cast<int>(found - numbers.begin());
}

std::string FieldName(const std::string& utf8_name) {
    return oledb_backend::FoldColumnName(cp1251::FromUtf8(utf8_name));
}

int ScreenState::ColumnNumber(const std::string& utf8_name) const {
    if (RowCount() == 0) return -1;
    return grid->Rows().front()->LookupFieldIndex(FieldName(utf8_name).c_str());
}

void ScreenState::MoveUp() {
    if (current_row > 0) {
        --current_row;
        return;
    }
    if (RowCount() == 0) return;
    const ::CDataRow* first = grid->Rows().front().get();
    grid->PageUp();
    current_row = std::max(IndexOf(grid->Rows(), first).value_or(1) - 1, 0);
}

void ScreenState::MoveDown() {
    if (current_row + 1 < RowCount()) {
        ++current_row;
        return;
    }
    if (RowCount() == 0) return;
    const ::CDataRow* last = grid->Rows().back().get();
    grid->PageDown();
    current_row = std::min(IndexOf(grid->Rows(), last).value_or(-1) + 1, std::max(RowCount() - 1, 0));
}

void ScreenState::PageDown() {
    const ::CDataRow* last = RowCount() > 0 ? grid->Rows().back().get() : nullptr;
    grid->PageDown();
    if (RowCount() > 0 && grid->Rows().back().get() == last) current_row = RowCount() - 1;
    ClampRow();
}

void ScreenState::SkipDown(std::int64_t count, int page_size) {
    // The row wanted stays count rows after the first visible one. A viewport of window rows moves on
    // by window rows a page, by fewer only at the last row.
    while (count > 0 && host_errors::Raised().empty()) {
        const int window = static_cast<int>(std::min<std::int64_t>(count, kSkipWindow));
        if (!grid->Resize(window) || RowCount() < window) break;  // the table ends before the row wanted
        const ::CDataRow* last = grid->Rows().back().get();
        grid->PageDown();
        const int moved = window - (IndexOf(grid->Rows(), last).value_or(-1) + 1);
        if (moved <= 0) break;
        count -= moved;
        if (moved < window) {
            // The viewport holds the last window rows: the row wanted and the window - count rows from it on.
            ShowFromTheEnd(static_cast<int>(window - count), page_size);
            return;
        }
    }
    grid->Resize(page_size);
    current_row = 0;
}

void ScreenState::ShowFromTheEnd(int rows, int page_size) {
    grid->Resize(std::max(rows, page_size));
    grid->End();
    if (rows >= page_size) grid->Resize(page_size);  // the last rows' first one at the top
    current_row = std::max(RowCount() - std::min(rows, page_size), 0);
}

void ScreenState::PageUp() {
    const ::CDataRow* first = RowCount() > 0 ? grid->Rows().front().get() : nullptr;
    grid->PageUp();
    if (RowCount() > 0 && grid->Rows().front().get() == first) current_row = 0;
    ClampRow();
}

void ScreenState::Home() {
    grid->Home();
    current_row = 0;
}

void ScreenState::End() {
    grid->End();
    current_row = std::max(RowCount() - 1, 0);
}

void ScreenState::Left() { current_column = std::max(current_column - 1, 0); }

}  // namespace grid_tool
