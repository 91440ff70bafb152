#pragma once
// Шаблон(Текст): the text with each "[выражение]" replaced by the expression's value as text, the
// expression evaluated in the scope of the call (its procedure's variables, the module's, the
// procedures and built-ins). A "[" without its "]" is a run-time error; so is an expression that
// does not read.

#include <vector>

#include "tools/script/language/builtins.h"

namespace script {

CValue FillTemplate(RunState& state, std::vector<CValue>& args);

}  // namespace script
