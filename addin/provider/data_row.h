#pragma once
// A row handed to the grid: a snapshot of one result row (every column's value copied when made)
// with a share of the FieldSet of its load, so it answers on its own after the provider moves on,
// reloads or is gone. Owned by the grid, deleted through ::CDataRow's virtual destructor. Rows
// come from the module's own allocator: a deleted row's storage and value array go to the row
// shelf (row_shelf.h) and serve the next rows, each of which overwrites every value it holds.

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "addin/grid/data_row.h"
#include "addin/host/oledb.h"
#include "addin/provider/field_set.h"

namespace OleDb {
namespace GridProvider {

class CDataRow : public ::CDataRow, public CV7DataRow {
public:
    // Copies the result's current row (nothing when the result is empty); a column whose value the
    // result does not deliver holds the empty value. Requires: fields is not null.
    CDataRow(std::uint32_t row_number, const OleDb::CResultProxy& result, FieldSetPtr fields);
    ~CDataRow() override;
    static void* operator new(std::size_t size);
    static void operator delete(void* block, std::size_t size) noexcept;

    int GetFieldCount() override;
    int LookupFieldIndex(const char* name) override;
    const char* LookupFieldName(int number) override;
    // An index outside the row's values gives the empty text (and GetValueAt the empty value).
    CString& FormatField(int index, CString& text) override;
    int GetRowId() const override;
    const CValue& GetValueAt(int index) override;

    std::size_t GetValueCount() const { return values_.size(); }
    // False when the result failed to deliver a value; that cell then holds the empty value.
    bool IsComplete() const { return complete_; }
    // Exchanges contents with other; never fails, so a row can be replaced all or nothing.
    void Swap(CDataRow& other) noexcept {
        std::swap(row_number_, other.row_number_);
        fields_.swap(other.fields_);
        values_.swap(other.values_);
        std::swap(complete_, other.complete_);
    }

private:
    std::uint32_t row_number_;
    FieldSetPtr fields_;
    std::vector<CValue> values_;
    bool complete_ = true;  // every value was delivered
};

// A row of the dynamic provider: row number 0, identified by the key text that QueryRows gave.
class CDynamicDataRow : public CDataRow {
public:
    CDynamicDataRow(std::string index_text, std::string key_text, const OleDb::CResultProxy& result,
                    FieldSetPtr fields);
    ~CDynamicDataRow() override;

    const std::string& GetIndexText() const { return index_text_; }
    const std::string& GetKeyText() const { return key_text_; }
    void Swap(CDynamicDataRow& other) noexcept {
        CDataRow::Swap(other);
        index_text_.swap(other.index_text_);
        key_text_.swap(other.key_text_);
    }

private:
    std::string index_text_;
    std::string key_text_;
};

}  // namespace GridProvider
}  // namespace OleDb
