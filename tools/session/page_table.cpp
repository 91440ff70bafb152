#include "tools/session/page_table.h"

#include "platform/grid_component/text_table.h"
#include "tools/terminal_text/showable_text.h"

namespace tools {

namespace {

std::string FitLeft(std::string_view shown, std::size_t width) { return terminal_text::Fit(shown, width); }

const grid_component::TextLook& TerminalLook() {
    static const grid_component::TextLook look{terminal_text::ShowableFromCp1251, terminal_text::Width, FitLeft};
    return look;
}

}  // namespace

std::string TableText(const std::vector<std::string>& names, const std::vector<std::vector<std::string>>& cells,
                      std::size_t max_cell_width) {
    return grid_component::RenderTable(names, cells, max_cell_width, TerminalLook());
}

std::string PageTable(const std::vector<grid_component::OwnedRow>& rows, std::size_t max_cell_width) {
    return grid_component::RenderTable(rows, max_cell_width, TerminalLook());
}

}  // namespace tools
