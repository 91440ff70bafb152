#pragma once
// The language's operators on host values. The left operand decides: a text joins (+) or compares
// as text, anything else works as a number (a text read by its leading number, the empty value as
// 0). Objects only compare for (in)equality, by identity; any other use is a run-time error.
// Where a date takes part, date_ops.h decides (a date is a value, never compared by identity).

#include <cstddef>

#include "platform/runtime/value.h"
#include "tools/script/language/syntax_tree.h"

namespace script {

// A condition's truth: a non-zero number; a text by its number; an object; never the empty value.
bool IsTrue(const CValue& value);
// Add, Subtract, Multiply, Divide, Modulo. Joining texts into one longer than max_text_length
// characters is a run-time error.
CValue Arithmetic(BinaryOp op, const CValue& a, const CValue& b, std::size_t max_text_length);
// A run-time error when a text of this length would be longer than a script may make.
void CheckTextLength(std::size_t length, std::size_t max_text_length);
// Equal .. GreaterEqual.
bool Compare(BinaryOp op, const CValue& a, const CValue& b);
CValue Boolean(bool value);  // 1 or 0, as the host's conditions give

}  // namespace script
