#include "platform/oledb/in_list_literals.h"

#include <cstdint>
#include <set>

#include "platform/oledb/sqlite_tokens.h"

namespace oledb_backend {

namespace {

bool IsInKeyword(std::string_view word) {
    return word.size() == 2 && (word[0] | 0x20) == 'i' && (word[1] | 0x20) == 'n';
}

// The value of a plain literal token; none for anything else.
std::optional<SqlValue> PlainLiteral(SqlToken token, std::string_view text) {
    if (token == SqlToken::kString) {
        std::string value;
        for (std::size_t i = 1; i + 1 < text.size(); ++i) {
            value += text[i];
            if (text[i] == '\'') ++i;  // '' is one quote
        }
        return SqlValue::Text(std::move(value));
    }
    if (token == SqlToken::kInteger) {
        if (text.size() > 19 || (text.size() > 1 && text[0] == '0')) return std::nullopt;
        std::uint64_t value = 0;
        for (const char c : text) {
            if (c < '0' || c > '9') return std::nullopt;  // hexadecimal
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

// The next token from at that is not a blank; where it ends in end.
SqlToken NextBeyondBlanks(std::string_view sql, std::size_t& at, std::size_t& end) {
    SqlToken token;
    while ((token = NextSqlToken(sql, at, end)) == SqlToken::kSpace) at = end;
    return token;
}

// The literals of the list whose "(" ends at open_end, when it is a list of plain literals only
// (blanks allowed around them); where the list's ")" ends in list_end.
bool ReadLiteralList(std::string_view sql, std::size_t open_end, std::vector<Literal>& out, std::size_t& list_end) {
    std::vector<Literal> found;
    std::size_t at = open_end, end = 0;
    for (;;) {
        SqlToken token = NextBeyondBlanks(sql, at, end);
        auto value = PlainLiteral(token, sql.substr(at, end - at));
        if (!value) return false;
        found.push_back({at, end, std::move(*value)});
        at = end;
        token = NextBeyondBlanks(sql, at, end);
        at = end;
        if (token == SqlToken::kClose) break;
        if (token != SqlToken::kComma) return false;
    }
    list_end = at;
    for (auto& literal : found) out.push_back(std::move(literal));
    return true;
}

}  // namespace

std::optional<ShapedText> TakeOutInListLiterals(std::string_view sql) {
    std::vector<Literal> literals;
    std::vector<ShapedText::List> lists;  // in_at as a place in sql until the shape is made
    std::vector<std::string> parameters;  // as SQLite numbers them: named ones at first use, "" per literal
    std::set<std::string_view> named;
    std::string_view last_word;  // the last significant token when it was a bare word, else empty
    std::size_t at = 0, end = 0;
    for (SqlToken token; (token = NextSqlToken(sql, at, end)) != SqlToken::kEnd; at = end) {
        if (token == SqlToken::kSpace || token == SqlToken::kComment) continue;
        if (token == SqlToken::kIllegal) return std::nullopt;  // SQLite refuses the text with its own error
        if (token == SqlToken::kParameter) {
            if (sql[at] == '?') return std::nullopt;
            if (named.insert(sql.substr(at, end - at)).second) parameters.emplace_back(sql.substr(at, end - at));
        }
        if (token == SqlToken::kOpen && IsInKeyword(last_word)) {
            const std::size_t before = literals.size();
            std::size_t list_end = 0;
            if (ReadLiteralList(sql, end, literals, list_end)) {
                lists.push_back({static_cast<std::size_t>(last_word.data() - sql.data()), before,
                                 literals.size() - before});
                parameters.resize(parameters.size() + (literals.size() - before));
                end = list_end;
                last_word = {};
                continue;
            }
        }
        last_word = token == SqlToken::kWord ? sql.substr(at, end - at) : std::string_view();
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
    shaped.parameters = std::move(parameters);
    // Each list's IN word moves left by what the literals before it lost in becoming "?".
    std::size_t list = 0, shrunk = 0;
    for (std::size_t i = 0; i < literals.size() && list < lists.size(); ++i) {
        if (lists[list].first == i) lists[list++].in_at -= shrunk;
        shrunk += literals[i].end - literals[i].begin - 1;
    }
    shaped.lists = std::move(lists);
    return shaped;
}

}  // namespace oledb_backend
