#include "platform/oledb/sqlite_real_lists.h"

#include <sqlite3.h>

#include <cctype>
#include <cstring>

#include "platform/oledb/exact_real.h"
#include "platform/oledb/sqlite_tokens.h"
#include "platform/oledb/sqlite_handles.h"

namespace oledb_backend {

namespace {

struct Token {
    SqlToken kind;
    std::string_view text;
    std::size_t begin;
};

std::vector<Token> SignificantTokens(std::string_view sql) {
    std::vector<Token> out;
    std::size_t at = 0, end = 0;
    for (SqlToken kind; (kind = NextSqlToken(sql, at, end)) != SqlToken::kEnd; at = end)
        if (kind != SqlToken::kSpace && kind != SqlToken::kComment) out.push_back({kind, sql.substr(at, end - at), at});
    return out;
}

bool IsWord(const Token& token, const char* word) {
    if (token.kind != SqlToken::kWord || token.text.size() != std::strlen(word)) return false;
    for (std::size_t i = 0; i < token.text.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(token.text[i])) != word[i]) return false;
    return true;
}

bool IsAnyWord(const Token& token, std::initializer_list<const char*> words) {
    for (const char* word : words)
        if (IsWord(token, word)) return true;
    return false;
}

bool IsName(const Token& token) { return token.kind == SqlToken::kWord || token.kind == SqlToken::kQuotedName; }

// The first token of the bare column name that ends at last ("c", "t.c", "s.t.c"); none when the
// tokens before it could make it part of a larger operand.
std::optional<std::size_t> ColumnNameStart(const std::vector<Token>& tokens, std::size_t last) {
    if (!IsName(tokens[last])) return std::nullopt;
    std::size_t first = last;
    for (int dots = 0; dots < 2 && first >= 2 && tokens[first - 1].text == "." && IsName(tokens[first - 2]); ++dots)
        first -= 2;
    if (first == 0) return std::nullopt;
    const Token& before = tokens[first - 1];
    if (before.kind == SqlToken::kOpen || IsAnyWord(before, {"WHERE", "AND", "OR", "NOT"})) return first;
    return std::nullopt;
}

// Walking back from before, the WHERE whose clause holds it (leaving enclosing parentheses); none
// when another clause or statement word comes first.
std::optional<std::size_t> EnclosingWhere(const std::vector<Token>& tokens, std::size_t before) {
    int nested = 0;
    for (std::size_t t = before + 1; t-- > 0;) {
        if (tokens[t].kind == SqlToken::kClose) ++nested;
        if (tokens[t].kind == SqlToken::kOpen && nested > 0) --nested;
        if (nested > 0) continue;
        if (IsWord(tokens[t], "WHERE")) return t;
        if (IsAnyWord(tokens[t], {"SELECT", "FROM", "ON", "USING", "GROUP", "HAVING", "ORDER", "LIMIT", "SET",
                                  "VALUES", "WINDOW", "RETURNING", "FILTER", "OVER"}))
            return std::nullopt;
    }
    return std::nullopt;
}

// The FROM of the same SELECT as the WHERE at where: none when a parenthesis opens first.
std::optional<std::size_t> FromOfWhere(const std::vector<Token>& tokens, std::size_t where) {
    int nested = 0;
    for (std::size_t t = where; t-- > 0;) {
        if (tokens[t].kind == SqlToken::kClose) ++nested;
        if (tokens[t].kind == SqlToken::kOpen && nested-- == 0) return std::nullopt;
        if (nested > 0) continue;
        if (IsWord(tokens[t], "FROM")) return t;
        if (IsWord(tokens[t], "SELECT")) return std::nullopt;
    }
    return std::nullopt;
}

// SQLite's affinity rule for a declared type, as far as telling REAL apart.
bool DeclaresReal(const char* declared) {
    if (!declared) return false;
    std::string upper(declared);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const auto has = [&upper](const char* part) { return upper.find(part) != std::string::npos; };
    if (has("INT") || has("CHAR") || has("CLOB") || has("TEXT") || has("BLOB")) return false;
    return has("REAL") || has("FLOA") || has("DOUB");
}

bool NamesRealColumn(sqlite3* db, const std::string& probe) {
    if (probe.empty()) return false;
    sqlite3_stmt* raw = nullptr;
    const int rc = sqlite3_prepare_v2(db, probe.data(), static_cast<int>(probe.size()), &raw, nullptr);
    const Statement statement(raw);
    return rc == SQLITE_OK && statement && sqlite3_column_count(raw) == 1 &&
           DeclaresReal(sqlite3_column_decltype(raw, 0));
}

bool HoldsNumberText(const ShapedText& shaped, const ShapedText::List& list) {
    for (std::size_t i = list.first; i < list.first + list.count; ++i) {
        const SqlValue& value = shaped.values[i];
        if (value.kind == SqlValue::Kind::Text && ExactReal(value.text)) return true;
    }
    return false;
}

}  // namespace

