#pragma once
// Parses a module's tokens into its tree and resolves every name: variables to slots, calls to the
// module's procedures or the built-ins. Throws SyntaxError at the first fault, naming its position;
// nothing of the module runs then.

#include <string_view>

#include "tools/script/language/syntax_tree.h"

namespace script {

// How deep constructs may nest (parentheses, calls, unary operators, blocks), and how tall an
// expression's tree may grow (a chain of binary operators grows it by one for each operator).
inline constexpr int kMaxNesting = 1000;
inline constexpr int kMaxExpressionHeight = 1000;

// source: the module's text in CP1251 (see source_text.h).
Module Parse(std::string_view source);
// One expression (CP1251), its names resolved as in the procedure of module (null: outside
// procedures) at its end; an unknown name or anything after the expression is a SyntaxError.
ExprPtr ParseExpressionIn(std::string_view source, const Module& module, const Procedure* procedure);

}  // namespace script
