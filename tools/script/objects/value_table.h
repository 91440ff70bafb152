#pragma once
// The host's value table, "ТаблицаЗначений" / "ValueTable": named columns (optionally typed: a number
// column keeps numbers rounded to its precision, a text column texts cut to its length, a date
// column dates, the empty date for what names none) and rows of values. Rows and columns count from
// 1. The current row (ВыбратьСтроки/ПолучитьСтроку/НоваяСтрока) shows its cells as the table's
// properties, one per column. A script reaches it through the host's member lookup; C++ through the
// functions below, which raise the host's run-time errors as the script members do and then change
// nothing. Its size is bounded (collection_limits.h): growing past it is such an error too.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "tools/script/bridge/value_holder.h"

namespace script {

class ValueList;

// Whether a column argument names no column (left out, empty or ""): the methods that may take
// every column then take every column.
bool IsAnyColumn(const CValue& column);

class ValueTable : public ValueHolder {
public:
    enum class ColumnType { Any, Number, String, Date };
    struct Column {
        std::string name;  // CP1251, as given
        ColumnType type = ColumnType::Any;
        int length = 0;     // 0: no limit
        int precision = 0;  // places after the point of a number column with a length
    };
    using Row = std::vector<CValue>;  // one cell per column

    ValueTable();
    ~ValueTable() override;
    CRuntimeClass* GetRuntimeClass() const override;

    // Valid until the table changes.
    const std::vector<Column>& Columns() const { return columns_; }
    const std::vector<Row>& Rows() const { return rows_; }
    std::size_t CurrentRow() const { return current_; }  // 1-based; 0: none

    // No columns, no rows.
    void Reset();
    // type: "Число"/"Number", "Строка"/"String", "Дата"/"Date" or empty (any value); length and
    // precision: numbers.
    bool AddColumn(std::string_view name, const CValue& type = CValue(), const CValue& length = CValue(),
                   const CValue& precision = CValue());
    // Appends a row of these values (as many as columns; conformed to the column types); makes it
    // current. Requires: room for one more row (TableFits).
    void AppendRow(Row values);
    // Appends an empty row, or inserts it before row `before` (1..count+1); makes it current.
    bool NewRow(const CValue& before = CValue());
    // The column named (any letter case) or numbered (from 1) by value; nullopt after raising.
    std::optional<std::size_t> ColumnOf(const CValue& column, std::string_view method);
    bool GetValue(const CValue& row, const CValue& column, CValue& out);
    bool SetValue(const CValue& row, const CValue& column, const CValue& value);
    // Sorts by "Кол1+, Кол2-" (a column without a sign ascends); equal keys keep their order.
    bool Sort(std::string_view keys);
    // Folds rows equal in the group columns into one (in the order groups first appear), adding up
    // the sum columns; every other column is dropped. Empty groups: all rows fold into one.
    bool Fold(std::string_view groups, std::string_view sums);
    // The sum of a column's values as numbers.
    bool Total(const CValue& column, CValue& out);
    // Deletes row (1..count), or the current one when row is empty.
    bool DeleteRow(const CValue& row);
    void DeleteRows();
    bool ExportColumn(ValueList& list, const CValue& column);
    // Puts the list's values into the column from the first row on, adding rows where there are fewer.
    bool ImportColumn(const ValueList& list, const CValue& column);
    // Puts value into every row's cell of the column, or of every column (IsAnyColumn).
    bool Fill(const CValue& value, const CValue& column);
    // The first cell equal to value, row by row, in the given column or any (IsAnyColumn); 1-based.
    bool Find(const CValue& value, const CValue& column, std::size_t& row, std::size_t& found_column);

    void VisitHeldValues(const std::function<void(const CValue&)>& visit) const override;
    void DropHeldValues() override { DeleteRows(); }

    const char* DisplayTypeName() const override;
    int PropertyCount() override;
    int LookupProperty(const char* name) override;
    const char* PropertyNameAt(int index, int language) override;
    int ReadProperty(int index, CValue& out) override;
    int WriteProperty(int index, const CValue& value) override;
    int CanReadProperty(int index) override;
    int CanWriteProperty(int index) override;
    int MethodCount() override;
    int LookupMethod(const char* name) override;
    const char* MethodNameAt(int index, int language) override;
    int MethodArity(int index) override;
    int MethodDefaultArg(int method, int parameter, CValue* out) override;
    int MethodHasResult(int index) override;
    int InvokeAsProcedure(int index, CValue** args) override;
    int InvokeAsFunction(int index, CValue& result, CValue** args) override;

    static CRuntimeClass classValueTable;

private:
    // The value as the column keeps it.
    CValue Conform(std::size_t column, const CValue& value) const;
    CValue EmptyCell(std::size_t column) const;
    // The 0-based column of a name, or -1.
    int FindColumn(std::string_view name) const;
    // Column numbers of a comma-separated list of names; nullopt after raising.
    std::optional<std::vector<std::size_t>> ColumnList(std::string_view names);
    void IndexColumns();
    bool Count(CValue& result, CValue** args);
    bool InvokeRows(int index, CValue& result, CValue** args);
    bool InvokeColumns(int index, CValue& result, CValue** args);

    std::vector<Column> columns_;
    std::unordered_map<std::string, int> column_by_folded_name_;
    std::vector<Row> rows_;
    std::size_t current_ = 0;  // the current row, 1-based; 0 before the first
};

}  // namespace script