std::string OperandProbe(std::string_view shape, std::size_t in_at) {
    const std::vector<Token> tokens = SignificantTokens(shape);
    std::size_t in = 0;
    while (in < tokens.size() && tokens[in].begin != in_at) ++in;
    if (in == tokens.size() || in == 0) return {};
    for (const Token& token : tokens)
        if (IsAnyWord(token, {"WITH", "BETWEEN", "UNION", "INTERSECT", "EXCEPT"})) return {};
    const std::size_t last = IsWord(tokens[in - 1], "NOT") ? in - 2 : in - 1;
    if (last >= in) return {};
    const auto first = ColumnNameStart(tokens, last);
    if (!first) return {};
    const auto where = EnclosingWhere(tokens, *first - 1);
    if (!where) return {};
    const auto from = FromOfWhere(tokens, *where);
    if (!from) return {};
    const std::size_t operand_end = tokens[last].begin + tokens[last].text.size();
    return "SELECT " + std::string(shape.substr(tokens[*first].begin, operand_end - tokens[*first].begin)) + " " +
           std::string(shape.substr(tokens[*from].begin, tokens[*where].begin - tokens[*from].begin));
}

bool RealListMemo::AgainstReal(sqlite3* db, const ShapedText& shaped, std::size_t list) {
    if (answers_.size() >= kShapesKept && answers_.find(shaped.shape) == answers_.end()) answers_.clear();
    std::vector<Answer>& answers = answers_[shaped.shape];
    answers.resize(shaped.lists.size(), Answer::kUnknown);
    if (answers[list] == Answer::kUnknown) {
        ++probes_;
        const bool real = NamesRealColumn(db, OperandProbe(shaped.shape, shaped.lists[list].in_at));
        answers[list] = real ? Answer::kReal : Answer::kOther;
    }
    return answers[list] == Answer::kReal;
}

std::vector<RealListMemo::Answer> RealListMemo::Known(const std::string& shape) const {
    const auto known = answers_.find(shape);
    return known == answers_.end() ? std::vector<Answer>() : known->second;
}

std::optional<std::vector<SqlValue>> ExactRealKeys(sqlite3* db, const ShapedText& shaped, RealListMemo& memo) {
    std::optional<std::vector<SqlValue>> out;
    for (std::size_t index = 0; index < shaped.lists.size(); ++index) {
        const ShapedText::List& list = shaped.lists[index];
        if (!HoldsNumberText(shaped, list) || !memo.AgainstReal(db, shaped, index)) continue;
        if (!out) out = shaped.values;
        for (std::size_t i = list.first; i < list.first + list.count; ++i) {
            SqlValue& value = (*out)[i];
            if (value.kind != SqlValue::Kind::Text) continue;
            if (const auto exact = ExactReal(value.text)) value = SqlValue::Real(*exact);
        }
    }
    return out;
}

}  // namespace oledb_backend
