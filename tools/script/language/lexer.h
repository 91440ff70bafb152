#pragma once
// Splits a module's text (CP1251, see source_text.h) into tokens with their line and column.
// Keywords are recognised in any letter case, Russian or Latin; comments run from // to the line end.
// A line ends at LF, CR-LF or a lone CR.

#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/numeric.h"
#include "tools/script/bridge/script_error.h"
#include "tools/script/language/date_calendar.h"

namespace script {

enum class Keyword {
    None, Var, If, Then, ElsIf, Else, EndIf, While, Do, EndDo, For, To, Break, Continue, Procedure, Function,
    Val, Return, EndProcedure, EndFunction, Try, Except, EndTry, Not, And, Or,
    Export, Forward, Raise, Goto
};

enum class TokenKind { Name, Keyword, Number, Text, Date, Symbol, Label, End };  // Label: "~Name", text without "~"

struct Token {
    TokenKind kind = TokenKind::End;
    Keyword keyword = Keyword::None;
    std::string text;  // a name as written, a text's value, or a symbol ("(", "<=", ...)
    CNumeric number;
    int line = 0;
    int column = 0;
    calendar::DayNumber date = calendar::kEmptyDate;  // a date literal's day ('дд.мм.гг')
};

// Throws SyntaxError for a character the language does not know, a text without its closing quote,
// a date literal that names no day,
// or a construct of the host's language the runner does not take (a "#" directive).
std::vector<Token> Tokenize(std::string_view source);

// The keyword a name spells, or Keyword::None.
Keyword KeywordOf(std::string_view name);
// How a keyword reads in messages: "КонецЕсли/EndIf" (CP1251).
std::string KeywordText(Keyword keyword);

}  // namespace script
