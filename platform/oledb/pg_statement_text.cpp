#include "platform/oledb/pg_statement_text.h"

#include <algorithm>
#include <set>

#include "platform/oledb/row_cursor.h"

namespace oledb_backend {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
// Letters beyond ASCII (UTF-8 bytes from 0x80) are name letters, as both databases take them.
bool IsNameStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || static_cast<unsigned char>(c) >= 0x80;
}
bool IsNameChar(char c) { return IsNameStart(c) || IsDigit(c); }
// After one of these '@' is part of an operator ("<@", "@@"), not a parameter.
bool IsOperatorChar(char c) { return std::string_view("+-*/<>=~!@#%^&|`?").find(c) != std::string_view::npos; }

// Reads the text left to right, noting where each parameter lies.
class Scanner {
public:
    explicit Scanner(std::string_view text) : t_(text) {}

    struct Param {
        enum class Kind { kNamed, kNumbered, kEscapedMark };
        Kind kind;
        std::size_t begin, end;  // the whole reference, prefix included
        long number = 0;         // kNumbered: its number
    };

    // Scans up to the statement's end; answers where it ends (its ';' or the text's end).
    std::size_t Statement() {
        while (i_ < t_.size()) {
            if (SkipBlankOrComment()) continue;
            const char c = t_[i_];
            if (c == ';') return i_;
            tokens_ = true;
            if (c == '\'') Quoted('\'', false);
            else if (c == '"') Quoted('"', false);
            else if (IsNameStart(c)) Word();
            else if (IsDigit(c)) { while (i_ < t_.size() && (IsNameChar(t_[i_]) || t_[i_] == '.')) ++i_; }
            else if (c == '$') Dollar();
            else if (c == ':') Colon();
            else if (c == '@') AtSign();
            else if (c == '?') Question();
            else ++i_;
        }
        return i_;
    }

    // True when only blanks, comments and ';' remain.
    bool RestIsEmpty() {
        while (i_ < t_.size()) {
            if (SkipBlankOrComment()) continue;
            if (t_[i_] != ';') return false;
            ++i_;
        }
        return true;
    }

    bool tokens() const { return tokens_; }
    int numbered() const { return numbered_; }
    const std::vector<Param>& params() const { return params_; }
    const std::vector<ParameterRef>& refs() const { return refs_; }

private:
    char CharAt(std::size_t k) const { return k < t_.size() ? t_[k] : '\0'; }

    bool SkipBlankOrComment() {
        if (IsBlank(t_[i_])) {
            ++i_;
            return true;
        }
        if (t_[i_] == '-' && CharAt(i_ + 1) == '-') {
            while (i_ < t_.size() && t_[i_] != '\n') ++i_;
            return true;
        }
        if (t_[i_] == '/' && CharAt(i_ + 1) == '*') {  // the server's block comments nest
            int depth = 0;
            while (i_ < t_.size()) {
                if (t_[i_] == '/' && CharAt(i_ + 1) == '*') { ++depth; i_ += 2; }
                else if (t_[i_] == '*' && CharAt(i_ + 1) == '/') { i_ += 2; if (--depth == 0) break; }
                else ++i_;
            }
            return true;
        }
        return false;
    }

    // A text or name in quote characters, the quote doubled inside; with escapes, '\' hides the next.
    void Quoted(char quote, bool escapes) {
        ++i_;
        while (i_ < t_.size()) {
            const char c = t_[i_++];
            if (escapes && c == '\\') { ++i_; continue; }
            if (c != quote) continue;
            if (CharAt(i_) != quote) return;
            ++i_;
        }
    }

    void Word() {
        const std::size_t start = i_;
        while (i_ < t_.size() && (IsNameChar(t_[i_]) || t_[i_] == '$')) ++i_;
        // E'...' is the server's text with backslash escapes.
        if (i_ - start == 1 && (t_[start] == 'E' || t_[start] == 'e') && CharAt(i_) == '\'') Quoted('\'', true);
    }

    // The number of the digits from i_ (capped), i_ moved past them.
    long Digits() {
        long n = 0;
        while (i_ < t_.size() && IsDigit(t_[i_])) {
            n = std::min<long>(n * 10 + (t_[i_] - '0'), kMaxNumber);
            ++i_;
        }
        return n;
    }

    enum class Seen { kMark, kNumber, kName };  // a plain "?"; "?N" or "$N"; a name ("$1" is one to SQLite)

