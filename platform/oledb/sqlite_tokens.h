#pragma once
// Where SQLite's own tokenizer ends each token of a statement text, and what kind of token it is,
// as far as telling literals, names, parameters and punctuation apart needs. The rules are those
// of the library the backend runs on (3.40): a parameter name with a parenthesised suffix
// ("$a(x)", "@a(in(5)"), "::" inside names, a hexadecimal number that stops after its digits, a
// byte-order mark read as a blank. The text ends at its end or at its first zero byte, as it does
// for SQLite. Digit separators ("1_000", SQLite 3.46) make one token either way: an illegal one
// here, a number there; neither is a plain integer.

#include <cstddef>
#include <string_view>

namespace oledb_backend {

enum class SqlToken {
    kSpace,       // blanks, a byte-order mark
    kComment,     // "-- ..." to the line's end, "/* ... */" (or to the text's end)
    kString,      // 'text', quotes doubled inside
    kBlob,        // x'00ff'
    kQuotedName,  // "name", `name`, [name]
    kWord,        // a bare name or keyword
    kInteger,     // decimal digits, or 0x and hexadecimal digits
    kReal,        // digits with a point or an exponent
    kParameter,   // ?, ?NNN, :name, @name, $name, #name (with "::" and a "(...)" suffix)
    kOpen,        // (
    kClose,       // )
    kComma,       // ,
    kOther,       // any other operator or punctuation SQLite accepts
    kIllegal,     // a token SQLite refuses (the statement then fails to prepare)
    kEnd,         // the end of the text, or a zero byte
};

// The kind of the token that begins at byte at of sql; end receives the byte after it.
SqlToken NextSqlToken(std::string_view sql, std::size_t at, std::size_t& end);

}  // namespace oledb_backend
