#include "tools/session/page_table.h"

#include <algorithm>

#include "platform/grid_component/text_table.h"
#include "tools/i18n/locale_forms.h"
#include "tools/i18n/tool_text.h"
#include "tools/session/row_cells.h"
#include "tools/terminal_text/cell_fit.h"
#include "tools/terminal_text/showable_text.h"

namespace tools {

namespace {

// A number or date too wide for its column shows as '#' signs, never as part of itself (cell_fit.h).
std::string FitLeft(std::string_view shown, std::size_t width) { return terminal_text::FitCell(shown, width); }

std::string ShowCell(std::string_view cp1251_text) {
    return IsNullCell(cp1251_text) ? kNullShown : terminal_text::ShowableFromCp1251(cp1251_text);
}

const grid_component::TextLook& TerminalLook() {
    static const grid_component::TextLook look{ShowCell, terminal_text::Width, FitLeft};
    return look;
}

// A column whose every value is an ISO date shows them as the locale writes dates (ASCII either way,
// so the same in the host's code page).
void LocalDates(std::vector<std::vector<std::string>>& cells) {
    const std::size_t columns = cells.empty() ? 0 : cells.front().size();
    for (std::size_t c = 0; c < columns; ++c) {
        bool any = false;
        const bool dates = std::all_of(cells.begin(), cells.end(), [&](const std::vector<std::string>& row) {
            if (c >= row.size() || row[c].empty() || IsNullCell(row[c])) return true;
            any = true;
            return tool_text::LocalDate(row[c]).has_value();
        });
        if (!dates || !any) continue;
        for (auto& row : cells)
            if (c < row.size()) row[c] = tool_text::LocalDate(row[c]).value_or(row[c]);
    }
}

}  // namespace

std::string TableText(const std::vector<std::string>& names, const std::vector<std::vector<std::string>>& cells,
                      std::size_t max_cell_width) {
    return grid_component::RenderTable(names, cells, max_cell_width, TerminalLook());
}

std::string PageTable(const std::vector<grid_component::OwnedRow>& rows, const CValue& provider,
                      std::size_t max_cell_width) {
    if (rows.empty()) return std::string(tool_text::_("(no rows)")) + "\n";
    PageCells page = ReadPage(rows, provider);
    LocalDates(page.cells);
    return TableText(page.names, page.cells, max_cell_width);
}

}  // namespace tools
