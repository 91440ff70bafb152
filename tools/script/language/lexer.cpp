#include "tools/script/language/lexer.h"

#include <unordered_map>

#include "tools/script/bridge/host_text.h"
#include "tools/script/bridge/russian.h"
#include "tools/script/language/date_text.h"

namespace script {

namespace {

struct KeywordName {
    Keyword keyword;
    std::string_view russian;  // CP1251
    std::string_view english;
};

const std::vector<KeywordName>& Keywords() {
    static const std::vector<KeywordName> table = {
        {Keyword::Var, RU("Перем"), "Var"},
        {Keyword::If, RU("Если"), "If"},
        {Keyword::Then, RU("Тогда"), "Then"},
        {Keyword::ElsIf, RU("ИначеЕсли"), "ElsIf"},
        {Keyword::Else, RU("Иначе"), "Else"},
        {Keyword::EndIf, RU("КонецЕсли"), "EndIf"},
        {Keyword::While, RU("Пока"), "While"},
        {Keyword::Do, RU("Цикл"), "Do"},
        {Keyword::EndDo, RU("КонецЦикла"), "EndDo"},
        {Keyword::For, RU("Для"), "For"},
        {Keyword::To, RU("По"), "To"},
        {Keyword::Break, RU("Прервать"), "Break"},
        {Keyword::Continue, RU("Продолжить"), "Continue"},
        {Keyword::Procedure, RU("Процедура"), "Procedure"},
        {Keyword::Function, RU("Функция"), "Function"},
        {Keyword::Val, RU("Знач"), "Val"},
        {Keyword::Return, RU("Возврат"), "Return"},
        {Keyword::EndProcedure, RU("КонецПроцедуры"), "EndProcedure"},
        {Keyword::EndFunction, RU("КонецФункции"), "EndFunction"},
        {Keyword::Try, RU("Попытка"), "Try"},
        {Keyword::Except, RU("Исключение"), "Except"},
        {Keyword::EndTry, RU("КонецПопытки"), "EndTry"},
        {Keyword::Not, RU("НЕ"), "Not"},
        {Keyword::And, RU("И"), "And"},
        {Keyword::Or, RU("ИЛИ"), "Or"},
        {Keyword::Export, RU("Экспорт"), "Export"},
        {Keyword::Forward, RU("Далее"), "Forward"},
        {Keyword::Raise, RU("ВызватьИсключение"), "Raise"},
        {Keyword::Goto, RU("Перейти"), "Goto"},
    };
    return table;
}

const std::unordered_map<std::string, Keyword>& KeywordIndex() {
    static const std::unordered_map<std::string, Keyword> index = [] {
        std::unordered_map<std::string, Keyword> map;
        for (const KeywordName& k : Keywords()) {
            map.emplace(FoldName(k.russian), k.keyword);
            map.emplace(FoldName(k.english), k.keyword);
        }
        return map;
    }();
    return index;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsNamePart(char c) { return IsLetter(static_cast<unsigned char>(c)) || IsDigit(c); }

class Lexer {
public:
    explicit Lexer(std::string_view source) : source_(source) {}

    std::vector<Token> Run() {
        std::vector<Token> tokens;
        for (;;) {
            SkipBlanksAndComments();
            Token token;
            token.line = line_;
            token.column = Column();
            if (at_ >= source_.size()) {
                tokens.push_back(token);
                return tokens;
            }
            const char c = source_[at_];
            if (IsLetter(static_cast<unsigned char>(c))) {
                ReadName(token);
            } else if (IsDigit(c)) {
                ReadNumber(token);
            } else if (c == '"') {
                ReadText(token);
            } else if (c == '\'') {
                ReadDate(token);
            } else if (c == '~' || c == '#') {
                ReadMarked(token);
            } else {
                ReadSymbol(token);
            }
            tokens.push_back(std::move(token));
        }
    }

private:
    int Column() const { return static_cast<int>(at_ - line_start_) + 1; }

    void NewLine() {
        ++line_;
        line_start_ = at_;
    }

    // Steps over a line end (LF, CR-LF or a lone CR, which older editors write) when one starts here.
    bool SkipLineEnd() {
        if (at_ >= source_.size() || (source_[at_] != '\n' && source_[at_] != '\r')) return false;
        if (source_[at_++] == '\r' && at_ < source_.size() && source_[at_] == '\n') ++at_;
        NewLine();
        return true;
    }

    void SkipBlanksAndComments() {
        while (at_ < source_.size()) {
            const char c = source_[at_];
            if (SkipLineEnd()) {
                continue;
            } else if (c == ' ' || c == '\t' || c == '\f' || c == '\v') {
                ++at_;
            } else if (c == '/' && at_ + 1 < source_.size() && source_[at_ + 1] == '/') {
                while (at_ < source_.size() && source_[at_] != '\n' && source_[at_] != '\r') ++at_;
            } else {
                return;
            }
        }
    }

    void ReadName(Token& token) {
        const std::size_t start = at_;
        while (at_ < source_.size() && IsNamePart(source_[at_])) ++at_;
        token.text = std::string(source_.substr(start, at_ - start));
        token.keyword = KeywordOf(token.text);
        token.kind = token.keyword == Keyword::None ? TokenKind::Name : TokenKind::Keyword;
    }

    void ReadNumber(Token& token) {
        const std::size_t start = at_;
        while (at_ < source_.size() && IsDigit(source_[at_])) ++at_;
        if (at_ + 1 < source_.size() && source_[at_] == '.' && IsDigit(source_[at_ + 1])) {
            ++at_;
            while (at_ < source_.size() && IsDigit(source_[at_])) ++at_;
        }
        token.kind = TokenKind::Number;
        token.text = std::string(source_.substr(start, at_ - start));
        const auto number = CNumeric::TryParse(token.text);
        if (!number)
            throw SyntaxError{{std::string(RU("Слишком большое число")), "number too large"}, token.line, token.column};
        token.number = *number;
    }

    // A text runs to the next lone quote; a doubled quote stands for one. A line break inside it
    // goes on at the next line's '|' (blanks before it are skipped) and stays in the text.
    void ReadText(Token& token) {
        token.kind = TokenKind::Text;
        ++at_;
        for (;;) {
            if (at_ >= source_.size()) Unterminated(token);
            if (SkipLineEnd()) {
                while (at_ < source_.size() && (source_[at_] == ' ' || source_[at_] == '\t')) ++at_;
                if (at_ >= source_.size() || source_[at_] != '|') Unterminated(token);
                ++at_;
                token.text += '\n';
                continue;
            }
            const char c = source_[at_++];
            if (c == '"') {
                if (at_ < source_.size() && source_[at_] == '"') {
                    token.text += '"';
                    ++at_;
                    continue;
                }
                return;
            }
            token.text += c;
        }
    }

    // "~Name", a label; "#Name", a directive of the host's preprocessor, which the runner does not take.
    void ReadMarked(Token& token) {
        const char mark = source_[at_++];
        const std::size_t start = at_;
        while (at_ < source_.size() && IsNamePart(source_[at_])) ++at_;
        token.text = std::string(source_.substr(start, at_ - start));
        if (mark == '#')
            throw SyntaxError{{std::string(RU("Конструкция не поддерживается")) + " (#" + token.text + ")",
                               "construct not supported (#" + token.text + ")"},
                              token.line, token.column};
        if (token.text.empty() || IsDigit(token.text[0]))
            throw SyntaxError{{std::string(RU("Ожидается имя метки")), "a label name expected"}, token.line,
                              token.column};
        token.kind = TokenKind::Label;
    }

    // A date literal runs to the next quote on the same line: 'дд.мм.гг' or 'дд.мм.гггг' (date_text.h).
    void ReadDate(Token& token) {
        token.kind = TokenKind::Date;
        const std::size_t start = ++at_;
        while (at_ < source_.size() && source_[at_] != '\'' && source_[at_] != '\n' && source_[at_] != '\r') ++at_;
        if (at_ >= source_.size() || source_[at_] != '\'')
            throw SyntaxError{{std::string(RU("Незавершенная константа типа Дата")), "unterminated date literal"},
                              token.line, token.column};
        token.text = std::string(source_.substr(start, at_ - start));
        ++at_;
        const auto day = date_text::ParseLiteral(token.text);
        if (!day)
            throw SyntaxError{{std::string(RU("Неверная константа типа Дата")) + " '" + token.text + "'",
                               "not a date literal '" + token.text + "'"},
                              token.line, token.column};
        token.date = *day;
    }

    [[noreturn]] void Unterminated(const Token& token) {
        throw SyntaxError{{std::string(RU("Незавершенная строковая константа")), "unterminated text literal"},
                          token.line, token.column};
    }

    void ReadSymbol(Token& token) {
        token.kind = TokenKind::Symbol;
        const std::string_view rest = source_.substr(at_);
        for (std::string_view two : {"<>", "<=", ">="}) {
            if (rest.substr(0, 2) == two) {
                token.text = std::string(two);
                at_ += 2;
                return;
            }
        }
        const char c = source_[at_];
        if (std::string_view("()[],;.=<>+-*/%?:").find(c) == std::string_view::npos) {
            throw SyntaxError{{std::string(RU("Недопустимый символ")) + " '" + c + "'",
                               std::string("unexpected character '") + c + "'"},
                              token.line, token.column};
        }
        token.text = std::string(1, c);
        ++at_;
    }

    std::string_view source_;
    std::size_t at_ = 0;
    std::size_t line_start_ = 0;
    int line_ = 1;
};

}  // namespace

std::vector<Token> Tokenize(std::string_view source) { return Lexer(source).Run(); }

Keyword KeywordOf(std::string_view name) {
    const auto& index = KeywordIndex();
    const auto found = index.find(FoldName(name));
    return found == index.end() ? Keyword::None : found->second;
}

std::string KeywordText(Keyword keyword) {
    for (const KeywordName& k : Keywords())
        if (k.keyword == keyword) return std::string(k.russian) + "/" + std::string(k.english);
    return std::string();
}

}  // namespace script
