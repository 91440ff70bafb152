#include "addin/provider/dynamic/vfp_provider_dynamic.h"

#include <memory>
#include <typeinfo>

#include "addin/context/fold_name.h"
#include "text/cp1251_literal.h"

namespace OleDb {
namespace GridProvider {

CVfpProviderDynamic::CVfpProviderDynamic() : window_(m_Result, *m_pSystem, *m_pUser) {}

CVfpProviderDynamic::~CVfpProviderDynamic() = default;

void CVfpProviderDynamic::SetKeyFieldQuery(const std::string& name) {
    settings_.query_key_field = Utils1s::Context::FoldName(name);
}

void CVfpProviderDynamic::SetBaseTable(const std::string& text) {
    static constexpr cp1251::Literal kBaseTable{"Опорная таблица: "};
    static constexpr cp1251::Literal kNoRealName{"Ошибка получения реального имени таблицы ("};
    settings_.base_table = text;
    OleDb::CMetaNameParserProxy parser;  // lives for this one translation
    parser.SetQueryText(CString(std::string_view(text)));
    if (!parser.Parse()) {
        settings_.real_table.clear();
        RaiseError(kNoRealName.str() + std::string(parser.GetLastError().view()) + ")");
        return;
    }
    settings_.real_table = std::string(parser.GetQueryText().view());
    if (settings_.debug) m_pUser->ShowMessage(kBaseTable.str() + settings_.real_table, 0);
}

void CVfpProviderDynamic::SetDebugMode(bool on) {
    settings_.debug = on;
    if (command_.IsValid()) command_.SetDebugMode(on);
}

void CVfpProviderDynamic::SetConnection(COLEDBData* connection) { Connect(connection, command_); }

void CVfpProviderDynamic::SetParameter(const std::string& name, const CValue& value) {
    StoreParameter(settings_.parameters, name, value);
}

void CVfpProviderDynamic::GetData() {
    static constexpr cp1251::Literal kNoQueryKey{
        "Не установлено ключевое поле запроса(свойство КлючевоеПолеЗапроса/KeyFieldQuery)"};
    static constexpr cp1251::Literal kNoBaseKey{
        "Не установлено ключевое поле опорной таблицы(свойство КлючевоеПолеОпорнойТаблицы/KeyFieldBaseTable)"};
    static constexpr cp1251::Literal kNoBaseTable{"Не установлена опорная таблица (свойство ОпорнаяТаблица/BaseTable)"};
    static constexpr cp1251::Literal kNoIndexTag{"Не установлен тег индекса (свойство ТегИндекса/IndexTag)"};

    // Every check comes before any change, so a refused GetData leaves the provider as it was.
    if (!CheckConnectionAndQuery(command_, settings_.query_text)) return;
    const std::pair<const std::string*, std::string_view> checks[] = {
        {&settings_.query_key_field, kNoQueryKey}, {&settings_.base_key_field, kNoBaseKey},
        {&settings_.real_table, kNoBaseTable},     {&settings_.index_tag, kNoIndexTag}};
    for (const auto& [setting, message] : checks) {
        if (setting->empty()) {
            RaiseError(message);
            return;
        }
    }

    loaded_ = false;
    window_.ForgetKeyColumn();
    m_Result.Reset();
    m_Fields.reset();
    loaded_ = true;
    PrepareRows(nullptr, 1, 0);
}

void CVfpProviderDynamic::PrepareRows(const ::CDataRow* from, int count, int /*reserved*/) {
    if (!loaded_) return;
    Load(from, count, false);
}

void CVfpProviderDynamic::Load(const ::CDataRow* start, int count, bool inclusive) {
    if (window_.Load(settings_, command_, dynamic_cast<const CDynamicDataRow*>(start), count, inclusive) && !m_Fields)
        BuildFieldSet();
}

::CDataRow* CVfpProviderDynamic::NextRow() {
    if (!loaded_ || !m_Result.IsValid() || m_Result.IsEmpty() || window_.IsEmpty()) return nullptr;
    std::unique_ptr<CDynamicDataRow> row = window_.MakeFrontRow(m_Fields);
    if (!row) return nullptr;  // the entry stays for another try
    window_.PopFront();
    return row.release();
}

BOOL CVfpProviderDynamic::RefreshRow(::CDataRow* row) {
    // Only a row this provider made can be rebuilt in its own storage.
    auto* target = dynamic_cast<CDynamicDataRow*>(row);
    if (target == nullptr || typeid(*target) != typeid(CDynamicDataRow)) return FALSE;

    Load(target, 1, true);
    if (!m_Result.IsValid() || m_Result.IsEmpty() || window_.IsEmpty()) return FALSE;
    // The new row is complete before the grid's object is touched; swapping it into that object keeps
    // its address and type and cannot fail half-way, so the grid's pointer shows the re-read values.
    std::unique_ptr<CDynamicDataRow> fresh = window_.MakeFrontRow(m_Fields);
    if (!fresh) return FALSE;
    target->Swap(*fresh);
    window_.PopFront();
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
