#include "platform/oledb/call_text.h"

#include <cstdint>
#include <limits>

namespace oledb_backend {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsNameStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsNameChar(char c) { return IsNameStart(c) || IsDigit(c); }

// Reads the text left to right; every failure names the position (from 1) where it was seen.
class CallReader {
public:
    explicit CallReader(std::string_view text) : t_(text) {}

    ProcedureCall Read() {
        ProcedureCall call;
        SkipBlanks();
        const std::size_t start = i_;
        while (i_ < t_.size() && IsNameChar(t_[i_])) ++i_;
        if (i_ == start || !IsNameStart(t_[start])) Fail("ожидается имя процедуры");
        call.name = std::string(t_.substr(start, i_ - start));
        name_ = call.name;
        SkipBlanks();
        Expect('(');
        SkipBlanks();
        if (Peek() == ')') {
            ++i_;
        } else {
            for (;;) {
                call.args.push_back(Argument());
                SkipBlanks();
                if (Peek() == ',') { ++i_; SkipBlanks(); continue; }
                if (Peek() == ')') { ++i_; break; }
                Fail("ожидается ',' или ')'");
            }
        }
        SkipBlanks();
        if (Peek() == ';') ++i_;
        SkipBlanks();
        if (i_ != t_.size()) Fail("лишний текст после вызова");
        return call;
    }

private:
    char Peek() const { return i_ < t_.size() ? t_[i_] : '\0'; }
    void SkipBlanks() { while (i_ < t_.size() && IsBlank(t_[i_])) ++i_; }
    void Expect(char c) {
        if (Peek() != c) Fail(std::string("ожидается '") + c + "'");
        ++i_;
    }

    [[noreturn]] void Fail(const std::string& what) const {
        std::string where = i_ < t_.size() ? "в позиции " + std::to_string(i_ + 1) : "в конце текста";
        throw CursorError("неверный вызов процедуры" + (name_.empty() ? "" : " " + name_) + ": " + what + " " + where);
    }

    ProcArg Argument() {
        if (Peek() == '\'') return Text();
        if (Peek() == '-' || IsDigit(Peek())) return Number();
        Fail("ожидается текст в апострофах или целое число");
    }

    ProcArg Text() {
        ProcArg arg;
        ++i_;  // the opening apostrophe
        for (;;) {
            if (i_ >= t_.size()) Fail("текст не закрыт апострофом");
            const char c = t_[i_++];
            if (c != '\'') { arg.text.push_back(c); continue; }
            if (Peek() != '\'') break;  // the closing apostrophe
            arg.text.push_back('\'');
            ++i_;
        }
        return arg;
    }

    ProcArg Number() {
        ProcArg arg;
        arg.is_text = false;
        const bool negative = Peek() == '-';
        if (negative) ++i_;
        if (!IsDigit(Peek())) Fail("ожидается цифра");
        // Accumulated as a negative number, whose range holds INT64_MIN.
        std::int64_t value = 0;
        constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
        while (IsDigit(Peek())) {
            const int digit = t_[i_] - '0';
            if (value < (kMin + digit) / 10) Fail("число вне пределов 64 бит");
            value = value * 10 - digit;
            ++i_;
        }
        if (!negative && value == kMin) Fail("число вне пределов 64 бит");
        if (IsNameChar(Peek())) Fail("ожидается ',' или ')'");
        arg.number = negative ? value : -value;
        return arg;
    }

    std::string_view t_;
    std::size_t i_ = 0;
    std::string name_;
};

}  // namespace

std::optional<std::string> CallName(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i == text.size() || !IsNameStart(text[i])) return std::nullopt;
    const std::size_t start = i;
    while (i < text.size() && IsNameChar(text[i])) ++i;
    const std::size_t end = i;
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i == text.size() || text[i] != '(') return std::nullopt;
    return std::string(text.substr(start, end - start));
}

ProcedureCall ParseCall(std::string_view text) { return CallReader(text).Read(); }

}  // namespace oledb_backend
