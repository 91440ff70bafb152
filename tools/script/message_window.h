#pragma once
// The host's message window and status line on standard output: every message line, the script's
// own and the objects', is printed as it is written, its marker as a short prefix ("!", "i", ...);
// status texts and message boxes follow, each on its own line. Texts are turned from CP1251 into UTF-8.

#include <string>
#include <string_view>

namespace script {

// Starts printing the host's message lines; stops (and prints nothing more) when destroyed.
class MessageWindow {
public:
    MessageWindow();
    ~MessageWindow();
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;
};

// The host's marker number for the marker a script gives Сообщить (" ", "!", "!!", "!!!", "i", ...);
// an unknown marker is the plain one.
int MarkerNumber(std::string_view marker);
// The prefix printed for a marker number ("" for the plain one).
std::string_view MarkerPrefix(int marker);

// Prints the status texts the host received since the last call (a cleared status prints nothing).
void PrintNewStatusTexts();
void PrintMessageBox(std::string_view cp1251);

}  // namespace script
