#include "tools/session/host_session.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "database/query_rows.h"
#include "platform/oledb/procedures.h"
#include "platform/runtime/module.h"
#include "platform/text/cp1251.h"
#include "platform/win/crt.h"
#include "platform/win/module_loader.h"

namespace tools {

namespace {
// A Russian member or class name in the host's code page.
std::string Ru(const char* utf8) { return cp1251::FromUtf8(utf8); }

void SetOrExit(ScriptObject& object, const char* property_utf8, const std::string& value_utf8) {
    if (!object.Set(Ru(property_utf8).c_str(), Text(value_utf8))) ExitOnError(property_utf8);
}

// An object of a registered class; exits with a message when the class is not registered.
ScriptObject CreateOrExit(const std::string& class_name_utf8) {
    ScriptObject object = ScriptObject::Create(Ru(class_name_utf8.c_str()).c_str());
    if (object.Valid()) return object;
    std::fprintf(stderr, "the class %s is not registered\n", class_name_utf8.c_str());
    std::exit(1);
}

void ConnectAndLoad(ScriptObject& provider, const ScriptObject& connection) {
    provider.Call(Ru("УстановитьПодключение").c_str(), {connection.value()});
    ExitOnError("УстановитьПодключение");
    provider.Call(Ru("ПолучитьДанные").c_str());
    ExitOnError("ПолучитьДанные");
}
}  // namespace

HostSession::HostSession() {
    crt::SetLocale(crt::Locale::Russian1251);  // the host runs under the Russian locale
    rowlark::database::RegisterDatabaseProcedures([](const std::string& name, oledb_backend::Procedure procedure) {
        oledb_backend::RegisterProcedure(name, std::move(procedure));
    });
    module_ = win::LoadLibraryA(ROWLARK_MODULE_PATH);
    if (module_ == nullptr) {
        std::fprintf(stderr, "cannot load the module: %s\n", win::LastLoadError().c_str());
        std::exit(1);
    }
}

HostSession::~HostSession() { win::FreeLibrary(static_cast<HINSTANCE>(module_)); }

bool RequireDatabaseFile(const char* path) {
    if (std::filesystem::is_regular_file(path)) return true;
    std::fprintf(stderr, "no such database file: %s\n", path);
    return false;
}

CValue Text(const std::string& utf8) { return ScriptObject::Text(cp1251::FromUtf8(utf8)); }

void ExitOnError(const char* step) {
    if (host_errors::Raised().empty()) return;
    for (const auto& error : host_errors::Raised())
        std::fprintf(stderr, "%s: %s\n", step, cp1251::ToUtf8(error.text).c_str());
    std::exit(1);
}

ScriptObject OpenConnection(const char* path) {
    ScriptObject connection = CreateOrExit("OLEDBData");
    connection.Call(Ru("Открыть").c_str(), {ScriptObject::Text(path)});
    ExitOnError(path);
    return connection;
}

ScriptObject MakeStaticProvider(const ScriptObject& connection, const StaticSettings& settings) {
    ScriptObject provider = CreateOrExit("Рядовид.Провайдер.OleDb.VFP.Статический");
    SetOrExit(provider, "ТекстЗапроса", settings.query);
    SetOrExit(provider, "КлючевоеПоле", settings.key_field);
    ConnectAndLoad(provider, connection);
    return provider;
}

ScriptObject MakeDynamicProvider(const ScriptObject& connection, const DynamicSettings& settings) {
    ScriptObject provider = CreateOrExit("Рядовид.Провайдер.OleDb.VFP.Динамический");
    SetOrExit(provider, "ТекстЗапроса", settings.query);
    SetOrExit(provider, "КлючевоеПолеЗапроса", settings.query_key);
    SetOrExit(provider, "КлючевоеПолеОпорнойТаблицы", settings.table_key);
    SetOrExit(provider, "ОпорнаяТаблица", settings.table);
    SetOrExit(provider, "ТегИндекса", settings.tag);
    ConnectAndLoad(provider, connection);
    return provider;
}

}  // namespace tools
