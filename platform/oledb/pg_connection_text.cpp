#include "platform/oledb/pg_connection_text.h"

#include <algorithm>
#include <iterator>
#include <string>

namespace oledb_backend {

namespace {

// libpq 15's keywords (PQconndefaults); a test of the 64-bit build compares them with libpq's.
constexpr std::string_view kKeywords[] = {
    "application_name", "channel_binding", "client_encoding", "connect_timeout", "dbname",
    "fallback_application_name", "gssencmode", "gsslib", "host", "hostaddr", "keepalives",
    "keepalives_count", "keepalives_idle", "keepalives_interval", "krbsrvname", "options", "passfile",
    "password", "port", "replication", "requirepeer", "requiressl", "service", "sslcert", "sslcompression",
    "sslcrl", "sslcrldir", "sslkey", "sslmode", "sslpassword", "sslrootcert", "sslsni",
    "ssl_max_protocol_version", "ssl_min_protocol_version", "target_session_attrs", "tcp_user_timeout", "user",
};

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

bool StartsWithFolded(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    return std::equal(prefix.begin(), prefix.end(), text.begin(), [](char p, char t) {
        return p == (t >= 'A' && t <= 'Z' ? static_cast<char>(t - 'A' + 'a') : t);
    });
}

}  // namespace

bool IsPostgresConnectionText(std::string_view text) {
    text = TrimBlanks(text);
    if (StartsWithFolded(text, "postgresql://") || StartsWithFolded(text, "postgres://")) return true;
    const std::size_t eq = text.find('=');
    if (eq == std::string_view::npos) return false;
    const std::string_view key = TrimBlanks(text.substr(0, eq));
    return std::find(std::begin(kKeywords), std::end(kKeywords), key) != std::end(kKeywords);
}

const std::string_view* PostgresKeywords(std::size_t& count) {
    count = std::size(kKeywords);
    return kKeywords;
}

}  // namespace oledb_backend
