#include "tools/viewer/viewer_commands.h"

#include <charconv>

#include "platform/runtime/script_object.h"
#include "platform/text/cp1251.h"
#include "tools/i18n/tool_text.h"

namespace viewer {

namespace {

using tool_text::_;
using tool_text::Fill;

constexpr std::size_t kEchoLimit = 40;  // bytes of a bad command said back, so a message stays one line

// The command as it can be said back on one terminal line: control bytes as '?', cut at a
// character boundary when long.
std::string Echo(const std::string& command) {
    std::string shown = command.substr(0, kEchoLimit);
    if (shown.size() < command.size()) {
        while (!shown.empty() && (static_cast<unsigned char>(shown.back()) & 0xC0) == 0x80) shown.pop_back();
        if (!shown.empty() && static_cast<unsigned char>(shown.back()) >= 0xC0) shown.pop_back();
        shown += "…";
    }
    for (char& c : shown)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return shown;
}

}  // namespace

Outcome Apply(grid_component::Grid& grid, const std::string& command, const std::string& search_column) {
    // The host speaks CP1251: a line it cannot hold (bytes that are not UTF-8, or letters outside
    // Russian and Latin) is no command, and saying it back would garble the terminal.
    const auto host_text = cp1251::TryFromUtf8(command);
    if (!host_text) return {false, _("not a command: the line is not UTF-8 text in Russian or Latin letters")};
    if (command == "q") return {true, ""};
    const std::string none = _("no rows");
    if (command == "n") return {false, grid.PageDown() ? "" : none};
    if (command == "p") return {false, grid.PageUp() ? "" : none};
    if (command == "home") return {false, grid.Home() ? "" : none};
    if (command == "end") return {false, grid.End() ? "" : none};
    if (command == "r") return {false, grid.Refresh() ? "" : none};
    if (command.find('\0') != std::string::npos) return {false, _("not a command: the line holds a NUL byte")};
    if (!command.empty() && command[0] == '/') {
        const std::string typed = command.substr(1);
        const bool found = grid.Search(cp1251::FromUtf8(search_column).c_str(), CString(host_text->substr(1).c_str()));
        return {false, found ? "" : Fill(_("nothing begins with \"%s\""), {Echo(typed)})};
    }
    if (command.rfind("key ", 0) == 0) {
        const char* first = command.data() + 4;
        const char* last = command.data() + command.size();
        long key = 0;
        const auto [end, error] = std::from_chars(first, last, key);
        if (first == last || error != std::errc() || end != last)
            return {false, _("key takes a whole number, e.g. key 42")};
        return {false, grid.GoToKey(ScriptObject::Number(key)) ? "" : Fill(_("no row has key %s"), {std::to_string(key)})};
    }
    return {false, Fill(_("unknown command \"%s\"; commands: n p home end /TEXT key N r q"), {Echo(command)})};
}

}  // namespace viewer
