#pragma once
// The two kinds of error a script meets, in the host's manner: a Russian text (CP1251, what
// ОписаниеОшибки gives back) with the same sense in English for the terminal, and a position.
// A syntax error stops the script before anything runs; a run-time error stops it where it
// happens, unless a Попытка around it catches it.

#include <string>

namespace script {

struct ErrorText {
    std::string russian;  // CP1251: the host's text, or the object's own text byte for byte
    std::string english;  // ASCII; empty for a text an object raised (it has no English)
};

struct SyntaxError {
    ErrorText text;
    int line;
    int column;
};

// Thrown by the runner's operations; the statement that runs them fills in its line when the
// thrower could not know it (line 0).
struct RuntimeError {
    ErrorText text;
    int line = 0;
};

}  // namespace script
