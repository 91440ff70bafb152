// The value table as the host's script object: its columns as properties of the current row, its
// methods by name; every call reads its arguments from args[i] (a left-out one is the empty value).
#include "tools/script/objects/value_table_members.h"

#include <cstdint>

#include "tools/script/bridge/host_text.h"
#include "tools/script/bridge/russian.h"
#include "tools/script/language/arithmetic.h"
#include "tools/script/objects/collection_args.h"
#include "tools/script/objects/collection_errors.h"
#include "tools/script/objects/collection_limits.h"
#include "tools/script/objects/value_list.h"
#include "tools/script/objects/value_table.h"

namespace script {

namespace value_table_members {

const MemberTable& Methods() {
    static const MemberTable table({
        {RU("НоваяКолонка"), "NewColumn", 4, false, 1},
        {RU("КоличествоКолонок"), "ColumnCount", 0, true, 0},
        {RU("КоличествоСтрок"), "LinesCnt", 1, true, 0},
        {RU("НоваяСтрока"), "NewLine", 1, false, 0},
        {RU("ВыбратьСтроки"), "SelectLines", 0, true, 0},
        {RU("ПолучитьСтроку"), "GetLine", 0, true, 0},
        {RU("ТекущаяСтрока"), "CurrentLine", 1, true, 0},
        {RU("ПолучитьЗначение"), "GetValue", 2, true, 2},
        {RU("УстановитьЗначение"), "SetValue", 3, false, 3},
        {RU("НайтиЗначение"), "FindValue", 3, true, 1},
        {RU("Сортировать"), "Sort", 1, false, 1},
        {RU("Свернуть"), "Group", 2, false, 1},
        {RU("Итог"), "Total", 1, true, 1},
        {RU("УдалитьСтроку"), "DeleteLine", 1, false, 0},
        {RU("УдалитьСтроки"), "DeleteLines", 0, false, 0},
        {RU("ВыгрузитьКолонку"), "UnloadColumn", 2, false, 2},
        {RU("ЗагрузитьКолонку"), "LoadColumn", 2, false, 2},
        {RU("Заполнить"), "Fill", 2, false, 1},
    });
    return table;
}

std::string_view Name(Method method) { return Methods().NameAt(method, 0); }

}  // namespace value_table_members

using namespace value_table_members;

namespace {

// The value list an argument holds; raises the wrong-argument error (and answers null) otherwise.
ValueList* ListArg(const CValue& value, Method method) {
    auto* list = dynamic_cast<ValueList*>(value.GetContext());
    if (list == nullptr) collection_errors::WrongArgument(Name(method));
    return list;
}

// A text argument (a list of columns); raises the wrong-argument error otherwise.
bool TextArg(const CValue& value, Method method) {
    if (value.GetKind() == CValue::Kind::String || value.GetKind() == CValue::Kind::Empty) return true;
    collection_errors::WrongArgument(Name(method));
    return false;
}

}  // namespace

int ValueTable::PropertyCount() { return static_cast<int>(columns_.size()); }
int ValueTable::LookupProperty(const char* name) { return FindColumn(name ? name : ""); }
const char* ValueTable::PropertyNameAt(int index, int language) {
    if (index < 0 || index >= PropertyCount() || language < 0 || language > 1) return nullptr;
    return columns_[static_cast<std::size_t>(index)].name.c_str();
}
int ValueTable::CanReadProperty(int index) { return index >= 0 && index < PropertyCount() ? 1 : 0; }
int ValueTable::CanWriteProperty(int index) { return CanReadProperty(index); }

int ValueTable::ReadProperty(int index, CValue& out) {
    if (!CanReadProperty(index)) return 0;
    if (current_ == 0 || current_ > rows_.size()) {
        collection_errors::NoCurrentRow();
        return 1;
    }
    out = rows_[current_ - 1][static_cast<std::size_t>(index)];
    return 1;
}

int ValueTable::WriteProperty(int index, const CValue& value) {
    if (!CanWriteProperty(index)) return 0;
    if (current_ == 0 || current_ > rows_.size()) {
        collection_errors::NoCurrentRow();
        return 1;
    }
    rows_[current_ - 1][static_cast<std::size_t>(index)] = Conform(static_cast<std::size_t>(index), value);
    return 1;
}

int ValueTable::MethodCount() { return Methods().Count(); }
int ValueTable::LookupMethod(const char* name) { return Methods().Lookup(name); }
const char* ValueTable::MethodNameAt(int index, int language) { return Methods().NameAt(index, language); }
int ValueTable::MethodArity(int index) { return Methods().Arity(index); }
int ValueTable::MethodHasResult(int index) { return Methods().HasResult(index) ? 1 : 0; }
int ValueTable::MethodDefaultArg(int method, int parameter, CValue* out) {
    if (!Methods().HasDefault(method, parameter)) return 0;
    if (out) out->Reset();
    return 1;
}

int ValueTable::InvokeAsProcedure(int index, CValue** args) {
    CValue ignored;
    return InvokeAsFunction(index, ignored, args);
}

int ValueTable::InvokeAsFunction(int index, CValue& result, CValue** args) {
    if (!Methods().Has(index)) return 0;
    result.Reset();
    if (!InvokeRows(index, result, args)) InvokeColumns(index, result, args);
    return 1;
}

// КоличествоСтрок(): the count; КоличествоСтрок(N): the table gets N rows (empty ones added, or
// the last ones dropped), and answers the count it had. More rows than a table may hold change nothing.
bool ValueTable::Count(CValue& result, CValue** args) {
    result = static_cast<long>(rows_.size());
    if (!IsGiven(args, 0)) return true;
    const CValue& wanted = ArgAt(args, 0);
    const CNumeric number = wanted.GetNumeric();
    if (wanted.GetKind() != CValue::Kind::Number || number < CNumeric() || Truncate(number) != number) {
        collection_errors::WrongArgument(Name(kRowCount));
        return true;
    }
    // Saturated at the 64-bit range and compared before narrowing, so no count wraps to a small one.
    const auto whole = static_cast<std::uint64_t>(number.ToInt64());
    const bool narrows = whole != static_cast<std::size_t>(whole);  // past a 32-bit size
    if (whole > rows_.size() && (narrows || !TableFits(static_cast<std::size_t>(whole), columns_.size()))) {
        collection_errors::TooManyRows(wanted.GetString().view());
        return true;
    }
    const auto count = static_cast<std::size_t>(whole);
    const std::size_t current = current_;
    while (rows_.size() < count) NewRow();
    if (rows_.size() > count) rows_.resize(count);
    current_ = current > count ? 0 : current;
    return true;
}

// The row methods; false for a method that is not one of them.
bool ValueTable::InvokeRows(int index, CValue& result, CValue** args) {
    const CValue& first = ArgAt(args, 0);
    switch (index) {
        case kRowCount: return Count(result, args);
        case kNewRow: NewRow(first); return true;
        case kSelectRows:
            current_ = 0;
            result = rows_.empty() ? 0L : 1L;
            return true;
        case kGetRow:
            if (current_ < rows_.size()) ++current_;
            else current_ = rows_.size() + 1;  // past the last: no current row until the next selection
            result = current_ <= rows_.size() ? 1L : 0L;
            return true;
        case kCurrentRow: {
            result = static_cast<long>(current_ <= rows_.size() ? current_ : 0);
            if (!IsGiven(args, 0)) return true;
            const auto row = IndexArg(first, rows_.size(), collection_errors::RowOutOfRange, Name(kCurrentRow));
            if (row) current_ = *row + 1;
            return true;
        }
        case kGetValue: GetValue(first, ArgAt(args, 1), result); return true;
        case kSetValue: SetValue(first, ArgAt(args, 1), ArgAt(args, 2)); return true;
        case kDeleteRow: DeleteRow(first); return true;
        case kDeleteRows: DeleteRows(); return true;
        default: return false;
    }
}

// The column methods and the ones over whole columns.
bool ValueTable::InvokeColumns(int index, CValue& result, CValue** args) {
    const CValue& first = ArgAt(args, 0);
    const CValue& second = ArgAt(args, 1);
    switch (index) {
        case kNewColumn: AddColumn(first.GetString().view(), second, ArgAt(args, 2), ArgAt(args, 3)); break;
        case kColumnCount: result = static_cast<long>(columns_.size()); break;
        case kFind: {
            std::size_t row = 0, column = 0;
            const bool found = Find(first, ArgAt(args, 2), row, column);
            result = found ? 1L : 0L;
            CValue* row_out = ArgSlot(args, 1);
            CValue* column_out = ArgSlot(args, 2);
            if (found && row_out) *row_out = static_cast<long>(row);
            if (found && column_out && IsAnyColumn(*column_out)) *column_out = TextValue(columns_[column - 1].name);
            break;
        }
        case kSort:
            if (TextArg(first, kSort)) Sort(first.GetString().view());
            break;
        case kFold:
            if (TextArg(first, kFold) && TextArg(second, kFold)) Fold(first.GetString().view(), second.GetString().view());
            break;
        case kTotal: Total(first, result); break;
        case kExportColumn:
            if (ValueList* list = ListArg(first, kExportColumn)) ExportColumn(*list, second);
            break;
        case kImportColumn:
            if (ValueList* list = ListArg(first, kImportColumn)) ImportColumn(*list, second);
            break;
        case kFill: Fill(first, second); break;
        default: return false;
    }
    return true;
}

}  // namespace script
