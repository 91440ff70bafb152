#include "tools/grid/terminal.h"

#include <curses.h>
#include <langinfo.h>

#include <clocale>
#include <cstring>

#include "tools/session/stop_signals.h"

namespace grid_tool {

namespace {

constexpr int kRestOfKeyMs = 200;  // once input has come, how long the rest of its key may take
constexpr int kEscDelayMs = 25;    // Esc alone is a key of its own here, not the start of a sequence

// The code ncurses gives a key with modifiers, from its terminfo name (e.g. "kHOM5"), or 0.
int ExtendedKey(const char* name) {
    char* sequence = tigetstr(name);
    if (sequence == nullptr || sequence == reinterpret_cast<char*>(-1)) return 0;
    const int code = key_defined(sequence);
    return code > 0 ? code : 0;
}

}  // namespace

Terminal::Terminal(const char* type, FILE* out, FILE* in) : in_fd_(fileno(in)) {
    // Cells are written as UTF-8: fall back to a UTF-8 locale when the user's is not one.
    std::setlocale(LC_ALL, "");
    if (std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0) std::setlocale(LC_ALL, "C.UTF-8");
    std::setlocale(LC_NUMERIC, "C");  // as tool_text::Start leaves it: the platform's numbers have a point
    // Unlike initscr, newterm answers an unknown terminal type instead of ending the process.
    screen_ = newterm(type, out, in);
    if (screen_ == nullptr) return;
    set_escdelay(kEscDelayMs);
    cbreak();
    noecho();
    nonl();
    keypad(stdscr, TRUE);
    curs_set(0);
    // Presses only: a click reports at once, and the wheel's turns are presses of buttons 4 and 5.
    mousemask(BUTTON1_PRESSED | BUTTON4_PRESSED | BUTTON5_PRESSED, nullptr);
    mouseinterval(0);
    ctrl_home_ = ExtendedKey("kHOM5");
    ctrl_end_ = ExtendedKey("kEND5");
}

Terminal::~Terminal() {
    if (screen_ == nullptr) return;
    endwin();
    delscreen(screen_);
}

Terminal::Key Terminal::Read() {
    wint_t code = 0;
    int got = ERR;
    // A key curses read ahead, or a resize it noted, is in hand without a wait.
    const auto in_hand = [&] {
        timeout(0);
        got = get_wch(&code);
        return got != ERR;
    };
    const tools::WaitEnd end = tools::WaitForInput(in_fd_, in_hand);
    if (end == tools::WaitEnd::kStop) return Key{};
    if (got == ERR) {
        // The input that ended the wait, given time to bring the rest of its key; after another
        // signal, what curses made of it (a resize) or nothing.
        timeout(end == tools::WaitEnd::kInput ? kRestOfKeyMs : 0);
        got = get_wch(&code);
    }
    Key key;
    if (got == OK) {
        key.kind = Key::Kind::Char;
        key.code = static_cast<int>(code);
    } else if (got == KEY_CODE_YES) {
        key.kind = Key::Kind::Function;
        key.code = static_cast<int>(code);
        if (key.code == ctrl_home_ && ctrl_home_ != 0) key.code = KEY_HOME;
        if (key.code == ctrl_end_ && ctrl_end_ != 0) key.code = KEY_END;
        MEVENT event{};
        if (key.code == KEY_MOUSE && getmouse(&event) == OK) {
            key.x = event.x;
            key.y = event.y;
            key.buttons = static_cast<unsigned long>(event.bstate);
        }
    }
    return key;
}

int Terminal::Lines() const { return LINES; }
int Terminal::Columns() const { return COLS; }

}  // namespace grid_tool
