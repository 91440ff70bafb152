#include "platform/oledb/connection_secrets.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "platform/oledb/catalogue.h"
#include "platform/oledb/pg_connection_text.h"

namespace oledb_backend {

namespace {

constexpr std::string_view kHidden = "***";
constexpr std::size_t npos = std::string_view::npos;
constexpr const char* kUriAdvice =
    "the URI's password holds a character that ends it early ('@', '/', '&' or the like): write it "
    "percent-encoded (%40 for '@', %2F for '/', %26 for '&')";
constexpr const char* kKeyValueAdvice =
    "the password holds a blank or a quote that libpq would read as its end: put it in quotes, "
    "password='...', with \\' for a quote inside";

// A password of a text: where it is written (quotes included) and its value; a URI's password
// libpq would cut short at an '@' written in it also has the value libpq reads.
struct Password {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::string value;
    std::string read_short;
};

struct Passwords {
    std::vector<Password> found;
    const char* cut_short = nullptr;  // how to write a password libpq would read short; null when none
};

bool IsBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

bool IsPasswordKey(std::string_view key, bool with_pwd) {
    const std::string folded = AsciiLower(key);
    return folded == "password" || folded == "sslpassword" || (with_pwd && folded == "pwd");
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A URI piece as libpq decodes it; an escape it would refuse stays as written.
std::string PercentDecoded(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int high = i + 2 < text.size() && text[i] == '%' ? HexValue(text[i + 1]) : -1;
        const int low = high >= 0 ? HexValue(text[i + 2]) : -1;
        if (low >= 0 && (high | low) != 0) {
            out += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// Where a URI's authority begins (after "scheme://"); npos when text is no URI.
std::size_t AfterScheme(std::string_view text) {
    const std::size_t mark = text.find("://");
    if (mark == npos || mark == 0 || !std::isalpha(static_cast<unsigned char>(text[0]))) return npos;
    for (std::size_t i = 0; i < mark; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') return npos;
    }
    return mark + 3;
}

// The "user:password@" part. libpq ends it at the first '@' before any '/'; the password as meant
// runs to the last '@' before the query, past a '/' or '@' written in it. Answers where it ends.
std::size_t FindUriUserPassword(std::string_view text, std::size_t start, Passwords& out) {
    const std::size_t at_or_slash = text.find_first_of("@/", start);
    const std::size_t libpq_end = at_or_slash != npos && text[at_or_slash] == '@' ? at_or_slash : npos;
    const std::size_t query = text.find('?', libpq_end == npos ? start : libpq_end);
    const std::size_t last_at = text.rfind('@', query);
    const std::size_t end = last_at != npos && last_at >= start ? last_at : npos;
    const std::size_t colon = text.find(':', start);
    if (end == npos || colon >= end) return end;
    // "host/a:b@c": a ':' and an '@' in the path. "host:5432/db@x" could be a port and a path too,
    // but it reads as well as a password "5432/db": hidden, as it may be one.
    if (libpq_end == npos && colon > at_or_slash) return npos;
    if (end == libpq_end) {
        if (colon + 1 < end) out.found.push_back({colon + 1, end, PercentDecoded(text.substr(colon + 1, end - colon - 1)), {}});
        return end;
    }
    out.cut_short = kUriAdvice;
    const std::string read_short =
        libpq_end != npos && colon < libpq_end ? PercentDecoded(text.substr(colon + 1, libpq_end - colon - 1)) : "";
    out.found.push_back({colon + 1, end, PercentDecoded(text.substr(colon + 1, end - colon - 1)), read_short});
    return end;
}

// The "password" query parameters; the pieces after one, up to the next "name=", are its own (a '&'
// written in it): libpq would take them for parameters.
void FindUriQueryPasswords(std::string_view text, std::size_t from, Passwords& out) {
    const std::size_t query = text.find('?', from);
    if (query == npos) return;
    Password* open = nullptr;
    for (std::size_t begin = query + 1; begin <= text.size();) {
        const std::size_t end = std::min(text.find('&', begin), text.size());
        const std::string_view piece = text.substr(begin, end - begin);
        const std::size_t eq = piece.find('=');
        const std::string key = PercentDecoded(piece.substr(0, eq));
        if (eq != npos) open = nullptr;
        if (open != nullptr) {
            open->end = end;
            out.cut_short = kUriAdvice;
        } else if (eq != npos && IsPasswordKey(key, false)) {
            out.found.push_back({begin + eq + 1, end, PercentDecoded(piece.substr(eq + 1)), {}});
            open = &out.found.back();
        }
        begin = end + 1;
    }
}

// Whether an option "word =" begins at pos.
bool OptionAt(std::string_view text, std::size_t pos) {
    const std::size_t begin = pos;
    while (pos < text.size() && !IsBlank(text[pos]) && text[pos] != '=') ++pos;
    if (pos == begin) return false;
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    return pos < text.size() && text[pos] == '=';
}

// One libpq value from pos, as libpq reads it: quoted or up to a blank, backslash escaping.
std::string ReadValue(std::string_view text, std::size_t& pos) {
    std::string value;
    const bool quoted = pos < text.size() && text[pos] == '\'';
    if (quoted) ++pos;
    while (pos < text.size()) {
        const char c = text[pos];
        if (quoted ? c == '\'' : IsBlank(c)) {
            if (quoted) ++pos;
            break;
        }
        if (c == '\\' && ++pos == text.size()) break;  // a last backslash escapes nothing
        value += text[pos++];
    }
    return value;
}

// libpq's "keyword=value ..." form. Words after an unquoted password, up to the next "word=", are
// the password's own (a blank written in it): libpq would take them for keywords.
void FindKeyValuePasswords(std::string_view text, Passwords& out) {
    for (std::size_t pos = 0; pos < text.size();) {
        while (pos < text.size() && IsBlank(text[pos])) ++pos;
        const std::size_t key_begin = pos;
        while (pos < text.size() && !IsBlank(text[pos]) && text[pos] != '=') ++pos;
        const std::string_view key = text.substr(key_begin, pos - key_begin);
        while (pos < text.size() && IsBlank(text[pos])) ++pos;
        if (pos >= text.size() || text[pos] != '=') continue;  // a word without '=': libpq refuses it
        ++pos;
        while (pos < text.size() && IsBlank(text[pos])) ++pos;
        const std::size_t value_begin = pos;
        const bool quoted = pos < text.size() && text[pos] == '\'';
        std::string value = ReadValue(text, pos);
        if (!IsPasswordKey(key, false)) continue;
        while (!quoted) {
            std::size_t next = pos;
            while (next < text.size() && IsBlank(text[next])) ++next;
            if (next >= text.size() || OptionAt(text, next)) break;
            pos = next;
            ReadValue(text, pos);
            out.cut_short = kKeyValueAdvice;
        }
        std::size_t end = pos;
        while (end > value_begin && IsBlank(text[end - 1])) --end;
        out.found.push_back({value_begin, end, std::move(value), {}});
    }
}

// Any other text: a "password=" word (at the start, or after a separator) up to the next ';'.
void FindOtherPasswords(std::string_view text, std::string_view separators, Passwords& out) {
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        if (pos > 0 && separators.find(text[pos - 1]) == npos) continue;
        std::size_t eq = pos;
        while (eq < text.size() && (std::isalpha(static_cast<unsigned char>(text[eq])) != 0)) ++eq;
        const std::string_view key = text.substr(pos, eq - pos);
        while (eq < text.size() && IsBlank(text[eq])) ++eq;
        if (eq >= text.size() || text[eq] != '=' || !IsPasswordKey(key, true)) continue;
        std::size_t begin = eq + 1;
        while (begin < text.size() && IsBlank(text[begin])) ++begin;
        std::size_t end = std::min(text.find(';', begin), text.size());
        while (end > begin && IsBlank(text[end - 1])) --end;
        if (begin == end) continue;
        std::string_view value = text.substr(begin, end - begin);
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        out.found.push_back({begin, end, std::string(value), {}});
        pos = end;
    }
}

Passwords FindPasswords(std::string_view text) {
    Passwords out;
    const std::size_t start = AfterScheme(text);
    if (start != npos) {
        const std::size_t user_end = FindUriUserPassword(text, start, out);
        std::size_t host = user_end == npos ? start : user_end + 1;
        if (host < text.size() && text[host] == '[') host = text.find(']', host);  // an IPv6 address's own '?'
        if (host != npos) FindUriQueryPasswords(text, host, out);
    } else if (IsPostgresConnectionText(text)) {
        FindKeyValuePasswords(text, out);
        FindOtherPasswords(text, ";", out);  // "host=x;password=y": libpq would read it as host's value
    } else {
        FindOtherPasswords(text, " \t;", out);
    }
    std::sort(out.found.begin(), out.found.end(),
              [](const Password& a, const Password& b) { return a.begin < b.begin; });
    return out;
}

// The pieces between the characters at which libpq would end a password read short.
std::vector<std::string> Pieces(std::string_view text) {
    std::vector<std::string> pieces;
    for (std::size_t begin = 0; begin <= text.size();) {
        const std::size_t end = std::min(text.find_first_of("/@:?&#' \t\"", begin), text.size());
        if (end > begin) pieces.emplace_back(text.substr(begin, end - begin));
        begin = end + 1;
    }
    return pieces;
}

void ReplaceAll(std::string& text, std::string_view what, std::string_view with) {
    if (what.empty()) return;
    for (std::size_t at = text.find(what); at != npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
}

}  // namespace

std::string HidePasswords(std::string_view text) {
    std::string out;
    std::size_t copied = 0;
    for (const Password& password : FindPasswords(text).found) {
        if (password.begin < copied) {  // inside one hidden already
            copied = std::max(copied, password.end);
            continue;
        }
        out.append(text.substr(copied, password.begin - copied));
        out.append(kHidden);
        copied = password.end;
    }
    out.append(text.substr(std::min(copied, text.size())));
    return out;
}

std::string HidePasswordsIn(std::string_view message, std::string_view text) {
    const Passwords passwords = FindPasswords(text);
    std::string out(message);
    if (passwords.found.empty()) return out;
    ReplaceAll(out, text, HidePasswords(text));
    std::vector<std::string> secrets;
    for (const Password& password : passwords.found) {
        const std::string_view written = text.substr(password.begin, password.end - password.begin);
        secrets.emplace_back(written);
        secrets.push_back(password.value);
        secrets.push_back(password.read_short);
        if (passwords.cut_short == nullptr) continue;
        // Read short, its pieces reach libpq as other parts: a port, a host, a keyword.
        for (const std::string& whole : {std::string(written), PercentDecoded(written)})
            for (std::string& piece : Pieces(whole)) secrets.push_back(std::move(piece));
    }
    // The longest first, so that no piece of a longer one stays behind.
    std::sort(secrets.begin(), secrets.end(), [](const auto& a, const auto& b) { return a.size() > b.size(); });
    for (const std::string& secret : secrets) {
        // A short one only where a message quotes it whole: anywhere, it would blot out plain words.
        if (secret.size() >= 4) ReplaceAll(out, secret, kHidden);
        else if (!secret.empty()) ReplaceAll(out, '"' + secret + '"', "\"***\"");
    }
    return out;
}

std::string MisreadPasswordAdvice(std::string_view text) {
    const char* advice = FindPasswords(text).cut_short;
    return advice != nullptr ? advice : "";
}

}  // namespace oledb_backend
