#pragma once
// The language's built-in procedures and functions, each under its Russian and English name, with
// the host's argument rules (how many, which may be left out). A wrong count is a run-time error.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/value.h"
#include "tools/script/bridge/message_window.h"
#include "tools/script/language/clock.h"

namespace script {

// The longest text a script may make by default (64 Mi characters): far beyond any real script's,
// and small enough that a runaway one ends in a run-time error long before memory runs out.
inline constexpr std::size_t kMaxTextLength = std::size_t{1} << 26;

// What the built-ins share with the running script.
struct RunState {
    std::string last_error;  // CP1251: the text of the last run-time error caught, for ОписаниеОшибки
    std::size_t max_text_length = kMaxTextLength;  // the longest text a script may make
    // Evaluates an expression's text (CP1251) in the scope of the call running the built-in.
    std::function<CValue(const std::string&)> evaluate;
    MessageWindow* window = nullptr;  // where Сообщить, Состояние and Предупреждение go; never null in a run
    calendar::DayNumber work_date = calendar::kEmptyDate;  // РабочаяДата; the empty date: today, by clock
    Moment (*clock)() = LocalNow;  // what ТекущаяДата and ТекущееВремя read
};

struct Builtin {
    std::string_view russian;  // CP1251
    std::string_view english;
    int min_args;
    int max_args;  // -1: any number from min_args on
    bool has_result;
    // args holds exactly the arguments given (an argument left out is an empty value).
    CValue (*run)(RunState& state, std::vector<CValue>& args);
    // Bit i set: the built-in fills argument i, which the caller's variable then receives (the
    // host's by-reference argument, as ТекущееВремя(Ч, М, С) has); other arguments are copies.
    unsigned fills_args = 0;
};

const std::vector<Builtin>& Builtins();
// The index of the built-in with this name (any case, either language), or -1.
int FindBuiltin(std::string_view name);

}  // namespace script
