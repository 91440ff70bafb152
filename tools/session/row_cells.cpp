#include "tools/session/row_cells.h"

#include "addin/grid/interface_source.h"
#include "platform/grid_component/text_table.h"

namespace tools {

PageCells ReadPage(const std::vector<grid_component::OwnedRow>& rows, const CValue& provider) {
    PageCells page;
    if (rows.empty()) return page;
    const auto v7_provider = GetGridInterface<CV7DataProvider>(provider.GetContext());
    const std::vector<int> columns = grid_component::ColumnNumbers(*rows.front());
    for (int number : columns) page.names.emplace_back(rows.front()->LookupFieldName(number));
    CString text;
    for (const auto& row : rows) {
        CV7DataRow* values = v7_provider ? v7_provider->GetV7Row(row.get()) : nullptr;
        auto& cells = page.cells.emplace_back();
        for (int number : columns) {
            if (values != nullptr && values->GetValueAt(number).GetKind() == CValue::Kind::Empty)
                cells.push_back(kNullCell);
            else
                cells.emplace_back(row->FormatField(number, text).view());
        }
    }
    return page;
}

}  // namespace tools
