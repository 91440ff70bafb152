#include "platform/oledb/sqlite_tokens.h"

namespace oledb_backend {

namespace {

// The bytes of a token from its first one on; a zero past the text's end, as SQLite reads a C string.
class Bytes {
public:
    Bytes(std::string_view sql, std::size_t at) : sql_(sql), at_(at) {}
    unsigned char operator[](std::size_t i) const {
        return at_ + i < sql_.size() ? static_cast<unsigned char>(sql_[at_ + i]) : 0;
    }

private:
    std::string_view sql_;
    std::size_t at_;
};

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(unsigned char c) { return IsDigit(c) || ((c | 0x20) >= 'a' && (c | 0x20) <= 'f'); }
bool IsLetter(unsigned char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }
// What SQLite skips once a blank has begun; a blank begins only with one of them but '\v'.
bool IsSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
// What a name may hold after its first byte: ASCII letters and digits, '_', '$', every byte from 0x80.
bool IsIdChar(unsigned char c) { return c >= 0x80 || IsLetter(c) || IsDigit(c) || c == '_' || c == '$'; }

// A number from its first digit, or from a '.' before a digit.
SqlToken Number(const Bytes& z, std::size_t& i) {
    if (z[0] == '0' && (z[1] | 0x20) == 'x' && IsHexDigit(z[2])) {
        for (i = 3; IsHexDigit(z[i]); ++i) {
        }
        return SqlToken::kInteger;  // what clings to it is the next token's
    }
    SqlToken kind = SqlToken::kInteger;
    for (i = 0; IsDigit(z[i]); ++i) {
    }
    if (z[i] == '.') {
        for (++i; IsDigit(z[i]); ++i) {
        }
        kind = SqlToken::kReal;
    }
    if ((z[i] | 0x20) == 'e' && (IsDigit(z[i + 1]) || ((z[i + 1] == '+' || z[i + 1] == '-') && IsDigit(z[i + 2])))) {
        for (i += 2; IsDigit(z[i]); ++i) {
        }
        kind = SqlToken::kReal;
    }
    for (; IsIdChar(z[i]); ++i) kind = SqlToken::kIllegal;  // "1in", "1_000", "2e"
    return kind;
}

// A parameter after its first byte ('$', '@', ':' or '#'): name bytes, "::" pairs, and after at
// least one name byte a "(...)" suffix that must close before a blank.
SqlToken Variable(const Bytes& z, std::size_t& i) {
    SqlToken kind = SqlToken::kParameter;
    int name_bytes = 0;
    for (i = 1; z[i] != 0; ++i) {
        const unsigned char c = z[i];
        if (IsIdChar(c)) {
            ++name_bytes;
        } else if (c == '(' && name_bytes > 0) {
            do {
                ++i;
            } while (z[i] != 0 && !IsSpace(z[i]) && z[i] != ')');
            if (z[i] == ')') {
                ++i;
            } else {
                kind = SqlToken::kIllegal;
            }
            break;
        } else if (c == ':' && z[i + 1] == ':') {
            ++i;
        } else {
            break;
        }
    }
    return name_bytes == 0 ? SqlToken::kIllegal : kind;
}

// A text between quotes (' " `), the quote doubled inside it.
SqlToken Quoted(const Bytes& z, std::size_t& i) {
    const unsigned char quote = z[0];
    for (i = 1; z[i] != 0; ++i) {
        if (z[i] != quote) continue;
        if (z[i + 1] != quote) {
            ++i;
            return quote == '\'' ? SqlToken::kString : SqlToken::kQuotedName;
        }
        ++i;
    }
    return SqlToken::kIllegal;  // unterminated
}

// x'...': an even count of hexadecimal digits; anything else up to the next quote is refused.
SqlToken Blob(const Bytes& z, std::size_t& i) {
    SqlToken kind = SqlToken::kBlob;
    for (i = 2; IsHexDigit(z[i]); ++i) {
    }
    if (z[i] != '\'' || i % 2 != 0) {
        kind = SqlToken::kIllegal;
        while (z[i] != 0 && z[i] != '\'') ++i;
    }
    if (z[i] != 0) ++i;
    return kind;
}

SqlToken Comment(const Bytes& z, std::size_t& i) {
    if (z[0] == '-') {
        for (i = 2; z[i] != 0 && z[i] != '\n'; ++i) {
        }
        return SqlToken::kComment;
    }
    unsigned char c = z[2];
    for (i = 3; (c != '*' || z[i] != '/') && (c = z[i]) != 0; ++i) {
    }
    if (c != 0) ++i;
    return SqlToken::kComment;
}

// Operators and punctuation: one byte, or two where SQLite reads two.
SqlToken Operator(const Bytes& z, std::size_t& i) {
    const unsigned char c = z[0], next = z[1];
    i = 1;
    switch (c) {
        case '(': return SqlToken::kOpen;
        case ')': return SqlToken::kClose;
        case ',': return SqlToken::kComma;
        case ';': case '+': case '*': case '/': case '%': case '&': case '~': case '.': return SqlToken::kOther;
        case '-': i = next == '>' ? (z[2] == '>' ? 3 : 2) : 1; return SqlToken::kOther;
        case '=': i = next == '=' ? 2 : 1; return SqlToken::kOther;
        case '<': i = next == '=' || next == '>' || next == '<' ? 2 : 1; return SqlToken::kOther;
        case '>': i = next == '=' || next == '>' ? 2 : 1; return SqlToken::kOther;
        case '|': i = next == '|' ? 2 : 1; return SqlToken::kOther;
        case '!': i = next == '=' ? 2 : 1; return next == '=' ? SqlToken::kOther : SqlToken::kIllegal;
        default: return SqlToken::kIllegal;
    }
}

SqlToken Token(const Bytes& z, std::size_t& i) {
    const unsigned char c = z[0];
    if (c == 0) {
        i = 0;
        return SqlToken::kEnd;
    }
    if (IsSpace(c) && c != '\v') {
        for (i = 1; IsSpace(z[i]); ++i) {
        }
        return SqlToken::kSpace;
    }
    if (c == 0xEF && z[1] == 0xBB && z[2] == 0xBF) {
        i = 3;
        return SqlToken::kSpace;
    }
    if ((c == '-' && z[1] == '-') || (c == '/' && z[1] == '*' && z[2] != 0)) return Comment(z, i);
    if (c == '\'' || c == '"' || c == '`') return Quoted(z, i);
    if (IsDigit(c) || (c == '.' && IsDigit(z[1]))) return Number(z, i);
    if ((c | 0x20) == 'x' && z[1] == '\'') return Blob(z, i);
    if (c == '$' || c == '@' || c == ':' || c == '#') return Variable(z, i);
    if (c == '?') {
        for (i = 1; IsDigit(z[i]); ++i) {
        }
        return SqlToken::kParameter;
    }
    if (c == '[') {
        for (i = 1; z[i] != 0; ++i) {
            if (z[i] == ']') {
                ++i;
                return SqlToken::kQuotedName;
            }
        }
        return SqlToken::kIllegal;
    }
    if (IsIdChar(c)) {  // a name's first byte: not a digit and not '$', both taken above
        for (i = 1; IsIdChar(z[i]); ++i) {
        }
        return SqlToken::kWord;
    }
    return Operator(z, i);
}

}  // namespace

SqlToken NextSqlToken(std::string_view sql, std::size_t at, std::size_t& end) {
    std::size_t length = 0;
    const SqlToken kind = Token(Bytes(sql, at), length);
    end = at + length;
    return kind;
}

}  // namespace oledb_backend
