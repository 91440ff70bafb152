#pragma once
// The host's message window and status line as the runner shows them. Every message line, the
// script's own and the objects', goes to the host's window (GetBkEndUI) and, when the window has a
// terminal stream, is printed there as it is written, its marker as a short prefix ("!", "i", ...);
// status texts and message boxes follow, each on its own line. Texts are turned from CP1251 into
// UTF-8 and made safe for a terminal (terminal_text::Showable); a message's own line breaks stay
// line breaks. The runner makes one and hands it to the interpreter; only one printing window may
// live at a time (the host calls back one echo).

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

struct MessageLine;

namespace script {

class MessageWindow {
public:
    // shown_on: the stream to print on, or null for a window that prints nothing (the host's window
    // alone keeps the lines). answers_from: where a question's answer is read (UTF-8 lines), or null
    // for none (every question then takes its default).
    explicit MessageWindow(std::FILE* shown_on = nullptr, std::FILE* answers_from = nullptr);
    ~MessageWindow();
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    // Сообщить: a line with the marker a script gives (" ", "!", "!!", "!!!", "i", ...).
    void Message(std::string_view cp1251, std::string_view marker);
    // Состояние: sets the status text ("" clears it) and shows it.
    void Status(std::string_view cp1251);
    // Предупреждение.
    void MessageBox(std::string_view cp1251);
    // Shows a question (kind_utf8: its prefix, "Вопрос:") and reads its answer, one line without its
    // line end, in CP1251; false when there is no answer to read (no input, or its end).
    bool Ask(std::string_view kind_utf8, std::string_view question, std::string& answer);
    // ОчиститьОкноСообщений: the host's window forgets its lines; what was printed stays printed.
    void Clear();
    // Prints the status texts the host received since the last call (a cleared status prints nothing);
    // called after every call into an object.
    void ShowNewStatusTexts();

private:
    void Echo(const MessageLine& line);
    void PrintLines(std::string_view prefix_utf8, std::string_view cp1251);
    static void EchoToShowing(const MessageLine& line);

    std::FILE* shown_on_;
    std::FILE* answers_from_;
    std::size_t printed_status_ = 0;
};

// The host's marker number for a script's marker; an unknown marker is the plain one.
int MarkerNumber(std::string_view marker);
// The prefix printed for a marker number ("" for the plain one).
std::string_view MarkerPrefix(int marker);

}  // namespace script
