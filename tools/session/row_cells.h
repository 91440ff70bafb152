#pragma once
// The cells of the grid's visible rows as the tools show them, NULL told apart from an empty text.
// A row's FormatField gives "" for both; its host value, read through the provider's grid interface
// as the grid reads it, is the empty value for NULL only (an empty text is a text).

#include <string>
#include <string_view>
#include <vector>

#include "platform/grid_component/owned_row.h"

namespace tools {

// The cell of a NULL: a lone NUL byte, which no formatted value holds (Format gives a C string).
inline const std::string kNullCell(1, '\0');
// How a NULL cell shows on the terminal: a sign no text of the host's code page has.
inline constexpr const char* kNullShown = "∅";

inline bool IsNullCell(std::string_view cell) { return cell.size() == 1 && cell[0] == '\0'; }

struct PageCells {
    std::vector<std::string> names;               // CP1251, as the first row names its columns
    std::vector<std::vector<std::string>> cells;  // CP1251 as FormatField gives them, or kNullCell
};

// The rows' columns and cells. provider: the script object the rows came from; without grid
// interfaces no cell is told NULL.
PageCells ReadPage(const std::vector<grid_component::OwnedRow>& rows, const CValue& provider);

}  // namespace tools
