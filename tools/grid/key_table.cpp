#include "tools/grid/key_table.h"

#include <curses.h>

#include <vector>

#include "tools/i18n/tool_text.h"
#include "tools/terminal_text/showable_text.h"

namespace grid_tool {

namespace {

constexpr int kEscape = 27;
constexpr int kDelete = 127;  // what most terminals send for Backspace
constexpr int kCtrlH = 8;
constexpr int kCtrlF = 6;
constexpr int kCtrlG = 7;
constexpr int kCtrlP = 16;
constexpr int kCtrlR = 18;

using Kind = KeyMatch::Kind;
using tool_text::_;
using tool_text::Fill;
using tool_text::N_;

KeyMatch Char(int code) { return {Kind::Char, code}; }
KeyMatch Function(int code) { return {Kind::Function, code}; }

std::string NoKeyJump(const std::string& tag) {
    return Fill(_("the dynamic provider finds no row by its key: F4 sets a range of %s"), {tag});
}
std::string NoRange(const std::string&) {
    return _("a range needs the dynamic provider (a table with an index tag): type to search");
}

std::string NoJump(const std::string&) {
    return _("a jump to a percentage needs the dynamic provider (a table with an index tag): F2 goes to a key");
}

std::vector<KeyBinding> MakeTable() {
    const std::vector<KeyMatch> typing = {{Kind::Printable, 0}, Char(kDelete), Char(kCtrlH), Function(KEY_BACKSPACE)};
    // keys, label, join, action, static, dynamic, refusal, label while typing (key names stay as the
    // keyboard has them; the words are translated when the line is drawn)
    return {
        {{Function(KEY_UP)}, "↑", Join::Section, Action::Up, true, true, nullptr},
        {{Function(KEY_DOWN)}, "↓", Join::Tight, Action::Down, true, true, nullptr},
        {{Function(KEY_PPAGE)}, "PgUp", Join::Space, Action::PageUp, true, true, nullptr},
        {{Function(KEY_NPAGE)}, "Dn", Join::Slash, Action::PageDown, true, true, nullptr},
        // Terminal::Read gives Ctrl+Home and Ctrl+End as Home and End.
        {{Function(KEY_HOME)}, "Home", Join::Space, Action::Home, true, true, nullptr},
        {{Function(KEY_END)}, "End", Join::Slash, Action::End, true, true, nullptr},
        {{Function(KEY_LEFT)}, "←", Join::Space, Action::Left, true, true, nullptr},
        {{Function(KEY_RIGHT)}, "→", Join::Tight, Action::Right, true, true, nullptr},
        {typing, N_("type: search"), Join::Section, Action::Type, true, false, nullptr, N_("Bksp edits")},
        {typing, N_("type: start there"), Join::Section, Action::Type, false, true, nullptr, N_("Bksp edits")},
        {{Function(KEY_F(2)), Char(kCtrlG)}, N_("F2 go to key"), Join::Section, Action::Ask, true, false, NoKeyJump},
        {{Function(KEY_F(4)), Char(kCtrlF)}, N_("F4 range"), Join::Section, Action::Ask, false, true, NoRange},
        {{Function(KEY_F(7)), Char(kCtrlP)}, N_("F7 go to %"), Join::Section, Action::Jump, false, true, NoJump},
        {{Char(kEscape)}, N_("Esc clears"), Join::Section, Action::ClearSearch, true, true, nullptr},
        {{Function(KEY_F(5))}, N_("F5 refresh"), Join::Section, Action::Refresh, true, true, nullptr},
        {{Function(KEY_F(6)), Char(kCtrlR)}, N_("F6 reload"), Join::Section, Action::Reload, true, true, nullptr},
        {{Char('q'), Function(KEY_F(10))}, N_("q quits"), Join::Section, Action::Quit, true, true, nullptr, N_("F10 quits")},
    };
}

bool Matches(const KeyMatch& match, const Terminal::Key& key) {
    switch (match.kind) {
        case Kind::Printable: return IsPrintable(key);
        case Kind::Char: return key.kind == Terminal::Key::Kind::Char && key.code == match.code;
        case Kind::Function: return key.kind == Terminal::Key::Kind::Function && key.code == match.code;
    }
    return false;
}

// The entry with a match of the given sort for the key: offered by the provider if one is, else any.
const KeyBinding* Find(const Terminal::Key& key, ProviderKind kind, bool printable_match) {
    const KeyBinding* lacking = nullptr;
    for (const KeyBinding& binding : KeyTable()) {
        for (const KeyMatch& match : binding.keys) {
            if ((match.kind == Kind::Printable) != printable_match || !Matches(match, key)) continue;
            if (binding.OfferedBy(kind)) return &binding;
            if (lacking == nullptr) lacking = &binding;
        }
    }
    return lacking;
}

const char* Separator(Join join) {
    switch (join) {
        case Join::Section: return " · ";
        case Join::Space: return " ";
        case Join::Tight: return "";
        case Join::Slash: return "/";
    }
    return " ";
}

}  // namespace

const std::vector<KeyBinding>& KeyTable() {
    static const std::vector<KeyBinding> table = MakeTable();
    return table;
}

bool IsPrintable(const Terminal::Key& key) {
    return key.kind == Terminal::Key::Kind::Char && key.code >= 0x20 && key.code != kDelete;
}

const KeyBinding* FindBinding(const Terminal::Key& key, ProviderKind kind, bool typing) {
    if (!(typing && IsPrintable(key))) {
        if (const KeyBinding* own = Find(key, kind, false)) return own;
    }
    return Find(key, kind, true);
}

bool QuitsWhileAsking(const Terminal::Key& key) {
    const KeyBinding* binding = FindBinding(key, ProviderKind::Static, false);
    return key.kind == Terminal::Key::Kind::Function && binding != nullptr && binding->action == Action::Quit;
}

std::string HelpLine(ProviderKind kind, bool typing, std::size_t width) {
    // Sections as the table joins them; the last one (how to quit) is never the one left out.
    std::vector<std::string> sections;
    for (const KeyBinding& binding : KeyTable()) {
        if (!binding.OfferedBy(kind)) continue;
        if (sections.empty() || binding.join == Join::Section) sections.emplace_back();
        else sections.back() += Separator(binding.join);
        const bool retold = typing && binding.label_while_typing != nullptr;
        sections.back() += _(retold ? binding.label_while_typing : binding.label);
    }
    auto joined = [&sections] {
        std::string line;
        for (const std::string& section : sections) line += (line.empty() ? "" : " · ") + section;
        return line;
    };
    // Too wide for the screen: the sections before the last go, latest first, so quitting stays told.
    while (sections.size() > 2 && terminal_text::Width(joined()) > width) sections.erase(sections.end() - 2);
    return joined();
}

}  // namespace grid_tool
