#include "addin/provider/data_row.h"

#include "addin/provider/row_shelf.h"

namespace OleDb {
namespace GridProvider {

// Row blocks come from the plain operator new, so no row may need a stricter alignment.
static_assert(alignof(CDynamicDataRow) <= alignof(std::max_align_t), "a row needs more than the heap's alignment");

CDataRow::CDataRow(std::uint32_t row_number, const OleDb::CResultProxy& result, FieldSetPtr fields)
    : row_number_(row_number), fields_(std::move(fields)) {
    if (result.IsEmpty()) return;
    const int columns = result.GetNumFields();
    if (columns <= 0) return;
    const auto count = static_cast<std::size_t>(columns);
    values_ = RowShelf::TakeValues(count);  // room for every value: at most one allocation for the row
    values_.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        CValue& value = values_[i];
        if (!result.GetFieldValue(static_cast<int>(i), value)) {
            value.Reset();  // a kept array's value must not show what an earlier row held there
            complete_ = false;
        }
    }
}

CDataRow::~CDataRow() { RowShelf::PutValues(values_); }

void* CDataRow::operator new(std::size_t size) { return RowShelf::TakeBlock(size); }

void CDataRow::operator delete(void* block, std::size_t size) noexcept { RowShelf::PutBlock(block, size); }

int CDataRow::GetFieldCount() { return static_cast<int>(fields_->size()); }

int CDataRow::LookupFieldIndex(const char* name) {
    if (name == nullptr) return -1;
    const auto& by_name = fields_->get<ByName>();
    const auto found = by_name.find(std::string(name));
    return found == by_name.end() ? -1 : static_cast<int>((*found)->GetNumber());
}

const char* CDataRow::LookupFieldName(int number) {
    if (number < 0) return nullptr;
    const auto& by_number = fields_->get<ByNumber>();
    const auto found = by_number.find(static_cast<std::uint32_t>(number));
    return found == by_number.end() ? nullptr : (*found)->GetName().c_str();
}

CString& CDataRow::FormatField(int index, CString& text) {
    text = GetValueAt(index).Format();
    return text;
}

int CDataRow::GetRowId() const { return static_cast<int>(row_number_); }

const CValue& CDataRow::GetValueAt(int index) {
    static const CValue kEmpty;
    if (index < 0 || static_cast<std::size_t>(index) >= values_.size()) return kEmpty;
    return values_[static_cast<std::size_t>(index)];
}

CDynamicDataRow::CDynamicDataRow(std::string index_text, std::string key_text, const OleDb::CResultProxy& result,
                                 FieldSetPtr fields)
    : CDataRow(0, result, std::move(fields)), index_text_(std::move(index_text)), key_text_(std::move(key_text)) {}

CDynamicDataRow::~CDynamicDataRow() = default;

}  // namespace GridProvider
}  // namespace OleDb
