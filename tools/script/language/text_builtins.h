#pragma once
// The built-ins of texts and of the dialogue with the user, added to the language's table
// (builtins.h): СтрЗаменить, СтрЧислоВхождений, Симв, КодСимв, ПустаяСтрока, СокрЛ, СокрП,
// РазделительСтрок, СимволТабуляции, СтрКоличествоСтрок, СтрПолучитьСтроку, Вопрос, ВвестиСтроку,
// ОчиститьОкноСообщений, Формат. Characters are CP1251 bytes, one each. A text's lines end at CR-LF,
// LF or a lone CR; РазделительСтрок is CR-LF, as the host writes it.

#include <vector>

#include "tools/script/language/builtins.h"

namespace script {

// The table with these built-ins after its own.
std::vector<Builtin> WithTextBuiltins(std::vector<Builtin> table);

}  // namespace script
