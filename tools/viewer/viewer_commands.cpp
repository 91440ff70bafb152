#include "tools/viewer/viewer_commands.h"

#include <cstdlib>

#include "platform/runtime/script_object.h"
#include "platform/text/cp1251.h"

namespace viewer {

Outcome Apply(grid_component::Grid& grid, const std::string& command, const std::string& search_column) {
    if (command == "q") return {true, ""};
    if (command == "n") return {false, grid.PageDown() ? "" : "no rows"};
    if (command == "p") return {false, grid.PageUp() ? "" : "no rows"};
    if (command == "home") return {false, grid.Home() ? "" : "no rows"};
    if (command == "end") return {false, grid.End() ? "" : "no rows"};
    if (command == "r") return {false, grid.Refresh() ? "" : "no rows"};
    if (!command.empty() && command[0] == '/') {
        const std::string typed = command.substr(1);
        const bool found = grid.Search(cp1251::FromUtf8(search_column).c_str(), CString(cp1251::FromUtf8(typed).c_str()));
        return {false, found ? "" : "nothing begins with \"" + typed + "\""};
    }
    if (command.rfind("key ", 0) == 0) {
        char* end = nullptr;
        const long key = std::strtol(command.c_str() + 4, &end, 10);
        if (end == command.c_str() + 4 || *end != '\0') return {false, "key takes a whole number"};
        return {false, grid.GoToKey(ScriptObject::Number(key)) ? "" : "no row has key " + command.substr(4)};
    }
    return {false, "unknown command \"" + command + "\"; commands: n p home end /TEXT key N r q"};
}

}  // namespace viewer
