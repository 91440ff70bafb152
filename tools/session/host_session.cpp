#include "tools/session/host_session.h"

#include <cstdio>
#include <filesystem>

#include "database/query_rows.h"
#include "platform/oledb/connection.h"
#include "platform/oledb/connection_secrets.h"
#include "platform/oledb/pg_connection_text.h"
#include "platform/oledb/procedures.h"
#include "platform/runtime/module.h"
#include "platform/text/cp1251.h"
#include "platform/win/crt.h"
#include "platform/win/module_loader.h"
#include "tools/i18n/tool_text.h"
#include "tools/terminal_text/showable_text.h"

namespace tools {

using tool_text::_;
using tool_text::Fill;

namespace {
// A Russian member or class name in the host's code page.
std::string Ru(const char* utf8) { return cp1251::FromUtf8(utf8); }

// An object of a registered class; holds none, with a message printed, when the class is not registered.
ScriptObject Create(const char* class_name_utf8) {
    ScriptObject object = ScriptObject::Create(Ru(class_name_utf8).c_str());
    if (!object.Valid()) std::fprintf(stderr, "%s\n", Fill(_("the class %s is not registered"), {class_name_utf8}).c_str());
    return object;
}

bool Set(ScriptObject& object, const char* property_utf8, const std::string& value_utf8) {
    const bool done = object.Set(Ru(property_utf8).c_str(), Text(value_utf8));
    if (ReportErrors(property_utf8)) return false;
    if (!done) std::fprintf(stderr, "%s: %s\n", property_utf8, _("the provider does not take this property"));
    return done;
}

bool ConnectAndLoad(ScriptObject& provider, const ScriptObject& connection) {
    provider.Call(Ru("УстановитьПодключение").c_str(), {connection.value()});
    if (ReportErrors("УстановитьПодключение")) return false;
    provider.Call(Ru("ПолучитьДанные").c_str());
    return !ReportErrors("ПолучитьДанные");
}
}  // namespace

HostSession::HostSession() {
    crt::SetLocale(crt::Locale::Russian1251);  // the host runs under the Russian locale
    rowlark::database::RegisterDatabaseProcedures([](const std::string& name, oledb_backend::Procedure procedure) {
        oledb_backend::RegisterProcedure(name, std::move(procedure));
    });
    module_ = win::LoadLibraryA(ROWLARK_MODULE_PATH);
    if (module_ == nullptr) std::fprintf(stderr, "%s\n", Fill(_("cannot load the module: %s"), {win::LastLoadError()}).c_str());
}

HostSession::~HostSession() {
    if (module_ != nullptr) win::FreeLibrary(static_cast<HINSTANCE>(module_));
}

bool RequireDatabaseFile(const char* path) {
    if (oledb_backend::IsPostgresConnectionText(path)) return true;  // a server: the layer says if it cannot connect
    std::error_code error;
    if (std::filesystem::is_regular_file(path, error)) return true;
    std::fprintf(stderr, "%s\n",
                 Fill(_("no such database file: %s"), {terminal_text::Showable(oledb_backend::HidePasswords(path))}).c_str());
    return false;
}

CValue Text(const std::string& utf8) { return ScriptObject::Text(cp1251::FromUtf8(utf8)); }

namespace {
// Every run-time error raised so far, after step, on one line; forgets them. Empty when there was none.
std::string TakeErrors(const std::string& step) {
    if (host_errors::Raised().empty()) return std::string();
    // One line: an error that follows from the first is said after it, not lost.
    std::string line = step;
    for (const auto& error : host_errors::Raised())
        line += (line.size() == step.size() ? ": " : "; ") + cp1251::ToUtf8(error.text);
    host_errors::Clear();
    return line;
}
}  // namespace

bool ReportErrors(const std::string& step) {
    const std::string line = TakeErrors(step);
    // A database's message may quote a name or value of the user's data: shown safe, on one line.
    if (!line.empty()) std::fprintf(stderr, "%s\n", terminal_text::Showable(line).c_str());
    return !line.empty();
}

ScriptObject OpenConnection(const std::string& path) {
    ScriptObject connection = Create("OLEDBData");
    if (!connection.Valid()) return connection;
    // A file as a URI of plain ASCII: the path's bytes reach the file system untouched by the code
    // page, and no '=' or ';' of a file name can read as a connection-text key. A server's connection
    // string goes as it is.
    const bool server = oledb_backend::IsPostgresConnectionText(path);
    connection.Call(Ru("Открыть").c_str(),
                    {ScriptObject::Text(server ? cp1251::FromUtf8(path) : oledb_backend::FileUri(path))});
    // A connection string may hold a password: the server is named, not the text, and no password
    // of the text is shown where a message quotes it.
    const std::string errors = TakeErrors(server ? _("PostgreSQL server") : oledb_backend::HidePasswords(path));
    if (errors.empty()) return connection;
    std::fprintf(stderr, "%s\n", oledb_backend::HidePasswordsIn(errors, path).c_str());
    return ScriptObject();
}

ScriptObject MakeStaticProvider(const ScriptObject& connection, const StaticSettings& settings) {
    ScriptObject provider = Create("Рядовид.Провайдер.OleDb.VFP.Статический");
    if (provider.Valid() && Set(provider, "ТекстЗапроса", settings.query) &&
        Set(provider, "КлючевоеПоле", settings.key_field) && ConnectAndLoad(provider, connection))
        return provider;
    return ScriptObject();
}

ScriptObject MakeDynamicProvider(const ScriptObject& connection, const DynamicSettings& settings) {
    ScriptObject provider = Create("Рядовид.Провайдер.OleDb.VFP.Динамический");
    if (provider.Valid() && Set(provider, "ТекстЗапроса", settings.query) &&
        Set(provider, "КлючевоеПолеЗапроса", settings.query_key) &&
        Set(provider, "КлючевоеПолеОпорнойТаблицы", settings.table_key) &&
        Set(provider, "ОпорнаяТаблица", settings.table) && Set(provider, "ТегИндекса", settings.tag) &&
        ConnectAndLoad(provider, connection))
        return provider;
    return ScriptObject();
}

}  // namespace tools
