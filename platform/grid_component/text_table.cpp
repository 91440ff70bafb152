#include "platform/grid_component/text_table.h"

#include <algorithm>

#include "platform/text/cp1251.h"

namespace grid_component {

namespace {

std::string PlainShow(std::string_view cp1251_text) { return cp1251::ToUtf8(cp1251_text); }

// Characters, not bytes: every UTF-8 lead byte starts one.
std::size_t PlainWidth(std::string_view shown) {
    return static_cast<std::size_t>(
        std::count_if(shown.begin(), shown.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string PlainFit(std::string_view shown, std::size_t width) {
    const std::size_t length = PlainWidth(shown);
    if (length <= width) return std::string(shown) + std::string(width - length, ' ');
    std::string out;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if ((static_cast<unsigned char>(shown[i]) & 0xC0) != 0x80 && kept++ == width - 1) break;
        out += shown[i];
    }
    return out + "…";
}

}  // namespace

const TextLook& PlainLook() {
    static const TextLook look{PlainShow, PlainWidth, PlainFit};
    return look;
}

std::vector<int> ColumnNumbers(::CDataRow& row) {
    std::vector<int> numbers;
    const int count = row.GetFieldCount();
    for (int number = 0; static_cast<int>(numbers.size()) < count && number < count + 4096; ++number)
        if (row.LookupFieldName(number) != nullptr) numbers.push_back(number);
    return numbers;
}

std::string RenderTable(const std::vector<std::string>& names, const std::vector<std::vector<std::string>>& cells,
                        std::size_t max_cell_width, const TextLook& look) {
    // Measured once shown: a stand-in or a wide character counts as the columns it takes.
    auto shown = [&](const std::vector<std::string>& values) {
        std::vector<std::string> out;
        for (const auto& value : values) out.push_back(look.show(value));
        return out;
    };
    const std::vector<std::string> header = shown(names);
    std::vector<std::vector<std::string>> rows;
    std::vector<std::size_t> widths;
    for (const auto& name : header) widths.push_back(look.width(name));
    for (const auto& row : cells) {
        rows.push_back(shown(row));
        for (std::size_t c = 0; c < widths.size() && c < rows.back().size(); ++c)
            widths[c] = std::max(widths[c], look.width(rows.back()[c]));
    }
    for (auto& width : widths) width = std::min(width, std::max<std::size_t>(max_cell_width, 2));

    std::string out;
    auto line = [&](const std::vector<std::string>& values) {
        for (std::size_t c = 0; c < widths.size(); ++c)
            out += (c ? " | " : "") + look.fit(c < values.size() ? values[c] : std::string(), widths[c]);
        while (!out.empty() && out.back() == ' ') out.pop_back();
        out += '\n';
    };
    line(header);
    for (std::size_t c = 0; c < widths.size(); ++c) out += (c ? "-+-" : "") + std::string(widths[c], '-');
    out += '\n';
    for (const auto& row : rows) line(row);
    return out;
}

std::string RenderTable(const std::vector<OwnedRow>& rows, std::size_t max_cell_width, const TextLook& look) {
    if (rows.empty()) return "(no rows)\n";
    const std::vector<int> columns = ColumnNumbers(*rows.front());
    std::vector<std::string> names;
    for (int number : columns) names.emplace_back(rows.front()->LookupFieldName(number));
    std::vector<std::vector<std::string>> cells(rows.size());
    CString text;
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (int number : columns) cells[r].emplace_back(rows[r]->FormatField(number, text).view());
    return RenderTable(names, cells, max_cell_width, look);
}

}  // namespace grid_component
