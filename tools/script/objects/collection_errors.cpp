#include "tools/script/objects/collection_errors.h"

#include <string>

#include "platform/runtime/module.h"
#include "tools/script/bridge/russian.h"

namespace script::collection_errors {

namespace {

constexpr int kErrorFlag = 7;

void Raise(std::string_view text, std::string_view detail) {
    std::string message(text);
    message.append(" (").append(detail).append(")");
    CBLModule::RaiseExtRuntimeError(message.c_str(), kErrorFlag);
}

std::string Shown(const CValue& value) { return std::string(value.GetString().view()); }

}  // namespace

void RowOutOfRange(const CValue& row) { Raise(RU("Неверный номер строки таблицы значений"), Shown(row)); }
void PositionOutOfRange(const CValue& position) {
    Raise(RU("Неверная позиция в списке значений"), Shown(position));
}
void ShiftOutOfRange() {
    CBLModule::RaiseExtRuntimeError(std::string(RU("Сдвиг за границы списка значений")).c_str(), kErrorFlag);
}
void NoCurrentRow() {
    CBLModule::RaiseExtRuntimeError(std::string(RU("Нет текущей строки таблицы значений")).c_str(), kErrorFlag);
}
void UnknownColumn(std::string_view name) { Raise(RU("Колонка таблицы значений не найдена"), name); }
void ColumnNumberOutOfRange(const CValue& number) {
    Raise(RU("Неверный номер колонки таблицы значений"), Shown(number));
}
void DuplicateColumn(std::string_view name) { Raise(RU("Колонка с таким именем уже есть"), name); }
void BadColumnName(std::string_view name) { Raise(RU("Неверное имя колонки"), name); }
void BadColumnType(std::string_view type) { Raise(RU("Неверный тип колонки"), type); }
void BadSortDirection(std::string_view direction) { Raise(RU("Неверное направление сортировки"), direction); }
void TooManyRows(std::string_view count) { Raise(RU("Слишком много строк таблицы значений"), count); }
void TooManyColumns(std::string_view count) { Raise(RU("Слишком много колонок таблицы значений"), count); }
void TooManyListItems(std::string_view count) { Raise(RU("Слишком много значений в списке значений"), count); }
void WrongArgument(std::string_view method) { Raise(RU("Неверный тип аргумента"), method); }
void Pass(std::string_view text) { CBLModule::RaiseExtRuntimeError(std::string(text).c_str(), kErrorFlag); }

}  // namespace script::collection_errors
