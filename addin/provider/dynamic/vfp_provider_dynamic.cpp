#include "addin/provider/dynamic/vfp_provider_dynamic.h"

#include <locale>
#include <typeinfo>

#include "addin/context/fold_name.h"
#include "text/cp1251_literal.h"

namespace OleDb {
namespace GridProvider {

CVfpProviderDynamic::CVfpProviderDynamic() {
    call_text_.imbue(std::locale::classic());  // counts are plain digits whatever the process locale
}

CVfpProviderDynamic::~CVfpProviderDynamic() = default;

void CVfpProviderDynamic::SetKeyFieldQuery(const std::string& name) {
    query_key_field_ = Utils1s::Context::FoldName(name);
}

void CVfpProviderDynamic::SetBaseTable(const std::string& text) {
    static constexpr cp1251::Literal kBaseTable{"Опорная таблица: "};
    static constexpr cp1251::Literal kNoRealName{"Ошибка получения реального имени таблицы ("};
    base_table_ = text;
    OleDb::CMetaNameParserProxy parser;  // lives for this one translation
    parser.SetQueryText(CString(std::string_view(text)));
    if (!parser.Parse()) {
        real_table_.clear();
        RaiseError(kNoRealName.str() + std::string(parser.GetLastError().view()) + ")");
        return;
    }
    real_table_ = std::string(parser.GetQueryText().view());
    if (debug_) m_pUser->ShowMessage(kBaseTable.str() + real_table_, 0);
}

void CVfpProviderDynamic::SetDebugMode(bool on) {
    debug_ = on;
    if (command_.IsValid()) command_.SetDebugMode(on);
}

void CVfpProviderDynamic::SetConnection(COLEDBData* connection) { Connect(connection, command_); }

void CVfpProviderDynamic::SetParameter(const std::string& name, const CValue& value) {
    StoreParameter(parameters_, name, value);
}

void CVfpProviderDynamic::GetData() {
    static constexpr cp1251::Literal kNoQueryKey{
        "Не установлено ключевое поле запроса(свойство КлючевоеПолеЗапроса/KeyFieldQuery)"};
    static constexpr cp1251::Literal kNoBaseKey{
        "Не установлено ключевое поле опорной таблицы(свойство КлючевоеПолеОпорнойТаблицы/KeyFieldBaseTable)"};
    static constexpr cp1251::Literal kNoBaseTable{"Не установлена опорная таблица (свойство ОпорнаяТаблица/BaseTable)"};
    static constexpr cp1251::Literal kNoIndexTag{"Не установлен тег индекса (свойство ТегИндекса/IndexTag)"};

    // Every check comes before any change, so a refused GetData leaves the provider as it was.
    if (!CheckConnectionAndQuery(command_, query_text_)) return;
    const std::pair<const std::string*, std::string_view> checks[] = {
        {&query_key_field_, kNoQueryKey}, {&base_key_field_, kNoBaseKey},
        {&real_table_, kNoBaseTable},     {&index_tag_, kNoIndexTag}};
    for (const auto& [setting, message] : checks) {
        if (setting->empty()) {
            RaiseError(message);
            return;
        }
    }

    loaded_ = false;
    key_column_found_ = false;
    m_Result.Reset();
    m_Fields.reset();
    loaded_ = true;
    PrepareRows(nullptr, 1, 0);
}

void CVfpProviderDynamic::PrepareRows(const ::CDataRow* from, int count, int /*reserved*/) {
    if (!loaded_) return;
    LoadWindow(from, count, false);
}

::CDataRow* CVfpProviderDynamic::NextRow() {
    if (!loaded_ || !m_Result.IsValid() || m_Result.IsEmpty() || row_count_ == 0 || window_.empty()) return nullptr;
    const KeyEntry& entry = window_.front();
    if (!m_Result.GetRow(static_cast<long>(entry.number))) return nullptr;  // the entry stays for another try
    auto* row = new CDynamicDataRow(entry.index_text, entry.key_text, m_Result, m_Fields);
    window_.pop_front();
    return row;
}

BOOL CVfpProviderDynamic::RefreshRow(::CDataRow* row) {
    // Only a row this provider made can be rebuilt in its own storage.
    auto* target = dynamic_cast<CDynamicDataRow*>(row);
    if (target == nullptr || typeid(*target) != typeid(CDynamicDataRow)) return FALSE;

    LoadWindow(target, 1, true);
    if (!m_Result.IsValid() || m_Result.IsEmpty() || window_.empty()) return FALSE;
    const KeyEntry& entry = window_.front();
    if (!m_Result.GetRow(static_cast<long>(entry.number))) return FALSE;
    // The new row is complete before the grid's object is touched; swapping it into that object keeps
    // its address and type and cannot fail half-way, so the grid's pointer shows the re-read values.
    CDynamicDataRow fresh(entry.index_text, entry.key_text, m_Result, m_Fields);
    target->Swap(fresh);
    window_.pop_front();
    return TRUE;
}

BOOL CVfpProviderDynamic::IsSameRow(const ::CDataRow* a, const ::CDataRow* b) {
    const auto* left = dynamic_cast<const CDynamicDataRow*>(a);
    const auto* right = dynamic_cast<const CDynamicDataRow*>(b);
    if (left == nullptr || right == nullptr) return a == b ? TRUE : FALSE;
    return left->GetKeyText() == right->GetKeyText() ? TRUE : FALSE;
}

CV7DataRow* CVfpProviderDynamic::GetV7Row(::CDataRow* row) {
    if (!loaded_) return nullptr;
    return dynamic_cast<CDynamicDataRow*>(row);
}

}  // namespace GridProvider
}  // namespace OleDb
