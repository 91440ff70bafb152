#include "platform/grid_component/text_table.h"

#include <algorithm>

#include "platform/text/cp1251.h"

namespace grid_component {

std::vector<int> ColumnNumbers(::CDataRow& row) {
    std::vector<int> numbers;
    const int count = row.GetFieldCount();
    for (int number = 0; static_cast<int>(numbers.size()) < count && number < count + 4096; ++number)
        if (row.LookupFieldName(number) != nullptr) numbers.push_back(number);
    return numbers;
}

namespace {

// A CP1251 cell cut to width characters (one byte is one character) and padded, as UTF-8.
std::string Cell(const std::string& text, std::size_t width) {
    if (text.size() > width) return cp1251::ToUtf8(text.substr(0, width - 1)) + "…";
    return cp1251::ToUtf8(text) + std::string(width - text.size(), ' ');
}

}  // namespace

std::string RenderTable(const std::vector<OwnedRow>& rows, int max_cell_width) {
    if (rows.empty()) return "(no rows)\n";
    const std::vector<int> columns = ColumnNumbers(*rows.front());
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> cells(rows.size());
    std::vector<std::size_t> widths;
    for (int number : columns) {
        header.emplace_back(rows.front()->LookupFieldName(number));
        widths.push_back(header.back().size());
    }
    CString text;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < columns.size(); ++c) {
            cells[r].emplace_back(rows[r]->FormatField(columns[c], text).view());
            widths[c] = std::max(widths[c], cells[r][c].size());
        }
    }
    for (auto& width : widths) width = std::min(width, static_cast<std::size_t>(std::max(max_cell_width, 2)));

    std::string out;
    auto line = [&](const std::vector<std::string>& values) {
        for (std::size_t c = 0; c < values.size(); ++c) out += (c ? " | " : "") + Cell(values[c], widths[c]);
        while (!out.empty() && out.back() == ' ') out.pop_back();
        out += '\n';
    };
    line(header);
    for (std::size_t c = 0; c < widths.size(); ++c) out += (c ? "-+-" : "") + std::string(widths[c], '-');
    out += '\n';
    for (const auto& row : cells) line(row);
    return out;
}

}  // namespace grid_component
