#pragma once
// The run-time errors of the value list and the value table, raised as the host raises them (its
// text, the flag of a script object's error). Each raises and returns; under the host's throwing
// switch it leaves by the host's own exception instead, so a caller raises before it changes
// anything. Names and texts are CP1251.

#include <string_view>

#include "platform/runtime/value.h"

namespace script::collection_errors {

void RowOutOfRange(const CValue& row);
void PositionOutOfRange(const CValue& position);
void ShiftOutOfRange();
void NoCurrentRow();
void UnknownColumn(std::string_view name);
void ColumnNumberOutOfRange(const CValue& number);
void DuplicateColumn(std::string_view name);
void BadColumnName(std::string_view name);
void BadColumnType(std::string_view type);
void BadSortDirection(std::string_view direction);
// More than a collection may hold (collection_limits.h); count: the size asked for, as a text.
void TooManyRows(std::string_view count);
void TooManyColumns(std::string_view count);
void TooManyListItems(std::string_view count);
// An argument of the wrong kind (a text where a number goes, not a value list, ...); method: its name.
void WrongArgument(std::string_view method);
// A text raised elsewhere (a number out of range while summing), passed on as this object's error.
void Pass(std::string_view text);

}  // namespace script::collection_errors
