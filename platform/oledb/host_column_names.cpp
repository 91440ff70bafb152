#include "platform/oledb/host_column_names.h"

#include "platform/oledb/name_fold.h"
#include "platform/oledb/text_out.h"

namespace oledb_backend {

std::vector<std::string> HostColumnNames(const RowCursor& cursor, bool& replaced) {
    std::vector<std::string> names;
    const int columns = cursor.ColumnCount();
    for (int c = 0; c < columns; ++c) {
        std::string name;
        if (!AppendCp1251(cursor.ColumnName(c), name)) replaced = true;
        names.push_back(FoldColumnName(name));
    }
    return names;
}

}  // namespace oledb_backend
