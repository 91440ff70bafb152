#include "foxpro/message_text.h"

#include <libintl.h>

#include <string_view>

namespace rowlark::foxpro {

const char* _(const char* english) { return dgettext("rowlark", english); }

std::string Fill(const char* format, std::initializer_list<std::string> arguments) {
    const std::string_view pattern(format);
    std::string text;
    auto argument = arguments.begin();
    std::size_t from = 0;
    for (std::size_t mark = pattern.find("%s"); mark != std::string_view::npos; mark = pattern.find("%s", from)) {
        text.append(pattern.substr(from, mark - from));
        if (argument != arguments.end()) text += *argument++;
        from = mark + 2;
    }
    return text.append(pattern.substr(from));
}

}  // namespace rowlark::foxpro
