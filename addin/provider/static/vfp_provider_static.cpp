#include "addin/provider/static/vfp_provider_static.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>

#include "addin/context/fold_name.h"
#include "text/cp1251_literal.h"

namespace OleDb {
namespace GridProvider {

using Utils1s::Context::FoldName;

CVfpProviderStatic::~CVfpProviderStatic() = default;

void CVfpProviderStatic::SetKeyField(const std::string& name) { key_field_ = FoldName(name); }

void CVfpProviderStatic::SetConnection(COLEDBData* connection) { Connect(connection, command_); }

void CVfpProviderStatic::SetParameter(const std::string& name, const CValue& value) {
    StoreParameter(parameters_, name, value);
}

void CVfpProviderStatic::GetData() {
    static constexpr cp1251::Literal kNoKeyField{"Не установлено ключевое поле (свойство КлючевоеПоле/KeyField)"};

    // The checks come before any change, so a refused load leaves the previous one in place.
    if (!CheckConnectionAndQuery(command_, query_text_)) return;
    if (key_field_.empty()) {
        RaiseError(kNoKeyField);
        return;
    }

    loaded_ = false;
    key_column_.reset();
    m_Result.Reset();
    BindParameters(parameters_, command_);
    LONG reported_count = 0;
    CString text(query_text_.c_str());
    m_Result = command_.ExecuteStatementExternalDirect(text, reported_count);
    BuildFieldSet();
    loaded_ = true;
    row_count_ = reported_count > 0 ? static_cast<std::uint32_t>(reported_count) : CountRowsByPositioning();
    key_column_ = FindKeyColumn(m_Result, key_field_, *m_pSystem);
}

std::uint32_t CVfpProviderStatic::CountRowsByPositioning() {
    // Row numbers are the host's 32-bit signed LONG: none lies beyond its maximum.
    constexpr std::uint32_t kMaxRows = std::numeric_limits<LONG>::max();
    std::uint32_t rows = 0;
    while (rows < kMaxRows && m_Result.GetRow(static_cast<LONG>(rows))) ++rows;
    return rows;
}

void CVfpProviderStatic::PrepareRows(const ::CDataRow* from, int count, int /*reserved*/) {
    if (!loaded_) return;
    const auto rows = static_cast<std::int32_t>(row_count_);
    run_step_ = count < 0 ? -1 : 1;
    // Widened: a from row numbered at either end of int must not overflow its neighbour's number.
    // A start before row 0 is an empty run backwards and row 0 forwards.
    const std::int64_t start =
        from ? static_cast<std::int64_t>(from->GetRowId()) + run_step_ : (count < 0 ? rows - 1 : 0);
    run_position_ = static_cast<std::int32_t>(std::clamp<std::int64_t>(start, run_step_ < 0 ? -1 : 0, rows));
    // Widened so that a huge count cannot overflow; the clamps bring it back into 32 bits.
    const std::int64_t end = static_cast<std::int64_t>(run_position_) + count;
    run_end_ = static_cast<std::int32_t>(std::clamp<std::int64_t>(end, -1, rows));
}

::CDataRow* CVfpProviderStatic::NextRow() {
    static constexpr cp1251::Literal kNoNextRow{"Невозможно получить следующую строку данных"};
    if (!loaded_ || run_position_ == run_end_) return nullptr;
    if (!m_Result.GetRow(run_position_)) {
        RaiseError(kNoNextRow);
        return nullptr;
    }
    auto* row = new CDataRow(static_cast<std::uint32_t>(run_position_), m_Result, m_Fields);
    if (!row->IsComplete()) {  // a cell the layer failed to deliver must not be shown as empty
        delete row;
        RaiseError(kNoNextRow);
        return nullptr;
    }
    run_position_ += run_step_;
    return row;
}

BOOL CVfpProviderStatic::RefreshRow(::CDataRow* /*row*/) {
    GetData();
    return TRUE;
}

BOOL CVfpProviderStatic::IsSameRow(const ::CDataRow* a, const ::CDataRow* b) {
    if (a == nullptr || b == nullptr) return a == b ? TRUE : FALSE;
    return a->GetRowId() == b->GetRowId() ? TRUE : FALSE;
}

BOOL CVfpProviderStatic::GetRowCount(int& count) {
    if (!loaded_) return FALSE;
    count = static_cast<int>(row_count_);
    return TRUE;
}

void CVfpProviderStatic::NotifyGridCode0() { Notify(kGridNotifyCode0, 0); }

void CVfpProviderStatic::QuickSearch(const SearchRequest& request) {
    static constexpr cp1251::Literal kSearching{"Идет поиск..."};
    static constexpr cp1251::Literal kCannotPosition{"Ошибка при поиске значения"};
    static constexpr cp1251::Literal kCannotRead{"Ошибка при получении значения поля"};
    if (!loaded_) return;
    m_pUser->SetStatusText(kSearching.str());

    const auto column = FindColumn(m_Result, FoldName(request.column_name ? request.column_name : ""));
    if (!column) {
        m_pUser->SetStatusText(std::string());
        return;
    }
    const std::string typed = request.typed_text ? std::string(request.typed_text->view()) : std::string();
    const std::size_t n = typed.size();
    const std::string search_text = FoldName(typed);

    CValue cell;
    for (std::uint32_t k = 0; k < row_count_; ++k) {
        if (!m_Result.GetRow(static_cast<LONG>(k))) {
            RaiseError(kCannotPosition);
            return;
        }
        if (!m_Result.GetFieldValue(static_cast<int>(*column), cell)) {
            RaiseError(kCannotRead);
            return;
        }
        const char* text = cell.Format();
        if (std::strlen(text) < n) continue;
        CString prefix(text, static_cast<int>(n));
        prefix.MakeLower();  // the cell follows the C runtime's locale, the typed text the fold table
        if (_mbscmp(reinterpret_cast<const unsigned char*>(prefix.c_str()),
                    reinterpret_cast<const unsigned char*>(search_text.c_str())) != 0)
            continue;
        CDataRow match(k, m_Result, m_Fields);  // lives only while the grid handles the message
        if (!match.IsComplete()) {
            RaiseError(kCannotRead);
            return;
        }
        Notify(kGridNotifySearchMatch, reinterpret_cast<LPARAM>(static_cast<::CDataRow*>(&match)));
        m_pUser->SetStatusText(std::string());
        return;
    }
    m_pUser->SetStatusText(std::string());
}

CV7DataRow* CVfpProviderStatic::GetV7Row(::CDataRow* row) {
    if (!loaded_ || row == nullptr) return nullptr;
    return static_cast<CDataRow*>(row);
}

void CVfpProviderStatic::GetRowKey(::CDataRow* row, CValue& key) {
    if (!KeyColumnKnown() || row == nullptr) return;
    key = static_cast<CDataRow*>(row)->GetValueAt(static_cast<int>(*key_column_));
}

::CDataRow* CVfpProviderStatic::FindRowByKey(const CValue& key) {
    if (!KeyColumnKnown()) return nullptr;
    CValue value;
    for (std::uint32_t row = 0; row < row_count_; ++row) {
        if (!m_Result.GetRow(static_cast<LONG>(row))) return nullptr;
        if (!m_Result.GetFieldValue(static_cast<int>(*key_column_), value)) return nullptr;
        if (key == value) {
            std::unique_ptr<CDataRow> found(new CDataRow(row, m_Result, m_Fields));
            return found->IsComplete() ? found.release() : nullptr;  // a row with a lost cell is not found
        }
    }
    return nullptr;
}

}  // namespace GridProvider
}  // namespace OleDb
