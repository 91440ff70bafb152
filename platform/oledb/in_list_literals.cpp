#include "platform/oledb/in_list_literals.h"

#include <cstdint>

namespace oledb_backend {

namespace {

// SQLite's tokens, as far as telling literals, names and parameters apart needs them.
enum class Token { kSpace, kComment, kString, kQuotedName, kWord, kNumber, kParameter, kOpen, kClose, kComma, kOther, kEnd };

bool IsWordByte(unsigned char c) { return c >= 0x80 || c == '_' || c == '$' || (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z'); }
bool IsWordStart(unsigned char c) { return IsWordByte(c) && c != '$' && !(c >= '0' && c <= '9'); }
bool IsSpace(unsigned char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; }

class Scanner {
public:
    explicit Scanner(std::string_view sql) : sql_(sql) {}

    // The next token from at; its end in end. An unterminated string, name or comment runs to the
    // end of the text (SQLite refuses the text; nothing is shaped after it).
    Token Next(std::size_t at, std::size_t& end) const {
        if (at >= sql_.size()) {
            end = at;
            return Token::kEnd;
        }
        const auto c = static_cast<unsigned char>(sql_[at]);
        end = at + 1;
        if (IsSpace(c)) {
            while (end < sql_.size() && IsSpace(static_cast<unsigned char>(sql_[end]))) ++end;
            return Token::kSpace;
        }
        if (c == '-' && At(at + 1) == '-') {
            end = sql_.find('\n', at);
            end = end == std::string_view::npos ? sql_.size() : end + 1;
            return Token::kComment;
        }
        if (c == '/' && At(at + 1) == '*') {
            end = sql_.find("*/", at + 2);
            end = end == std::string_view::npos ? sql_.size() : end + 2;
            return Token::kComment;
        }
        if (c == '\'' || c == '"' || c == '`') {
            end = Quoted(at, static_cast<char>(c));
            return c == '\'' ? Token::kString : Token::kQuotedName;
        }
        if (c == '[') {
            end = sql_.find(']', at);
            end = end == std::string_view::npos ? sql_.size() : end + 1;
            return Token::kQuotedName;
        }
        if (c == '?' || c == ':' || c == '@' || (c == '$' && end < sql_.size() && IsWordByte(At(end)))) {
            while (end < sql_.size() && IsWordByte(At(end))) ++end;
            return Token::kParameter;
        }
        if ((c >= '0' && c <= '9') || (c == '.' && At(at + 1) >= '0' && At(at + 1) <= '9')) {
            // Digits, and whatever clings to them (".5", "e3", "x1F", "abc"): only pure digits are plain.
            while (end < sql_.size() && (IsWordByte(At(end)) || At(end) == '.')) ++end;
            return Token::kNumber;
        }
        if (IsWordStart(c)) {
            while (end < sql_.size() && IsWordByte(At(end))) ++end;
            return Token::kWord;
        }
        if (c == '(') return Token::kOpen;
        if (c == ')') return Token::kClose;
        if (c == ',') return Token::kComma;
        return Token::kOther;
    }

private:
    unsigned char At(std::size_t i) const { return i < sql_.size() ? static_cast<unsigned char>(sql_[i]) : 0; }

    std::size_t Quoted(std::size_t at, char quote) const {
        std::size_t i = at + 1;
        while (i < sql_.size()) {
            if (sql_[i] == quote) {
                if (i + 1 < sql_.size() && sql_[i + 1] == quote) {
                    i += 2;
                    continue;
                }
                return i + 1;
            }
            ++i;
        }
        return sql_.size();
    }

    std::string_view sql_;
};

bool IsInKeyword(std::string_view word) {
    return word.size() == 2 && (word[0] | 0x20) == 'i' && (word[1] | 0x20) == 'n';
}

// The value of a plain literal token; none for anything else.
std::optional<SqlValue> PlainLiteral(Token token, std::string_view text) {
    if (token == Token::kString) {
        if (text.size() < 2 || text.back() != '\'') return std::nullopt;  // unterminated
        std::string value;
        for (std::size_t i = 1; i + 1 < text.size(); ++i) {
            if (text[i] == '\0') return std::nullopt;
            value += text[i];
            if (text[i] == '\'') ++i;  // '' is one quote
        }
        return SqlValue::Text(std::move(value));
    }
    if (token == Token::kNumber) {
        if (text.size() > 19 || (text.size() > 1 && text[0] == '0')) return std::nullopt;
        std::uint64_t value = 0;
        for (const char c : text) {
            if (c < '0' || c > '9') return std::nullopt;
            value = value * 10 + static_cast<std::uint64_t>(c - '0');
        }
        if (value > static_cast<std::uint64_t>(INT64_MAX)) return std::nullopt;  // SQLite would read a REAL
        return SqlValue::Int(static_cast<std::int64_t>(value));
    }
    return std::nullopt;
}

struct Literal {
    std::size_t begin, end;
    SqlValue value;
};

// The literals of the list whose "(" ends at open_end, when it is a list of plain literals only
// (blanks allowed around them); where the list's ")" ends in list_end.
bool ReadLiteralList(const Scanner& scanner, std::string_view sql, std::size_t open_end, std::vector<Literal>& out,
                     std::size_t& list_end) {
    std::vector<Literal> found;
    std::size_t at = open_end, end = 0;
    for (;;) {
        Token token = scanner.Next(at, end);
        if (token == Token::kSpace) token = scanner.Next(at = end, end);
        auto value = PlainLiteral(token, sql.substr(at, end - at));
        if (!value) return false;
        found.push_back({at, end, std::move(*value)});
        token = scanner.Next(at = end, end);
        if (token == Token::kSpace) token = scanner.Next(at = end, end);
        at = end;
        if (token == Token::kClose) break;
        if (token != Token::kComma) return false;
    }
    list_end = at;
    for (auto& literal : found) out.push_back(std::move(literal));
    return true;
}

}  // namespace

std::optional<ShapedText> TakeOutInListLiterals(std::string_view sql) {
    const Scanner scanner(sql);
    std::vector<Literal> literals;
    std::string_view last_word;  // the last significant token when it was a bare word, else empty
    std::size_t at = 0, end = 0;
    for (Token token; (token = scanner.Next(at, end)) != Token::kEnd; at = end) {
        if (token == Token::kSpace || token == Token::kComment) continue;
        if (token == Token::kParameter && sql[at] == '?') return std::nullopt;
        if (token == Token::kOpen && IsInKeyword(last_word)) {
            std::size_t list_end = 0;
            if (ReadLiteralList(scanner, sql, end, literals, list_end)) {
                end = list_end;
                last_word = {};
                continue;
            }
        }
        last_word = token == Token::kWord ? sql.substr(at, end - at) : std::string_view();
    }
    if (literals.empty()) return std::nullopt;

    ShapedText shaped;
    shaped.shape.reserve(sql.size());
    std::size_t copied = 0;
    for (auto& literal : literals) {
        shaped.shape.append(sql.substr(copied, literal.begin - copied));
        shaped.shape += '?';
        copied = literal.end;
        shaped.values.push_back(std::move(literal.value));
    }
    shaped.shape.append(sql.substr(copied));
    return shaped;
}

}  // namespace oledb_backend
