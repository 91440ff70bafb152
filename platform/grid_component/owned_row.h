#pragma once
// A row the grid owns. Rows from NextRow and FindRowByKey are the caller's, deleted through
// ::CDataRow's virtual destructor, so their memory goes back inside the module that made them.

#include <memory>

#include "addin/grid/data_row.h"

namespace grid_component {

using OwnedRow = std::unique_ptr<::CDataRow>;

}  // namespace grid_component
