#pragma once
// A host for the command-line programs: loads the module file as the host does, offers the database's
// stored procedures, and makes connections and providers the way a host script does (by registered
// names and Russian member names). Texts given here are UTF-8; errors are printed in UTF-8, one line
// each. Nothing here exits the process: every failure is printed and answered, so that callers leave
// through normal returns and every object is released.

#include <string>

#include "platform/runtime/script_object.h"

namespace tools {

class HostSession {
public:
    // Loads the module; loaded() is false, with a message printed, when it cannot be loaded.
    HostSession();
    // Unloads the module. Every script object made through the session must be gone by then.
    ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    bool loaded() const { return module_ != nullptr; }

private:
    void* module_;
};

// False, with a message, when path is not an existing file (opening would create an empty database).
// A PostgreSQL connection string ("postgresql://…", "host=… dbname=…") passes: it names a server.
// No message here or below shows a password a text holds (platform/oledb/connection_secrets.h).
bool RequireDatabaseFile(const char* path);
// A host text value from UTF-8.
CValue Text(const std::string& utf8);
// Prints every run-time error raised so far under step, on one line, and forgets them; true when
// there was one.
bool ReportErrors(const std::string& step);

// A connection to exactly the existing file at path (bytes as the file system has them, any
// characters), or to the server a PostgreSQL connection string names. Holds no object, with a
// message printed, when it cannot be opened.
ScriptObject OpenConnection(const std::string& path);

struct StaticSettings {
    std::string query;      // "ТекстЗапроса"
    std::string key_field;  // "КлючевоеПоле"
};
// A static provider, connected and loaded; holds no object, with a message printed, on failure.
ScriptObject MakeStaticProvider(const ScriptObject& connection, const StaticSettings& settings);

struct DynamicSettings {
    std::string query;        // "ТекстЗапроса", with %СписокИД% where the keys go
    std::string query_key;    // "КлючевоеПолеЗапроса"
    std::string table_key;    // "КлючевоеПолеОпорнойТаблицы"
    std::string table;        // "ОпорнаяТаблица"
    std::string tag;          // "ТегИндекса"
};
// A dynamic provider, connected and loaded; holds no object, with a message printed, on failure.
ScriptObject MakeDynamicProvider(const ScriptObject& connection, const DynamicSettings& settings);

}  // namespace tools
