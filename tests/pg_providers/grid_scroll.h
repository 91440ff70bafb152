#pragma once
// Reading a grid the way a user reads it: the cells shown, and a scroll page by page that notes each
// row the first time it comes into view (a short last page is topped up with rows already seen).

#include <string>
#include <vector>

#include "platform/grid_component/grid_component.h"
#include "tests/support/host_fixture.h"

namespace pg_providers {

// Display text (UTF-8) of a row's cell.
inline std::string Cell(::CDataRow& row, int column) {
    CString text;
    return test_support::Utf(std::string(row.FormatField(column, text).view()));
}

// The first cell (the id) of every visible row, top to bottom.
inline std::vector<std::string> ShownIds(const grid_component::Grid& grid) {
    std::vector<std::string> ids;
    for (const auto& row : grid.Rows()) ids.push_back(Cell(*row, 0));
    return ids;
}

// Rows of page that come after the last of seen (all of them when it is not on the page); reversed
// for a scroll upwards, where new rows are above the earlier ones.
inline std::vector<std::string> NewRows(const std::vector<std::string>& page, const std::vector<std::string>& seen,
                                        bool down) {
    std::vector<std::string> rows = page;
    if (!down) rows.assign(page.rbegin(), page.rend());
    if (seen.empty()) return rows;
    for (std::size_t at = 0; at < rows.size(); ++at)
        if (rows[at] == seen.back()) return std::vector<std::string>(rows.begin() + static_cast<std::ptrdiff_t>(at) + 1, rows.end());
    return rows;
}

// Ids in the order they came into view, from Home paging down (or End paging up) until the page no
// longer changes; between pages, between() runs (another desk's changes). Stops after max_pages.
template <typename Between>
std::vector<std::string> Scroll(grid_component::Grid& grid, bool down, int max_pages, Between between) {
    std::vector<std::string> seen;
    if (!(down ? grid.Home() : grid.End())) return seen;
    std::vector<std::string> page = ShownIds(grid);
    seen = NewRows(page, seen, down);
    for (int pages = 0; pages < max_pages; ++pages) {
        between();
        if (!(down ? grid.PageDown() : grid.PageUp())) break;
        std::vector<std::string> next = ShownIds(grid);
        if (next == page) break;  // the grid stays put at the end
        for (auto& id : NewRows(next, seen, down)) seen.push_back(std::move(id));
        page = std::move(next);
    }
    return seen;
}

inline std::vector<std::string> Scroll(grid_component::Grid& grid, bool down, int max_pages) {
    return Scroll(grid, down, max_pages, [] {});
}

}  // namespace pg_providers
