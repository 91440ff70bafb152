#include "addin/provider/provider_base.h"

#include "addin/provider/fields_collection.h"
#include "text/cp1251_literal.h"

namespace OleDb {
namespace GridProvider {

CProvider::CProvider()
    : m_pSystem(GetSystemInterface()),
      m_pUser(GetUserInterface()),
      m_Result(nullptr),
      alive_(boost::shared_ptr<CProvider* const>(new CProvider* const(this))) {}

CProvider::~CProvider() = default;

boost::shared_ptr<CFieldsCollection> CProvider::GetFields() {
    return boost::shared_ptr<CFieldsCollection>(new CFieldsCollection(alive_));
}

void CProvider::BuildFieldSet() {
    m_Fields.reset(new FieldSet);
    const int columns = m_Result.GetNumFields();
    for (int i = 0; i < columns; ++i) {
        const CString name = m_Result.GetFieldName(i);
        // insert refuses a second field of the same name; it is dropped without a message
        m_Fields->insert(boost::shared_ptr<CField>(
            new CField(std::string(name.view()), static_cast<std::uint32_t>(i))));
    }
}

void CProvider::Connect(COLEDBData* connection, OleDb::CCommandProxy& command) {
    command = OleDb::CCommandProxy(connection ? connection->CreateCommand() : nullptr);
}

void CProvider::StoreParameter(ParameterMap& parameters, const std::string& name, const CValue& value) {
    parameters[name] = value;
}

void CProvider::BindParameters(const ParameterMap& parameters, OleDb::CCommandProxy& command) {
    for (const auto& [name, value] : parameters) command.SetTextParam(CString(name.c_str()), value);
}

std::optional<std::uint32_t> CProvider::FindColumn(const OleDb::CResultProxy& result, std::string_view name) {
    const int columns = result.GetNumFields();
    for (int i = 0; i < columns; ++i)
        if (result.GetFieldName(i).view() == name) return static_cast<std::uint32_t>(i);
    return std::nullopt;
}

std::optional<std::uint32_t> CProvider::FindKeyColumn(const OleDb::CResultProxy& result, std::string_view key_field,
                                                      Utils::CSystemInterface& system) {
    static constexpr cp1251::Literal kKeyFieldMissing{"В полученном наборе данных отсутствует ключевое поле ("};
    const auto column = FindColumn(result, key_field);
    if (!column) system.RaiseError(kKeyFieldMissing.str() + std::string(key_field) + ")");
    return column;
}

bool CProvider::CheckConnectionAndQuery(const OleDb::CCommandProxy& command, const std::string& query_text) {
    static constexpr cp1251::Literal kNoConnection{
        "Не установлено подключение OLE DB (метод УстановитьПодключение/SetConnection)"};
    static constexpr cp1251::Literal kNoQueryText{"Не установлен текст запроса (свойство ТекстЗапроса/QueryText)"};
    if (!command.IsValid()) {
        RaiseError(kNoConnection);
        return false;
    }
    if (query_text.empty()) {
        RaiseError(kNoQueryText);
        return false;
    }
    return true;
}

}  // namespace GridProvider
}  // namespace OleDb
