#pragma once
// A PostgreSQL connection string with connection parameters added (options for every session, an
// application name), in the string's own form: query parameters of a "postgresql://" URI, or
// key='value' pairs of libpq's other form. Later parameters win over the string's own in both.

#include <string>
#include <utility>
#include <vector>

namespace test_support {

inline std::string WithServerParameters(std::string server,
                                        const std::vector<std::pair<std::string, std::string>>& parameters) {
    const bool uri = server.rfind("postgres", 0) == 0;
    for (const auto& [key, value] : parameters) {
        if (uri) {
            server += server.find('?') == std::string::npos ? '?' : '&';
            server += key + '=';
            static constexpr char kHex[] = "0123456789ABCDEF";
            for (const unsigned char c : value) {
                const bool plain = (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') ||
                                   c == '-' || c == '_' || c == '.';
                if (plain) server += static_cast<char>(c);
                else server += {'%', kHex[c >> 4], kHex[c & 15]};
            }
        } else {
            server += ' ' + key + "='";
            for (const char c : value) {
                if (c == '\'' || c == '\\') server += '\\';
                server += c;
            }
            server += '\'';
        }
    }
    return server;
}

// The connection string whose sessions see schema first (then public when asked).
inline std::string WithSearchPath(const std::string& server, const std::string& schema, bool then_public) {
    return WithServerParameters(server, {{"options", "-c search_path=" + schema + (then_public ? ",public" : "")}});
}

}  // namespace test_support
