// One load of the dynamic provider: the keys of the next rows from QueryRows, then the rows of those
// keys from the script's query, lined up in QueryRows order.

#include <algorithm>
#include <limits>
#include <locale>
#include <utility>
#include <vector>

#include "addin/provider/dynamic/call_text.h"
#include "addin/provider/dynamic/vfp_provider_dynamic.h"
#include "text/cp1251_literal.h"

namespace OleDb {
namespace GridProvider {

namespace {

// Trailing white space as the "C" locale classes it: blank, \t, \n, \v, \f, \r.
std::string TrimTrailingSpace(std::string_view text) {
    static const auto& ctype = std::use_facet<std::ctype<char>>(std::locale::classic());  // lives as long as the program
    std::size_t end = text.size();
    while (end > 0 && ctype.is(std::ctype_base::space, text[end - 1])) --end;
    return std::string(text.substr(0, end));
}

// |count| without overflow: the grid may pass any int.
std::uint32_t RowsWanted(int count) {
    return static_cast<std::uint32_t>(count > 0 ? static_cast<std::int64_t>(count) : -static_cast<std::int64_t>(count));
}

constexpr std::uint32_t kNoRow = std::numeric_limits<std::uint32_t>::max();  // a key no result row carries
constexpr std::size_t kKeyListReserveRows = 4096;  // reserving for a huge count must not exhaust memory

}  // namespace

void CVfpProviderDynamic::LoadWindow(const ::CDataRow* start, int count, bool inclusive) {
    static constexpr cp1251::Literal kKeyMessage{"ИД: "};
    // The previous window goes first, so a load that stops early leaves nothing stale behind.
    row_count_ = 0;
    window_.clear();
    m_Result.Reset();

    const auto* start_row = dynamic_cast<const CDynamicDataRow*>(start);
    forward_ = count > 0;
    const std::uint32_t wanted = RowsWanted(count);

    call_text_.str(std::string());
    call_text_.clear();
    QueryRowsCall call;
    call.table = real_table_;
    call.index_tag = index_tag_;
    if (start_row) {
        call.start_index = start_row->GetIndexText();
        call.start_key = start_row->GetKeyText();
    }
    call.count = wanted;
    call.key_field = base_key_field_;
    call.forward = forward_;
    call.filter_from = filter_from_;
    call.filter_to = filter_to_;
    call.inclusive = inclusive;
    WriteQueryRowsCall(call_text_, call);
    const std::string call_text = call_text_.str();
    CString text{std::string_view(call_text)};
    long unused_count = 0;
    OleDb::CResultSequentialAccessProxy answer = command_.ExecuteStatementExternalSequential(text, unused_count);
    if (answer.IsEmpty()) return;

    std::string key_list;  // 'k1','k2',... for the row query
    key_list.reserve(12 * std::min<std::size_t>(wanted, kKeyListReserveRows));
    KeyMap keys;
    CValue value;
    while (answer.GetNextRow()) {
        value.Reset();
        if (!answer.GetFieldValue(0, value)) continue;  // a row without a readable key names no row
        std::string key = value.GetString().c_str();  // up to its first zero byte
        if (!key_list.empty()) key_list += ',';
        AppendQuoted(key_list, key);
        if (debug_) m_pUser->ShowMessage(kKeyMessage.str() + key, 0);
        value.Reset();
        answer.GetFieldValue(1, value);
        // A repeated key keeps its first place; places count distinct keys, so the window fits them.
        const auto place = static_cast<std::uint32_t>(keys.size());
        KeyEntry entry{place, key, TrimTrailingSpace(value.GetString().view())};
        keys.emplace(std::move(key), std::move(entry));
    }
    answer.Reset();
    if (keys.empty()) return;
    LoadRows(key_list, keys);
}

void CVfpProviderDynamic::LoadRows(const std::string& key_list, const KeyMap& keys) {
    static constexpr cp1251::Literal kKeyListMessage{"Получена строка ИД: "};
    static constexpr cp1251::Literal kPlaceholder{"%СписокИД%"};
    static constexpr cp1251::Literal kCannotReadRow{"Ошибка при получении строки запроса"};
    static constexpr cp1251::Literal kKeyOutsideList{
        "В полученной выборке обнаружена строка с ключевым полем, отсутствующем в списке ключей, полученных из "
        "опорной таблицы. Проверьте корректность запроса и названий ключевых полей."};

    if (debug_) m_pUser->ShowMessage(kKeyListMessage.str() + key_list, 0);
    CString text{std::string_view(query_text_)};
    text.Replace(kPlaceholder.c_str(), key_list.c_str());
    BindParameters(parameters_, command_);
    long reported_count = 0;
    m_Result = command_.ExecuteStatementExternalDirect(text, reported_count);
    if (!m_Result.IsValid()) return;  // the layer has reported the failing statement
    row_count_ = CountRows(reported_count);
    if (!FindKeyColumn()) return;

    // The row of the result that carries each key, by the key's place in the QueryRows answer.
    std::vector<std::uint32_t> row_at(keys.size(), kNoRow);
    CValue value;
    CString db_text, unused_extra;
    bool unused_flag = false;
    for (std::uint32_t j = 0; j < static_cast<std::uint32_t>(row_count_); ++j) {
        value.Reset();
        if (!m_Result.GetRow(static_cast<long>(j)) || !m_Result.GetFieldValue(static_cast<int>(key_column_), value)) {
            RaiseError(kCannotReadRow);
            return;
        }
        OleDb::CMetaNameParserProxy::CValueToDBValue(value, 0, db_text, unused_flag, unused_extra);
        const auto found = keys.find(db_text.view());
        if (found == keys.end()) {
            RaiseError(kKeyOutsideList);
            return;
        }
        row_at[found->second.number] = j;  // a key carried twice keeps its later row
    }

    std::vector<const KeyEntry*> by_place(keys.size());
    for (const auto& [key, entry] : keys) by_place[entry.number] = &entry;
    for (std::size_t place = 0; place < by_place.size(); ++place) {
        if (row_at[place] == kNoRow) continue;  // QueryRows named it, the row query did not return it
        window_.push_back(KeyEntry{row_at[place], by_place[place]->key_text, by_place[place]->index_text});
    }
    if (!m_Fields) BuildFieldSet();
}

bool CVfpProviderDynamic::FindKeyColumn() {
    static constexpr cp1251::Literal kNoKeyColumn{"В полученном наборе данных отсутствует ключевое поле ("};
    if (key_column_found_) return true;
    const int columns = m_Result.GetNumFields();
    for (int i = 0; i < columns; ++i) {
        if (m_Result.GetFieldName(i).view() == query_key_field_) {
            key_column_ = static_cast<std::uint32_t>(i);
            key_column_found_ = true;
            return true;
        }
    }
    RaiseError(kNoKeyColumn.str() + query_key_field_ + ")");
    return false;
}

std::int32_t CVfpProviderDynamic::CountRows(long reported) {
    constexpr long kMaxRows = std::numeric_limits<std::int32_t>::max();
    if (reported > 0) return static_cast<std::int32_t>(std::min(reported, kMaxRows));
    std::int32_t rows = 0;  // not reported: count the rows the result can be positioned on
    while (rows < kMaxRows && m_Result.GetRow(rows)) ++rows;
    return rows;
}

}  // namespace GridProvider
}  // namespace OleDb
