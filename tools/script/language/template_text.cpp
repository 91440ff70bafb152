#include "tools/script/language/template_text.h"

#include <string>

#include "tools/script/bridge/host_text.h"
#include "tools/script/bridge/russian.h"
#include "tools/script/bridge/script_error.h"
#include "tools/script/language/date_value.h"
#include "tools/script/language/value_ops.h"

namespace script {

CValue FillTemplate(RunState& state, std::vector<CValue>& args) {
    const std::string text(args[0].GetString().view());
    std::string out;
    std::size_t from = 0;
    for (std::size_t open = text.find('['); open != std::string::npos; open = text.find('[', from)) {
        const std::size_t close = text.find(']', open + 1);
        if (close == std::string::npos)
            throw RuntimeError{{std::string(RU("Не закрыта скобка ']' в шаблоне")), "a '[' without its ']' in the template"}};
        const std::string value = TextOf(state.evaluate(text.substr(open + 1, close - open - 1)));
        CheckTextLength(out.size() + (open - from) + value.size(), state.max_text_length);
        out.append(text, from, open - from).append(value);
        from = close + 1;
    }
    CheckTextLength(out.size() + text.size() - from, state.max_text_length);
    return TextValue(out.append(text, from, std::string::npos));
}

}  // namespace script
