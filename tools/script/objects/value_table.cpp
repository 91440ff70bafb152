#include "tools/script/objects/value_table.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "tools/script/bridge/host_text.h"
#include "tools/script/bridge/russian.h"
#include "tools/script/bridge/script_error.h"
#include "tools/script/language/arithmetic.h"
#include "tools/script/language/date_value.h"
#include "tools/script/objects/collection_args.h"
#include "tools/script/objects/collection_errors.h"
#include "tools/script/objects/collection_limits.h"
#include "tools/script/objects/value_list.h"
#include "tools/script/objects/value_order.h"
#include "tools/script/objects/value_table_members.h"

namespace script {

using namespace value_table_members;

namespace {

constexpr std::int64_t kMaxLength = 1 << 20;
constexpr std::int64_t kMaxPrecision = 30;

bool IsName(std::string_view name) {
    if (name.empty() || !IsLetter(static_cast<unsigned char>(name[0]))) return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return IsLetter(static_cast<unsigned char>(c)) || (c >= '0' && c <= '9');
    });
}

std::optional<ValueTable::ColumnType> TypeNamed(const CValue& type) {
    if (type.GetKind() == CValue::Kind::Empty) return ValueTable::ColumnType::Any;
    const std::string folded = FoldName(type.GetString().view());
    if (folded.empty()) return ValueTable::ColumnType::Any;
    if (folded == FoldName(RU("Число")) || folded == "number") return ValueTable::ColumnType::Number;
    if (folded == FoldName(RU("Строка")) || folded == "string") return ValueTable::ColumnType::String;
    if (folded == FoldName(RU("Дата")) || folded == "date") return ValueTable::ColumnType::Date;
    return std::nullopt;
}

// A length or precision: left out is 0; otherwise a whole number in 0..limit.
std::optional<int> SizeArg(const CValue& value, std::int64_t limit) {
    if (value.GetKind() == CValue::Kind::Empty) return 0;
    if (value.GetKind() != CValue::Kind::Number) return std::nullopt;
    const CNumeric number = value.GetNumeric();
    const std::int64_t whole = number.ToInt64();
    if (CNumeric(static_cast<long long>(whole)) != number || whole < 0 || whole > limit) return std::nullopt;
    return static_cast<int>(whole);
}

CObject* CreateValueTable() { return new ValueTable(); }

}  // namespace

bool IsAnyColumn(const CValue& column) {
    return column.GetKind() == CValue::Kind::Empty ||
           (column.GetKind() == CValue::Kind::String && column.m_String.view().empty());
}

CRuntimeClass ValueTable::classValueTable = {"CValueTableObject", sizeof(ValueTable), 0xFFFF, CreateValueTable,
                                             &CBLContext::classCBLContext};

ValueTable::ValueTable() = default;
ValueTable::~ValueTable() = default;
CRuntimeClass* ValueTable::GetRuntimeClass() const { return &classValueTable; }
const char* ValueTable::DisplayTypeName() const { return RU("ТаблицаЗначений").data(); }

void ValueTable::VisitHeldValues(const std::function<void(const CValue&)>& visit) const {
    for (const Row& row : rows_)
        for (const CValue& cell : row) visit(cell);
}

void ValueTable::Reset() {
    columns_.clear();
    column_by_folded_name_.clear();
    rows_.clear();
    current_ = 0;
}

bool ValueTable::AddColumn(std::string_view name, const CValue& type, const CValue& length, const CValue& precision) {
    if (!IsName(name)) {
        collection_errors::BadColumnName(name);
        return false;
    }
    if (FindColumn(name) >= 0) {
        collection_errors::DuplicateColumn(name);
        return false;
    }
    const auto column_type = TypeNamed(type);
    if (!column_type) {
        collection_errors::BadColumnType(type.GetString().view());
        return false;
    }
    const auto column_length = SizeArg(length, kMaxLength);
    const auto column_precision = SizeArg(precision, kMaxPrecision);
    if (!column_length || !column_precision) {
        collection_errors::WrongArgument(Name(kNewColumn));
        return false;
    }
    if (!TableFits(rows_.size(), columns_.size() + 1)) {
        collection_errors::TooManyColumns(std::to_string(columns_.size() + 1));
        return false;
    }
    columns_.push_back(Column{std::string(name), *column_type, *column_length, *column_precision});
    IndexColumns();
    for (Row& row : rows_) row.push_back(EmptyCell(columns_.size() - 1));
    return true;
}

void ValueTable::IndexColumns() {
    column_by_folded_name_.clear();
    for (std::size_t i = 0; i < columns_.size(); ++i)
        column_by_folded_name_.emplace(FoldName(columns_[i].name), static_cast<int>(i));
}

int ValueTable::FindColumn(std::string_view name) const {
    const auto found = column_by_folded_name_.find(FoldName(name));
    return found == column_by_folded_name_.end() ? -1 : found->second;
}

CValue ValueTable::EmptyCell(std::size_t column) const {
    switch (columns_[column].type) {
        case ColumnType::Number: return NumberValue(CNumeric());
        case ColumnType::String: return TextValue("");
        case ColumnType::Date: return DateValue(calendar::kEmptyDate);
        case ColumnType::Any: break;
    }
    return CValue();
}

