#pragma once
// What the screen learns from the plan's catalogue facts: the columns' declared types and sizes (for
// their widths and decimals), the column the screen opens on and the one column the dynamic provider
// can start a range from (its tag's column). Worked out before the screen opens.

#include <string>
#include <vector>

#include "platform/oledb/catalogue.h"
#include "tools/grid/grid_options.h"
#include "tools/grid/table_plan.h"

namespace grid_tool {

struct DeclaredColumns {
    std::vector<oledb_backend::ColumnInfo> columns;  // the table's columns; empty when unknown
    std::string open_on;                              // the column to open on (UTF-8); empty: the first
    std::string range_column;                         // the column typing searches in the dynamic
                                                      // provider; empty when the tag's is not known
};

// The column the tag's expression is over: the whole expression when it names a column, else the
// first column its words name (upper(name) → name); empty for none. Names match in any ASCII case.
std::string TagColumn(const std::string& expression, const std::vector<std::string>& columns);

// From the plan (which read the catalogue once). The dynamic provider opens on its tag's column; the
// static one does when a tag was named (--tag).
DeclaredColumns ReadDeclaredColumns(const Options& options, const TablePlan& plan);

}  // namespace grid_tool