    // A parameter from begin to here: its reference, each written form once but every plain "?" anew;
    // a name's first appearance takes the next number, as SQLite counts them.
    void Note(std::size_t begin, std::string name, Seen seen) {
        std::string written(t_.substr(begin, i_ - begin));
        if (seen != Seen::kMark && !written_.insert(written).second) return;
        if (seen == Seen::kName) ++counted_;
        refs_.push_back({std::move(written), std::move(name)});
    }

    // "?N" and "?": a numbered parameter; "??" is the server's own operator "?", as JDBC writes it.
    void Question() {
        const std::size_t begin = i_++;
        if (CharAt(i_) == '?') {
            params_.push_back({Param::Kind::kEscapedMark, begin, ++i_});
            return;
        }
        const bool plain = !IsDigit(CharAt(i_));
        const long n = plain ? ++counted_ : Digits();
        counted_ = std::max(counted_, n);
        numbered_ = std::max(numbered_, static_cast<int>(n));
        params_.push_back({Param::Kind::kNumbered, begin, i_, n});
        Note(begin, std::to_string(n), plain ? Seen::kMark : Seen::kNumber);
    }

    void Dollar() {
        if (IsDigit(CharAt(i_ + 1))) {
            const std::size_t begin = i_++;
            const long n = Digits();
            numbered_ = std::max(numbered_, static_cast<int>(n));
            Note(begin, std::to_string(n), Seen::kName);
            return;
        }
        // $tag$ ... $tag$ (the tag may be empty) is a dollar-quoted text.
        std::size_t k = i_ + 1;
        while (k < t_.size() && IsNameChar(t_[k])) ++k;
        if (CharAt(k) == '$') {
            const std::string_view tag = t_.substr(i_, k + 1 - i_);
            const std::size_t close = t_.find(tag, k + 1);
            i_ = close == std::string_view::npos ? t_.size() : close + tag.size();
            return;
        }
        if (IsNameStart(CharAt(i_ + 1))) return Name();
        ++i_;
    }

    void Colon() {
        if (CharAt(i_ + 1) == ':') { i_ += 2; return; }  // a cast
        if (IsNameStart(CharAt(i_ + 1))) return Name();
        ++i_;
    }

    void AtSign() {
        const bool after_operator = i_ > 0 && IsOperatorChar(t_[i_ - 1]);
        if (!after_operator && IsNameStart(CharAt(i_ + 1))) return Name();
        ++i_;
    }

    void Name() {
        const std::size_t start = i_++;
        while (i_ < t_.size() && IsNameChar(t_[i_])) ++i_;
        params_.push_back({Param::Kind::kNamed, start, i_});
        Note(start, std::string(t_.substr(start + 1, i_ - start - 1)), Seen::kName);
    }

    static constexpr long kMaxNumber = 65535;  // the most parameters the server takes

    std::string_view t_;
    std::size_t i_ = 0;
    bool tokens_ = false;
    int numbered_ = 0;  // the highest number of a numbered parameter
    long counted_ = 0;  // the numbers SQLite would have given so far
    std::vector<Param> params_;
    std::vector<ParameterRef> refs_;
    std::set<std::string> written_;  // the forms of parameters seen, but for plain "?"
};

}  // namespace

PgStatementText TranslateNamedParams(std::string_view text) {
    Scanner scanner(text);
    const std::size_t end = scanner.Statement();
    if (!scanner.tokens()) throw CursorError("empty statement text");
    if (!scanner.RestIsEmpty()) throw CursorError("more than one statement in one command");

    PgStatementText out;
    out.numbered = scanner.numbered();
    out.refs = scanner.refs();
    std::size_t copied = 0;
    for (const auto& param : scanner.params()) {
        out.sql.append(text.substr(copied, param.begin - copied));
        copied = param.end;
        switch (param.kind) {
            case Scanner::Param::Kind::kEscapedMark: out.sql += '?'; break;
            case Scanner::Param::Kind::kNumbered: out.sql += '$' + std::to_string(param.number); break;
            case Scanner::Param::Kind::kNamed:
                out.names.emplace_back(text.substr(param.begin + 1, param.end - param.begin - 1));
                out.sql += '$' + std::to_string(out.numbered + static_cast<int>(out.names.size()));
                break;
        }
    }
    out.sql.append(text.substr(copied, end - copied));
    return out;
}

}  // namespace oledb_backend
