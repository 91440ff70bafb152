#pragma once
// Вопрос(Текст, Кнопки, Таймаут) for a runner without dialogs: the question with its buttons goes
// to the message window, the answer is a line the window reads (a button's name in either language,
// any case, or its number). No answer, or one no button has, takes the cautious default: Нет,
// Отмена or Прервать where the set has one, else ОК. Кнопки is a set's name ("Да+Нет") or the host's
// number for it (0..5); the answer is the button's name for a name, its number for a number.
// Таймаут is taken and not waited for.

#include <vector>

#include "tools/script/language/builtins.h"

namespace script {

CValue AskQuestion(RunState& state, std::vector<CValue>& args);

}  // namespace script
