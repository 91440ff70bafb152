#pragma once
// The value table's methods, in the order of its member table (value_table_members.cpp), so the
// table's operations name the method in their errors by the name a script calls it.

#include <string_view>

#include "tools/script/objects/member_table.h"

namespace script::value_table_members {

enum Method { kNewColumn, kColumnCount, kRowCount, kNewRow, kSelectRows, kGetRow, kCurrentRow, kGetValue,
              kSetValue, kFind, kSort, kFold, kTotal, kDeleteRow, kDeleteRows, kExportColumn, kImportColumn,
              kFill };

const MemberTable& Methods();
// The Russian name (CP1251).
std::string_view Name(Method method);

}  // namespace script::value_table_members
