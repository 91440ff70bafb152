#pragma once
// The base both providers share: the host services, the current result and the FieldSet built from
// it, and the script method "Fields". Also the behaviour both providers give their own query text,
// command and parameters: connecting, storing parameters, binding them, the two checks that every
// load makes first, and finding a result's key column by name.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include <boost/shared_ptr.hpp>

#include "addin/host/oledb.h"
#include "addin/host/services.h"
#include "addin/provider/field_set.h"

namespace OleDb {
namespace GridProvider {

class CFieldsCollection;

// Query parameters by name; std::less<std::string> orders them byte by byte as unsigned, so
// names differing only in letter case are two parameters and the upper-case one comes first.
using ParameterMap = std::map<std::string, CValue>;

class CProvider {
public:
    CProvider();
    ~CProvider();
    CProvider(const CProvider&) = delete;
    CProvider& operator=(const CProvider&) = delete;

    // "Fields": a new collection that reads this provider's current FieldSet at every call.
    boost::shared_ptr<CFieldsCollection> GetFields();
    // Makes a new FieldSet from the current result's columns and makes it current at once; a
    // repeated column name keeps its first column. Rows holding the previous set keep it.
    void BuildFieldSet();
    // The current FieldSet; empty before the first load that builds one.
    const FieldSetPtr& GetFieldSet() const { return m_Fields; }

    // "SetConnection": a new command from the connection replaces command; nothing else changes.
    static void Connect(COLEDBData* connection, OleDb::CCommandProxy& command);
    // "SetParameter": stores a copy of value under name, replacing an earlier one.
    static void StoreParameter(ParameterMap& parameters, const std::string& name, const CValue& value);
    // Binds every parameter to command, in ascending name order, for its next execution.
    static void BindParameters(const ParameterMap& parameters, OleDb::CCommandProxy& command);

    // The first column of result named exactly name (equal length and bytes); none when there is none.
    static std::optional<std::uint32_t> FindColumn(const OleDb::CResultProxy& result, std::string_view name);
    // FindColumn for a key field that must be there: when it is not, raises "В полученном наборе
    // данных отсутствует ключевое поле (" + key_field + ")" through system and answers none.
    static std::optional<std::uint32_t> FindKeyColumn(const OleDb::CResultProxy& result, std::string_view key_field,
                                                      Utils::CSystemInterface& system);

protected:
    // Raises the first failing of the two checks every load starts with; true when both pass.
    bool CheckConnectionAndQuery(const OleDb::CCommandProxy& command, const std::string& query_text);
    void RaiseError(std::string_view text) { m_pSystem->RaiseError(std::string(text)); }

    Utils::CSystemInterface* m_pSystem;  // not owned; every error of a provider goes through it
    Utils::CUserInterface* m_pUser;      // not owned; messages and the status text
    FieldSetPtr m_Fields;                // columns of the current result; empty until built
    OleDb::CResultDirectAccessProxy m_Result;  // the current result; not valid until a load

private:
    friend class CFieldsCollection;
    // Lives exactly as long as the provider; collections hold it weakly to notice the provider is gone.
    boost::shared_ptr<CProvider* const> alive_;
};

}  // namespace GridProvider
}  // namespace OleDb
