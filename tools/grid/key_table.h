#pragma once
// The grid's keys, in one table: each entry names its keys, its label on the help line, its action
// and the providers that offer it. The screen dispatches keys through FindBinding and draws the help
// line with HelpLine, so the two cannot drift apart. Needs no terminal: key codes are curses
// constants and Terminal::Key values.

#include <string>
#include <vector>

#include "tools/grid/terminal.h"

namespace grid_tool {

// The provider the grid drives; a table entry offers its action to one or both.
enum class ProviderKind { Static, Dynamic };

enum class Action {
    Up,
    Down,
    PageUp,
    PageDown,
    Home,
    End,
    Left,
    Right,
    Type,         // a printable key adds to the search text, Backspace takes one off
    ClearSearch,  // Esc
    Ask,          // the provider's question in the pane: a key to go to (static), a range (dynamic)
    Jump,         // asks for a percentage of the tag's order and starts the rows there (dynamic)
    Refresh,      // the current row read again
    Reload,       // the provider's load run again
    Quit,
};

// One key an entry answers to.
struct KeyMatch {
    enum class Kind { Char, Function, Printable } kind;  // Printable: any character from space up but Delete
    int code = 0;                                        // the character or curses key code (not Printable)
};

// How a label follows the one before it on the help line: " · ", " ", "" or "/".
enum class Join { Section, Space, Tight, Slash };

struct KeyBinding {
    std::vector<KeyMatch> keys;  // the first is the one the label names
    const char* label;           // on the help line, English (translated when shown), never empty
    Join join;
    Action action;
    bool offered_by_static;
    bool offered_by_dynamic;
    // The pane's answer, given the index tag, when the provider lacks the action; null when every
    // key of the entry finds another entry there (typing) or both providers offer it.
    std::string (*refusal)(const std::string& tag);
    // The label while a search text is typed, when the first key is then a letter of it; null: label.
    const char* label_while_typing = nullptr;

    bool OfferedBy(ProviderKind kind) const {
        return kind == ProviderKind::Static ? offered_by_static : offered_by_dynamic;
    }
};

// Every entry, in the help line's order.
const std::vector<KeyBinding>& KeyTable();

// Whether a key is a character that can be typed into a search text.
bool IsPrintable(const Terminal::Key& key);

// The entry a key belongs to, or null for a key the grid ignores. An entry the provider offers wins
// over one it lacks (the caller shows the latter's refusal); a key's own entry wins over the entry
// of every printable key, except while a search text is typed, when every printable key is text.
const KeyBinding* FindBinding(const Terminal::Key& key, ProviderKind kind, bool typing);

// Whether a key quits even while the pane asks a question (the quit entry's function keys).
bool QuitsWhileAsking(const Terminal::Key& key);

// The help line in the user's language: the labels of the entries the provider offers, in the
// table's order; while a search text is typed, the labels that hold then (q is a letter: F10 quits).
// Wider than width columns, it leaves out the sections before the last (how to quit), latest first.
std::string HelpLine(ProviderKind kind, bool typing = false, std::size_t width = std::string::npos);

}  // namespace grid_tool