CValue ValueTable::Conform(std::size_t column, const CValue& value) const {
    const Column& kind = columns_[column];
    if (kind.type == ColumnType::Number) {
        const CNumeric number = value.GetNumeric();
        if (kind.length == 0) return NumberValue(number);
        try {
            return NumberValue(Round(number, kind.precision, true));
        } catch (const RuntimeError&) {
            return NumberValue(number);  // a number too large to have places to round
        }
    }
    if (kind.type == ColumnType::Date) {
        try {
            return DateValue(ReadDate(value));
        } catch (const RuntimeError&) {
            return DateValue(calendar::kEmptyDate);  // what names no date leaves the cell an empty date
        }
    }
    if (kind.type == ColumnType::String) {
        const CString text = value.GetString();
        const std::string_view view = text.view();
        return TextValue(kind.length == 0 ? view : view.substr(0, static_cast<std::size_t>(kind.length)));
    }
    return value;
}

void ValueTable::AppendRow(Row values) {
    values.resize(columns_.size());
    for (std::size_t i = 0; i < values.size(); ++i)
        if (columns_[i].type != ColumnType::Any) values[i] = Conform(i, values[i]);
    rows_.push_back(std::move(values));
    current_ = rows_.size();
}

bool ValueTable::NewRow(const CValue& before) {
    std::size_t at = rows_.size();
    if (before.GetKind() != CValue::Kind::Empty) {
        const auto index = IndexArg(before, rows_.size() + 1, collection_errors::RowOutOfRange, Name(kNewRow));
        if (!index) return false;
        at = *index;
    }
    if (!TableFits(rows_.size() + 1, columns_.size())) {
        collection_errors::TooManyRows(std::to_string(rows_.size() + 1));
        return false;
    }
    Row row;
    row.reserve(columns_.size());
    for (std::size_t i = 0; i < columns_.size(); ++i) row.push_back(EmptyCell(i));
    rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(at), std::move(row));
    current_ = at + 1;
    return true;
}

std::optional<std::size_t> ValueTable::ColumnOf(const CValue& column, std::string_view method) {
    if (column.GetKind() == CValue::Kind::String) {
        const int found = FindColumn(column.m_String.view());
        if (found >= 0) return static_cast<std::size_t>(found);
        collection_errors::UnknownColumn(column.m_String.view());
        return std::nullopt;
    }
    return IndexArg(column, columns_.size(), collection_errors::ColumnNumberOutOfRange, method);
}

bool ValueTable::GetValue(const CValue& row, const CValue& column, CValue& out) {
    const auto r = IndexArg(row, rows_.size(), collection_errors::RowOutOfRange, Name(kGetValue));
    if (!r) return false;
    const auto c = ColumnOf(column, Name(kGetValue));
    if (!c) return false;
    out = rows_[*r][*c];
    return true;
}

bool ValueTable::SetValue(const CValue& row, const CValue& column, const CValue& value) {
    const auto r = IndexArg(row, rows_.size(), collection_errors::RowOutOfRange, Name(kSetValue));
    if (!r) return false;
    const auto c = ColumnOf(column, Name(kSetValue));
    if (!c) return false;
    rows_[*r][*c] = Conform(*c, value);
    return true;
}

bool ValueTable::DeleteRow(const CValue& row) {
    std::size_t at = 0;
    if (row.GetKind() == CValue::Kind::Empty) {
        if (current_ == 0 || current_ > rows_.size()) {
            collection_errors::NoCurrentRow();
            return false;
        }
        at = current_ - 1;
    } else {
        const auto index = IndexArg(row, rows_.size(), collection_errors::RowOutOfRange, Name(kDeleteRow));
        if (!index) return false;
        at = *index;
    }
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(at));
    // A row deleted at or before the current one: the next ПолучитьСтроку gives the row after it.
    if (at < current_) --current_;
    return true;
}

void ValueTable::DeleteRows() {
    rows_.clear();
    current_ = 0;
}

bool ValueTable::ExportColumn(ValueList& list, const CValue& column) {
    const auto c = ColumnOf(column, Name(kExportColumn));
    if (!c) return false;
    if (!ListFits(rows_.size())) {
        collection_errors::TooManyListItems(std::to_string(rows_.size()));
        return false;
    }
    list.Clear();
    for (const Row& row : rows_) list.Append(row[*c]);
    return true;
}

bool ValueTable::ImportColumn(const ValueList& list, const CValue& column) {
    const auto c = ColumnOf(column, Name(kImportColumn));
    if (!c) return false;
    if (list.Size() > rows_.size() && !TableFits(list.Size(), columns_.size())) {
        collection_errors::TooManyRows(std::to_string(list.Size()));
        return false;
    }
    const std::size_t current = current_;
    while (rows_.size() < list.Size()) NewRow();
    current_ = current;
    for (std::size_t i = 0; i < list.Size(); ++i) rows_[i][*c] = Conform(*c, list.Items()[i].value);
    return true;
}

bool ValueTable::Fill(const CValue& value, const CValue& column) {
    std::size_t first = 0, last = columns_.size();
    if (!IsAnyColumn(column)) {
        const auto c = ColumnOf(column, Name(kFill));
        if (!c) return false;
        first = *c;
        last = *c + 1;
    }
    for (std::size_t c = first; c < last; ++c) {
        const CValue conformed = Conform(c, value);
        for (Row& row : rows_) row[c] = conformed;
    }
    return true;
}

bool ValueTable::Find(const CValue& value, const CValue& column, std::size_t& row, std::size_t& found_column) {
    std::size_t first = 0, last = columns_.size();
    if (!IsAnyColumn(column)) {
        const auto c = ColumnOf(column, Name(kFind));
        if (!c) return false;
        first = *c;
        last = *c + 1;
    }
    for (std::size_t r = 0; r < rows_.size(); ++r)
        for (std::size_t c = first; c < last; ++c)
            if (SameValues(rows_[r][c], value)) {
                row = r + 1;
                found_column = c + 1;
                return true;
            }
    return false;
}

}  // namespace script
