#include "platform/oledb/pg_in_lists.h"

namespace oledb_backend {

namespace {

enum class Token { kEnd, kWord, kString, kOpen, kClose, kComma, kOther };

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }
bool IsWordChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '$' ||
           static_cast<unsigned char>(c) >= 0x80;
}
bool SameWord(std::string_view word, std::string_view lower) {
    if (word.size() != lower.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if ((word[i] | 0x20) != lower[i]) return false;
    return true;
}

// Reads the server's tokens one by one; blanks and comments are skipped.
class Reader {
public:
    explicit Reader(std::string_view text) : t_(text) {}

    // The next token; begin() and end() say where it lies.
    Token Next() {
        SkipBlanks();
        begin_ = i_;
        if (i_ >= t_.size()) return Token::kEnd;
        const char c = t_[i_];
        if (c == '\'') return Quoted('\''), Token::kString;
        if (c == '"') return Quoted('"'), Token::kOther;
        if (c == '(' || c == ')' || c == ',') return ++i_, c == '(' ? Token::kOpen : c == ')' ? Token::kClose : Token::kComma;
        if (c == '$' && DollarQuote()) return Token::kOther;
        if (IsWordChar(c)) {
            while (i_ < t_.size() && IsWordChar(t_[i_])) ++i_;
            // A word against a quote is a prefixed literal (E'', B'', X'', N'', U&'' below): not plain.
            if (i_ < t_.size() && t_[i_] == '\'') return Quoted('\'', true), Token::kOther;
            if (i_ + 1 < t_.size() && t_[i_] == '&' && (t_[i_ + 1] == '\'' || t_[i_ + 1] == '"')) {
                ++i_;
                return Quoted(t_[i_], true), Token::kOther;
            }
            return Token::kWord;
        }
        ++i_;
        return Token::kOther;
    }

    std::size_t begin() const { return begin_; }
    std::size_t end() const { return i_; }

private:
    void SkipBlanks() {
        while (i_ < t_.size()) {
            if (IsBlank(t_[i_])) ++i_;
            else if (t_.substr(i_, 2) == "--") { while (i_ < t_.size() && t_[i_] != '\n') ++i_; }
            else if (t_.substr(i_, 2) == "/*") SkipBlockComment();
            else return;
        }
    }

    void SkipBlockComment() {  // the server's block comments nest
        int depth = 0;
        while (i_ < t_.size()) {
            if (t_.substr(i_, 2) == "/*") { ++depth; i_ += 2; }
            else if (t_.substr(i_, 2) == "*/") { i_ += 2; if (--depth == 0) return; }
            else ++i_;
        }
    }

    // A text or name in quotes, the quote doubled inside; with escapes (E''), '\' hides the next.
    void Quoted(char quote, bool escapes = false) {
        ++i_;
        while (i_ < t_.size()) {
            const char c = t_[i_++];
            if (escapes && c == '\\') { ++i_; continue; }
            if (c == quote && (i_ >= t_.size() || t_[i_] != quote)) return;
            if (c == quote) ++i_;
        }
    }

    // $tag$ ... $tag$ (the tag may be empty); false for a parameter $1 or a lone '$'.
    bool DollarQuote() {
        std::size_t k = i_ + 1;
        if (k < t_.size() && t_[k] >= '0' && t_[k] <= '9') return false;
        while (k < t_.size() && IsWordChar(t_[k]) && t_[k] != '$') ++k;
        if (k >= t_.size() || t_[k] != '$') return false;
        const std::string_view tag = t_.substr(i_, k + 1 - i_);
        const std::size_t close = t_.find(tag, k + 1);
        i_ = close == std::string_view::npos ? t_.size() : close + tag.size();
        return true;
    }

    std::string_view t_;
    std::size_t i_ = 0;
    std::size_t begin_ = 0;
};

// The value of a plain string literal's token ('it''s' is it's).
std::string LiteralValue(std::string_view token) {
    std::string value;
    for (std::size_t i = 1; i + 1 < token.size(); ++i) {
        value += token[i];
        if (token[i] == '\'') ++i;
    }
    return value;
}

// An element of an array literal, quoted so that any text reads back as itself (never as NULL).
void AppendElement(std::string& array, std::string_view value) {
    array += '"';
    for (const char c : value) {
        if (c == '"' || c == '\\') array += '\\';
        array += c;
    }
    array += '"';
}

// The array literal of the list whose "(" was just read, when it holds plain string literals only;
// where its ")" ends in list_end.
std::optional<std::string> ReadList(Reader& reader, std::string_view sql, std::size_t& list_end) {
    std::string array = "{";
    for (;;) {
        if (reader.Next() != Token::kString) return std::nullopt;
        if (array.size() > 1) array += ',';
        AppendElement(array, LiteralValue(sql.substr(reader.begin(), reader.end() - reader.begin())));
        const Token after = reader.Next();
        if (after == Token::kClose) break;
        if (after != Token::kComma) return std::nullopt;
    }
    list_end = reader.end();
    return array + "}";
}

}  // namespace

std::optional<PgShapedText> TakeOutPgInLists(std::string_view sql, int first) {
    PgShapedText shaped;
    Reader reader(sql);
    std::string_view last_word, word_before;  // the last two significant tokens when they were words
    std::size_t copied = 0;
    for (Token token; (token = reader.Next()) != Token::kEnd;) {
        const std::size_t at = reader.begin();
        if (token == Token::kOpen && SameWord(last_word, "in") && !SameWord(word_before, "not")) {
            std::size_t list_end = 0;
            Reader ahead = reader;
            if (auto array = ReadList(ahead, sql, list_end)) {
                const std::size_t keyword = static_cast<std::size_t>(last_word.data() - sql.data());
                shaped.shape.append(sql.substr(copied, keyword - copied));
                shaped.shape += "= ANY($" + std::to_string(first + static_cast<int>(shaped.arrays.size())) + ")";
                shaped.arrays.push_back(std::move(*array));
                copied = list_end;
                reader = ahead;
                last_word = word_before = {};
                continue;
            }
        }
        word_before = last_word;
        last_word = token == Token::kWord ? sql.substr(at, reader.end() - at) : std::string_view();
    }
    if (shaped.arrays.empty()) return std::nullopt;
    shaped.shape.append(sql.substr(copied));
    return shaped;
}

}  // namespace oledb_backend
