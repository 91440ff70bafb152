#pragma once
// The terminal in full-screen mode (ncurses) for as long as the object lives: keys arrive one at a
// time, unechoed, with function keys decoded; the destructor gives the terminal back as it was.
// A wait for a key ends at once when a stopping signal is recorded, before it or during it
// (tools/session/stop_signals.h), and when the terminal is resized.

#include <curses.h>

#include <cstdio>

namespace grid_tool {

class Terminal {
public:
    // Opens the screen on standard input and output, or on the given streams with the given terminal
    // type (null: $TERM); open() is false when the terminal type is unknown.
    explicit Terminal(const char* type = nullptr, FILE* out = stdout, FILE* in = stdin);
    ~Terminal();
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    struct Key {
        enum class Kind { None, Char, Function } kind = Kind::None;
        int code = 0;  // the character (Char) or the curses key code (Function)
        // For KEY_MOUSE: the cell the pointer was on and what it did (curses BUTTON… bits).
        int x = -1;
        int y = -1;
        unsigned long buttons = 0;
    };
    // The next key, or Kind::None when a signal ended the wait without one (a stop, say). Ctrl+Home and
    // Ctrl+End, where the terminal describes them, come as KEY_HOME and KEY_END; a press of the
    // first button or a turn of the wheel comes as KEY_MOUSE with its cell.
    Key Read();

    bool open() const { return screen_ != nullptr; }
    int Lines() const;
    int Columns() const;

private:
    int in_fd_;  // the descriptor keys come from
    struct screen* screen_ = nullptr;
    int ctrl_home_ = 0;  // curses codes of Ctrl+Home and Ctrl+End, else 0
    int ctrl_end_ = 0;
};

}  // namespace grid_tool
