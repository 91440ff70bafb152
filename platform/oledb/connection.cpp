#include "platform/oledb/connection.h"

#include <sqlite3.h>

#include <cctype>
#include <climits>

namespace oledb_backend {

std::string FileUri(std::string_view path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    // "file://" and an empty authority before an absolute path: "file://x" would name host "x".
    std::string uri = !path.empty() && path.front() == '/' ? "file://" : "file:";
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) && byte < 0x80) {
            uri += c;
        } else if (c == '-' || c == '.' || c == '_' || c == '~' || c == '/') {
            uri += c;
        } else {
            uri += '%';
            uri += kHex[byte >> 4];
            uri += kHex[byte & 0xF];
        }
    }
    return uri + "?mode=rw";
}

std::shared_ptr<Connection> Connection::Open(const std::string& path) {
    // SQLite would open an empty name as a private temporary database, which no user means.
    if (path.empty()) throw CursorError("no database file given");
    sqlite3* raw = nullptr;
    // No connection mutex: the host calls on its one thread, and every column read would pay for it.
    // URIs always, not only where SQLite was built to take them: a "file:" text means one thing here.
    const int rc = sqlite3_open_v2(path.c_str(), &raw,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_URI,
                                   nullptr);
    Database db(raw);  // owns the handle even when opening failed
    if (rc != SQLITE_OK) throw CursorError("cannot open database \"" + path + "\": " + ErrorMessage(raw));
    sqlite3_extended_result_codes(raw, 1);
    sqlite3_busy_timeout(raw, 2000);
    return std::shared_ptr<Connection>(new Connection(std::move(db), path));
}

void Connection::Execute(const std::string& sql) {
    char* message = nullptr;
    if (sqlite3_exec(db(), sql.c_str(), nullptr, nullptr, &message) == SQLITE_OK) return;
    std::string text = message ? message : ErrorMessage(db());
    sqlite3_free(message);
    throw CursorError(text);
}

Statement Connection::Prepare(std::string_view sql) {
    if (sql.size() > static_cast<std::size_t>(INT_MAX)) throw CursorError("statement text too long");
    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v2(db(), sql.data(), static_cast<int>(sql.size()), &raw, &tail);
    Statement statement(raw);
    if (rc != SQLITE_OK) throw CursorError(ErrorMessage(db()));
    if (!statement) throw CursorError("empty statement text");

    // A second statement would otherwise be dropped without a word.
    const int rest = static_cast<int>(sql.data() + sql.size() - tail);
    sqlite3_stmt* next = nullptr;
    const int rc_next = sqlite3_prepare_v2(db(), tail, rest, &next, nullptr);
    Statement following(next);
    if (rc_next != SQLITE_OK || following) throw CursorError("more than one statement in one command");
    return statement;
}

}  // namespace oledb_backend
