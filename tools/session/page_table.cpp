#include "tools/session/page_table.h"

#include <algorithm>

#include "platform/grid_component/text_table.h"
#include "tools/terminal_text/showable_text.h"

namespace tools {

std::string TableText(const std::vector<std::string>& names, const std::vector<std::vector<std::string>>& cells,
                      std::size_t max_cell_width) {
    // Measured once shown: a stand-in or a wide character counts as the columns it takes.
    auto shown = [](const std::vector<std::string>& values) {
        std::vector<std::string> out;
        for (const auto& value : values) out.push_back(terminal_text::ShowableFromCp1251(value));
        return out;
    };
    std::vector<std::string> header = shown(names);
    std::vector<std::vector<std::string>> rows;
    std::vector<std::size_t> widths;
    for (const auto& name : header) widths.push_back(terminal_text::Width(name));
    for (const auto& row : cells) {
        rows.push_back(shown(row));
        for (std::size_t c = 0; c < widths.size() && c < rows.back().size(); ++c)
            widths[c] = std::max(widths[c], terminal_text::Width(rows.back()[c]));
    }
    for (auto& width : widths) width = std::min(width, std::max<std::size_t>(max_cell_width, 2));

    std::string out;
    auto line = [&](const std::vector<std::string>& values) {
        for (std::size_t c = 0; c < widths.size(); ++c)
            out += (c ? " | " : "") + terminal_text::Fit(c < values.size() ? values[c] : std::string(), widths[c]);
        while (!out.empty() && out.back() == ' ') out.pop_back();
        out += '\n';
    };
    line(header);
    for (std::size_t c = 0; c < widths.size(); ++c) out += (c ? "-+-" : "") + std::string(widths[c], '-');
    out += '\n';
    for (const auto& row : rows) line(row);
    return out;
}

std::string PageTable(const std::vector<grid_component::OwnedRow>& rows, std::size_t max_cell_width) {
    if (rows.empty()) return "(no rows)\n";
    const std::vector<int> columns = grid_component::ColumnNumbers(*rows.front());
    std::vector<std::string> names;
    for (int number : columns) names.emplace_back(rows.front()->LookupFieldName(number));
    std::vector<std::vector<std::string>> cells(rows.size());
    CString text;
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (int number : columns) cells[r].emplace_back(rows[r]->FormatField(number, text).view());
    return TableText(names, cells, max_cell_width);
}

}  // namespace tools
