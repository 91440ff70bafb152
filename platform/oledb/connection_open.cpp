// Connection::Open: the one place that picks the backend, from the open text alone.

#include <algorithm>

#include "platform/oledb/connection.h"
#include "platform/oledb/name_fold.h"
#include "platform/oledb/pg_connection_text.h"
#include "platform/oledb/sqlite_connection.h"
#ifdef ROWLARK_POSTGRES
#include "platform/oledb/pg_connection.h"
#endif

namespace oledb_backend {

namespace {

std::string_view Trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

// The file a SQLite connection text names: the text itself, or the value of its "Data Source"
// key when it is a "key=value;key=value" text (key in any letter case, value possibly in quotes).
// A "file:" URI is taken whole: its query has '=' of its own. Empty when there is no such key.
std::string DataSource(std::string_view connection) {
    if (connection.find('=') == std::string_view::npos || Trim(connection).substr(0, 5) == "file:")
        return std::string(Trim(connection));
    while (!connection.empty()) {
        const std::size_t end = std::min(connection.find(';'), connection.size());
        const std::string_view pair = connection.substr(0, end);
        connection.remove_prefix(std::min(end + 1, connection.size()));
        const std::size_t eq = pair.find('=');
        if (eq == std::string_view::npos) continue;
        if (FoldCp1251(Trim(pair.substr(0, eq))) != "data source") continue;
        std::string_view value = Trim(pair.substr(eq + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        return std::string(value);
    }
    return std::string();
}

}  // namespace

std::shared_ptr<Connection> Connection::Open(std::string_view text) {
    if (IsPostgresConnectionText(text)) {
#ifdef ROWLARK_POSTGRES
        return PgConnection::Open(std::string(Trim(text)));
#else
        // Debian's libpq-dev has no i386 build that installs beside the native one.
        throw CursorError("this build has no PostgreSQL backend (the 32-bit build is made without libpq)");
#endif
    }
    const std::string path = DataSource(text);
    if (path.empty()) throw CursorError("не указан файл базы данных (Data Source)");
    return SqliteConnection::Open(path);
}

}  // namespace oledb_backend
