#include "platform/oledb/procedures.h"

#include <map>

#include "platform/oledb/catalogue.h"
#include "platform/oledb/sqlite_connection.h"

namespace oledb_backend {

namespace {

std::map<std::string, Procedure>& Registry() {
    static std::map<std::string, Procedure> registry;
    return registry;
}

}  // namespace

void AddProcedure(Connection& connection, const std::string& name, Procedure procedure) {
    auto* sqlite = dynamic_cast<SqliteConnection*>(&connection);
    if (!sqlite) throw CursorError("procedures are added to SQLite databases only; a server keeps its own functions");
    sqlite->AddProcedure(AsciiLower(name), std::move(procedure));
}

void RegisterProcedure(const std::string& name, Procedure procedure) {
    Registry()[AsciiLower(name)] = std::move(procedure);
}

void UnregisterProcedure(const std::string& name) { Registry().erase(AsciiLower(name)); }

const Procedure* FindProcedure(std::string_view name) {
    const auto it = Registry().find(AsciiLower(name));
    return it == Registry().end() ? nullptr : &it->second;
}

}  // namespace oledb_backend
